// frostline_ride: the real game, started and looped as a player starts it, with an
// autopilot on the arrow keys instead of a player. It rides the race from the
// countdown until the race is decided (plus a second of the result) and writes
// what bench/ride.sh reports: when the first countdown frame was on screen, how
// long each start-up step took, every frame's time and the peak resident memory.
// For the recording of its sound it also writes when each frame that passed a gate,
// changed the points or decided the race began (wall clock), as it does for the first
// frame, and how far to the side of the camera the gate or pick-up was then.
//
// Usage: frostline_ride LOGFILE [SECONDS_AFTER_RACE [snowflake] [wrong-gate] [fixed]]   (run
// from the runtime folder, under a display; the ride goes on for 1 s after the race is
// decided by default; "snowflake" makes the autopilot collect the snowflake just below
// the start, touching it on the sled's left, on its way to the first gate; "wrong-gate"
// makes it ride for gate 2 first, which loses the race; "fixed"
// simulates in steps of 1/60 s, as many as the wall clock has moved on before each
// drawn frame, so every run rides the same ride in real time whatever the frames'
// lengths)
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <thread>


#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include "app/Application.h"
#include "app/FileReading.h"
#include "app/GhostRace.h"
#include "app/Globals.h"
#include "bench/ProcessTime.h"
#include "app/MainLoop.h"
#include "app/RaceState.h"
#include "controls/KeyInput.h"
#include "level/Autopilot.h"
#include "physics/ControllerShape.h"
#include "render/World.h"
#include "scene/Checkpoint.h"
#include "scene/Collectable.h"
#include "ui/Hud.h"

using namespace frostline;

namespace {

using bench::processCpuMilliseconds;

/// The longest ride (s), in case the sled gets stuck somewhere.
constexpr double longestRide = 150.0;
/// How long the ride goes on after the race is decided (s), unless the command line says.
constexpr double defaultAfterRace = 1.0;
/// The simulation step of a fixed-step ride (s).
constexpr double fixedStep = 1.0 / 60.0;
/// How far to the side of the snowflake the autopilot aims (world units): near enough to
/// collect it, far enough to hear it from the left.
constexpr float snowflakeAside = 1.0f;

/// Wall-clock time in nanoseconds since the epoch, comparable with `date +%s%N`.
long long wallClockNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

/// Peak resident memory of this process (kB), from /proc.
long peakResidentKilobytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

/// The gate the race expects next, or null once all are passed.
scene::Checkpoint* nextGate(World& world, const RaceState& race)
{
    return gateNumbered(world, race.nextCheckpoint);
}

/// How far to the camera's side a place is: the sine of its angle off the viewing
/// direction, positive to the right.
float sideOfCamera(World& world, vec3 place)
{
    const vec3 seen = vec3(inverse(world.camera->modelMatrix) * vec4(place, 1.0f));
    return length(seen) > 0.0f ? seen.x / length(seen) : 0.0f;
}

/// The pick-ups of the level that are still there.
std::set<scene::Collectable*> pickUpsLeft(World& world)
{
    std::set<scene::Collectable*> left;
    for (scene::SceneObject* object : world.objects) {
        auto* pickUp = dynamic_cast<scene::Collectable*>(object);
        if (pickUp && !pickUp->hidden) {
            left.insert(pickUp);
        }
    }
    return left;
}

/// The snowflake nearest to the sled (the one just below the start), or null.
scene::Collectable* nearestSnowflake(World& world)
{
    scene::Collectable* nearest = nullptr;
    float nearestDistance = 0.0f;
    for (scene::SceneObject* object : world.objects) {
        auto* pickUp = dynamic_cast<scene::Collectable*>(object);
        if (!pickUp || pickUp->kind != scene::Snowflake) {
            continue;
        }
        const float distance = glm::distance(pickUp->getPosition(), world.player->getPosition());
        if (!nearest || distance < nearestDistance) {
            nearest = pickUp;
            nearestDistance = distance;
        }
    }
    return nearest;
}

/// The arrow keys a player would hold to ride toward the next gate (or first through the
/// given snowflake, while it is there and no gate is passed yet; or, with wrongGate, for
/// gate 2 while gate 1 is next), as the autopilot rides.
std::set<int> autopilotKeys(World& world, const RaceState& race, scene::Collectable* snowflake,
                            bool wrongGate)
{
    scene::Checkpoint* gate = nextGate(world, race);
    if (!gate || race.gameOver) {
        return {};
    }
    if (wrongGate && race.nextCheckpoint == 1) {
        return arrowKeysFor(steerToward(*world.player, gateNumbered(world, 2)->getPosition()));
    }
    if (snowflake && !snowflake->hidden && race.nextCheckpoint == 1) {
        // Past the snowflake's right side, so that it is touched on the sled's left.
        const vec3 toSnowflake = snowflake->getPosition() - world.player->getPosition();
        const vec3 right = glm::normalize(vec3(-toSnowflake.z, 0.0f, toSnowflake.x));
        return arrowKeysFor(steerToward(*world.player, snowflake->getPosition() + right * snowflakeAside));
    }
    return arrowKeysFor(autopilotInput(world, race));
}

/// What the ride's log says of each simulated frame: a gate passed, points gained (with
/// where the gate or pick-up was, seen from the camera) and the outcome, each when it
/// changes; and when the ride is over.
class RideRecord {
public:
    RideRecord(std::ofstream& log, World& world, double afterRace)
        : log(log), afterRace(afterRace), pickUps(pickUpsLeft(world))
    {
    }

