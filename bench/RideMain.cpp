// frostline_ride: the real game, started and looped as a player starts it, with an
// autopilot on the arrow keys instead of a player. It rides the race from the
// countdown until the race is decided (plus a second of the result) and writes
// what bench/ride.sh reports: when the first countdown frame was on screen, how
// long each start-up step took, every frame's time and the peak resident memory.
// For the recording of its sound it also writes when each frame that changed the
// points or decided the race began (wall clock), as it does for the first frame.
//
// Usage: frostline_ride LOGFILE [SECONDS_AFTER_RACE [snowflake]]   (run from the runtime
// folder, under a display; the ride goes on for 1 s after the race is decided by
// default; "snowflake" makes the autopilot ride through the snowflake just below the
// start on its way to the first gate)
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <fstream>
#include <set>
#include <string>


#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include "app/Application.h"
#include "app/GhostRace.h"
#include "app/Globals.h"
#include "bench/ProcessTime.h"
#include "app/MainLoop.h"
#include "app/RaceState.h"
#include "controls/KeyInput.h"
#include "level/Autopilot.h"
#include "physics/ControllerShape.h"
#include "render/World.h"
#include "scene/Collectable.h"
#include "ui/Hud.h"

using namespace frostline;

namespace {

using bench::processCpuMilliseconds;

/// The longest ride (s), in case the sled gets stuck somewhere.
constexpr double longestRide = 150.0;
/// How long the ride goes on after the race is decided (s), unless the command line says.
constexpr double defaultAfterRace = 1.0;

/// Wall-clock time in nanoseconds since the epoch, comparable with `date +%s%N`.
long long wallClockNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
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

/// Before the first gate: the first snowflake of the level while it is still there and
/// ahead of the sled; otherwise null.
scene::Collectable* snowflakeOnTheWay(World& world, const RaceState& race)
{
    if (race.nextCheckpoint != 1) {
        return nullptr;
    }
    for (scene::SceneObject* object : world.objects) {
        auto* pickUp = dynamic_cast<scene::Collectable*>(object);
        if (pickUp && pickUp->kind == scene::Snowflake) {
            const vec3 toIt = pickUp->getPosition() - world.player->getPosition();
            const bool ahead = glm::dot(vec2(toIt.x, toIt.z), vec2(world.player->heading.x, world.player->heading.z)) > 0.0f;
            return !pickUp->hidden && ahead ? pickUp : nullptr;
        }
    }
    return nullptr;
}

/// The arrow keys a player would hold to ride toward the next gate (or first straight on
/// through the snowflake ahead, when asked).
std::set<int> autopilotKeys(World& world, const RaceState& race, bool viaSnowflake)
{
    // The start points straight at the first snowflake: Up alone rides through it.
    if (viaSnowflake && !race.gameOver && snowflakeOnTheWay(world, race)) {
        return {GLFW_KEY_UP};
    }
    return arrowKeysFor(autopilotInput(world, race));
}

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
        std::fprintf(stderr, "usage: frostline_ride LOGFILE [SECONDS_AFTER_RACE]\n");
        return 2;
    }
    const double afterRace = argc > 2 ? std::atof(argv[2]) : defaultAfterRace;
    const bool viaSnowflake = argc > 3 && std::string(argv[3]) == "snowflake";
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
    initScene();
    log << "step scene " << clock.lap() << "\n";

    // The autopilot holds the keys; the rest of the game reads them as a player's.
    std::set<int> held;
    controls::setKeyReader([&held](GLFWwindow*, int key) { return held.count(key) > 0; });

    // The main loop's own steps, with the ride's end added.
    lastFrameTime = glfwGetTime();
    raceState->paused = false;
    double rideTime = 0.0;
    double decidedAt = -1.0;
    bool firstFrame = true;
    int gatesPassed = 0;
    uint32_t points = 0;
    while (running && !glfwWindowShouldClose(window)) {
        held = raceStarted ? autopilotKeys(*world, *raceState, viaSnowflake) : std::set<int>{};
        const double frameStart = glfwGetTime();
        const long long frameStartNs = wallClockNanoseconds();
        const double cpuStart = processCpuMilliseconds();
        runFrame();
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
        rideTime += deltaTime;
        if (raceState->nextCheckpoint - 1 > gatesPassed) {
            gatesPassed = raceState->nextCheckpoint - 1;
            log << "gate " << gatesPassed << " " << rideTime << "\n";
        }
        if (raceState->points != points) {
            log << "points " << raceState->points - points << " frame-start-ns " << frameStartNs << "\n";
            points = raceState->points;
        }
        if (raceState->gameOver && decidedAt < 0.0) {
            decidedAt = rideTime;
            log << "decided " << (raceState->lost ? "lost" : "won") << " " << rideTime << " points "
                << raceState->points << " frame-start-ns " << frameStartNs << "\n";
        }
        if ((decidedAt >= 0.0 && rideTime - decidedAt > afterRace) || rideTime > longestRide) {
            running = false;
        }
    }
    controls::setKeyReader({});
    log << "peak-rss-kb " << peakResidentKilobytes() << "\n";
    shutdown();
    return 0;
}