    /// After a frame of deltaTime seconds that began at startNs (wall clock, ns): logs what
    /// changed; false once the ride is over.
    bool simulated(long long startNs, World& world, const RaceState& race)
    {
        rideTime += deltaTime;
        if (race.nextCheckpoint - 1 > gatesPassed) {
            gatesPassed = race.nextCheckpoint - 1;
            scene::Checkpoint* gate = gateNumbered(world, gatesPassed);
            log << "gate " << gatesPassed << " " << rideTime << " frame-start-ns " << startNs << " side "
                << (gate ? sideOfCamera(world, gate->getPosition()) : 0.0f) << "\n";
        }
        if (race.points != points) {
            // The pick-up collected is the one no longer there.
            const std::set<scene::Collectable*> left = pickUpsLeft(world);
            float side = 0.0f;
            for (scene::Collectable* pickUp : pickUps) {
                side = left.count(pickUp) == 0 ? sideOfCamera(world, pickUp->getPosition()) : side;
            }
            log << "points " << race.points - points << " frame-start-ns " << startNs << " side " << side
                << "\n";
            points = race.points;
            pickUps = left;
        }
        if (race.gameOver && decidedAt < 0.0) {
            decidedAt = rideTime;
            log << "decided " << (race.lost ? "lost" : "won") << " " << rideTime << " points " << race.points
                << " frame-start-ns " << startNs << "\n";
        }
        return !((decidedAt >= 0.0 && rideTime - decidedAt > afterRace) || rideTime > longestRide);
    }

private:
    std::ofstream& log;
    double afterRace = 0.0;
    double rideTime = 0.0;
    double decidedAt = -1.0;
    int gatesPassed = 0;
    uint32_t points = 0;
    std::set<scene::Collectable*> pickUps;
};

/// Times the start-up steps (ms since the previous mark) for the log.
class StepClock {
public:
    /// Milliseconds since the last call (or construction).
    double lap()
    {
        const auto now = std::chrono::steady_clock::now();
        const double ms = std::chrono::duration<double, std::milli>(now - last).count();
        last = now;
        return ms;
    }

private:
    std::chrono::steady_clock::time_point last = std::chrono::steady_clock::now();
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: frostline_ride LOGFILE [SECONDS_AFTER_RACE [snowflake] [wrong-gate] [fixed]]\n");
        return 2;
    }
    const double afterRace = argc > 2 ? std::atof(argv[2]) : defaultAfterRace;
    bool viaSnowflake = false;
    bool wrongGate = false;
    bool fixedSteps = false;
    for (int i = 3; i < argc; ++i) {
        viaSnowflake = viaSnowflake || std::string(argv[i]) == "snowflake";
        wrongGate = wrongGate || std::string(argv[i]) == "wrong-gate";
        fixedSteps = fixedSteps || std::string(argv[i]) == "fixed";
    }
    std::ofstream log(argv[1]);
    log.setf(std::ios::fixed);
    log.precision(3);

    // Start-up exactly as the game runs it, step by step.
    StepClock clock;
    readOptions();
    log << "step options " << clock.lap() << "\n";
    initWindow();
    log << "step window " << clock.lap() << "\n";
    initGlew();
    log << "step glew " << clock.lap() << "\n";
    ui::initUserInterface();
    log << "step hud " << clock.lap() << "\n";
    showLoadingScreen();
    log << "step loading-screen " << clock.lap() << "\n";
    initSound();
    log << "step sound " << clock.lap() << "\n";
    loadGuideGhost();
    // RIDE_GHOST=0 rides without the ghost rider (to measure what it costs).
    const char* ghost = std::getenv("RIDE_GHOST");
    ghostVisible = !(ghost && std::string(ghost) == "0");
    keepFilesRead(true);
    initScene();
    log << "step scene " << clock.lap() << "\n";

    // The autopilot holds the keys; the rest of the game reads them as a player's.
    std::set<int> held;
    controls::setKeyReader([&held](GLFWwindow*, int key) { return held.count(key) > 0; });

    // The main loop's own steps, with the ride's end added.
    lastFrameTime = glfwGetTime();
    raceState->paused = false;
    RideRecord record(log, *world, afterRace);
    scene::Collectable* snowflake = viaSnowflake ? nearestSnowflake(*world) : nullptr;
    const double started = glfwGetTime();
    double simulatedTime = 0.0;  // game time of a fixed-step ride (s)
    bool firstFrame = true;
    while (running && !glfwWindowShouldClose(window)) {
        const double frameStart = glfwGetTime();
        const long long frameStartNs = wallClockNanoseconds();
        const double cpuStart = processCpuMilliseconds();
        if (fixedSteps) {
            // Whole steps until the game has caught up with the wall clock, then one picture.
            glfwPollEvents();
            do {
                const long long stepStartNs = wallClockNanoseconds();
                held = raceStarted ? autopilotKeys(*world, *raceState, snowflake, wrongGate)
                                   : std::set<int>{};
                deltaTime = static_cast<float>(fixedStep);
                simulateFrame();
                simulatedTime += fixedStep;
                running = running && record.simulated(stepStartNs, *world, *raceState);
            } while (running && simulatedTime + fixedStep <= glfwGetTime() - started);
            drawFrame();
            glfwSwapBuffers(window);
            // A frame shorter than a step waits for the wall clock.
            const double ahead = simulatedTime - (glfwGetTime() - started);
            std::this_thread::sleep_for(std::chrono::duration<double>(std::max(ahead, 0.0)));
        } else {
            held = raceStarted ? autopilotKeys(*world, *raceState, snowflake, wrongGate) : std::set<int>{};
            runFrame();
            running = running && record.simulated(frameStartNs, *world, *raceState);
        }
        if (firstFrame) {
            // The first countdown frame is on the screen once the swap has been done.
            glFinish();
            log << "step first-frame " << clock.lap() << "\n";
            log << "first-frame-start-ns " << frameStartNs << "\n";
            log << "first-countdown-frame-ns " << wallClockNanoseconds() << "\n";
            log << "first-countdown-frame-cpu-ms " << processCpuMilliseconds() << std::endl;
            firstFrame = false;
        }
        // Wall time of this frame, the frame time the game measured, processor time of all
        // threads, the render scale it was drawn at.
        log << "frame " << (glfwGetTime() - frameStart) * 1e3 << " " << deltaTime * 1e3 << " "
            << processCpuMilliseconds() - cpuStart << " " << world->renderScale << "\n";
    }
    controls::setKeyReader({});
    log << "peak-rss-kb " << peakResidentKilobytes() << "\n";
    shutdown();
    return 0;
}
