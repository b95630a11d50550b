// frostline_newcomer: a newcomer rides the real race a hundred times. The level,
// the sled, the rules, the camera and the gate guide are the game's own, stepped
// at a fixed 30 frames a second without drawing. The rider knows only what the
// screen shows: the next gate's amber sign while it is on the screen and not
// hidden, else the arrow at the edge (nothing when neither shows). It reacts
// 0.3 s late, holds every key it presses for at least 0.12 s, aims with an error
// of up to 8 degrees (seeded per race), pushes while the way lies roughly ahead,
// brakes when it lies far to the side, and presses R when it has pushed for three
// seconds without getting anywhere, as the help card says. Same seed, same race.
//
// Usage: frostline_newcomer RESULT_FILE [RACES [FIRST_SEED]]   (from the runtime
// folder, under a display). Writes "Newcomer rider: N of 100 won, median finish X s"
// to RESULT_FILE and one line a race to standard output, among the game's own lines.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include "app/Globals.h"
#include "physics/SightWorld.h"
#include "scene/GateMarker.h"
#include "tests/level/RaceHarness.h"
#include "tests/support/GlTestContext.h"
#include "ui/GatePointer.h"

using namespace frostline;

namespace {

/// How the newcomer plays.
struct NewcomerSettings {
    float frameTime = 1.0f / 30.0f;  ///< fixed frame (s)
    float reactionDelay = 0.3f;      ///< between seeing and pressing (s)
    float shortestTap = 0.12f;       ///< a key pressed stays down at least this long (s)
    float largestAimError = 8.0f;    ///< the aim misses by up to this much either way (degrees)
    float aimErrorChange = 2.0f;     ///< a new aim error this often, and at every new gate (s)
    float steerDeadband = 3.0f;      ///< the way this close to straight ahead needs no steering (degrees)
    float pushWithin = 30.0f;        ///< Up is held while the way lies within this of ahead (degrees)
    float brakeBeyond = 60.0f;       ///< Down while the way lies beyond this and the sled is fast (degrees)
    float brakeSpeed = 6.0f;         ///< what fast is (speed)
    float stuckTime = 3.0f;          ///< R after pushing this long, the sled within stuckReach (s)
    float stuckReach = 2.0f;         ///< (world units)
    float longestRace = 400.0f;      ///< a race still undecided after this long is a loss (s)
};

/// What the screen shows of the way this frame.
struct Percept {
    enum class Kind { Nothing, Sign, Arrow } kind = Kind::Nothing;
    float error = 0.0f;  ///< where the way lies: degrees from straight ahead, positive to the left
    float speed = 0.0f;  ///< how fast the sled goes (the screen shows it moving)
};

/// The way to the next gate as the screen shows it now.
Percept look(World& world, const RaceState& race)
{
    Percept percept;
    percept.speed = world.player->speed;
    const ui::GateGuide guide = ui::guideToNextGate(world, race);
    if (!guide.active) {
        return percept;
    }
    const scene::Camera& camera = *world.camera;
    // The guide counts a sign as in view only where it is seen (an edge of it will do).
    if (guide.inView) {
        // The sign's place across the screen, as an angle from the middle.
        percept.kind = Percept::Kind::Sign;
        percept.error = -std::atan(guide.screen.x / camera.projection[0][0]) / degreesToRadians;
    } else if (guide.pointer && guide.hidden) {
        // The arrow points at a place on the screen: ride for that place.
        percept.kind = Percept::Kind::Arrow;
        percept.error = -std::atan(guide.screen.x / camera.projection[0][0]) / degreesToRadians;
    } else if (guide.pointer) {
        // The arrow at the edge: straight up is straight ahead.
        percept.kind = Percept::Kind::Arrow;
        percept.error = std::remainder(guide.angle - 90.0f, 360.0f);
    }
    return percept;
}

/// One key of the newcomer's hands: pressed and released on demand, but never for less than a tap.
class Key {
public:
    explicit Key(int code) : code(code) {}

    /// Wants the key down (or up) this frame; held keys stay down for the shortest tap.
    void want(bool down, float shortestTap, test::RaceHarness& race)
    {
        if (down && !held) {
            held = true;
            heldFor = 0.0f;
        } else if (!down && held && heldFor >= shortestTap) {
            held = false;
        }
        if (held) {
            race.press(code);
        }
    }
    /// Time passes with the key as it is.
    void tick(float dt) { heldFor += dt; }

private:
    int code;
    bool held = false;
    float heldFor = 0.0f;
};

/// How one race went.
struct RaceResult {
    bool won = false;
    float finish = 0.0f;  ///< from GO to the last gate, or to the end (s)
    int gatesPassed = 0;
    std::string how;          ///< what ended it
    std::string gateTimes;    ///< when each gate was passed (s)
    int respawns = 0;         ///< times the rider pressed R
    std::string stuckPlaces;  ///< where the sled was stuck each time
    vec3 end{0.0f};           ///< where the sled was at the end
};

RaceResult rideOnce(unsigned seed, const NewcomerSettings& settings)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> aimError(-settings.largestAimError, settings.largestAimError);
    test::RaceHarness race;
    const float dt = settings.frameTime;
    race.finishCountdown(dt);

    const std::size_t delayFrames = static_cast<std::size_t>(std::lround(settings.reactionDelay / dt));
    std::deque<Percept> seen(delayFrames, Percept{});
    Key left(GLFW_KEY_LEFT), right(GLFW_KEY_RIGHT), up(GLFW_KEY_UP), down(GLFW_KEY_DOWN), back(GLFW_KEY_R);
    float aim = aimError(random);
    float aimAge = 0.0f;
    int aimGate = race.race->nextCheckpoint;
    vec3 stuckSince = race.sled->getPosition();
    float stuckFor = 0.0f;

    RaceResult result;
    float time = 0.0f;
    while (!race.race->gameOver && time < settings.longestRace) {
        // What the player reacts to now is what the screen showed a moment ago.
        seen.push_back(look(*race.world, *race.race));
        const Percept percept = seen.front();
        seen.pop_front();
        aimAge += dt;
        if (aimAge >= settings.aimErrorChange || race.race->nextCheckpoint != aimGate) {
            aim = aimError(random);
            aimAge = 0.0f;
            aimGate = race.race->nextCheckpoint;
        }

        // The hands.
        race.releaseAll();
        bool steerLeft = false, steerRight = false, push = false, brake = false;
        if (percept.kind == Percept::Kind::Nothing) {
            push = true;  // no sign, no arrow: ride on
        } else {
            const float error = percept.error + aim;
            steerLeft = error > settings.steerDeadband;
            steerRight = error < -settings.steerDeadband;
            push = std::fabs(error) < settings.pushWithin;
            brake = std::fabs(error) > settings.brakeBeyond && percept.speed > settings.brakeSpeed;
        }
        // Stuck: pushing on, yet hardly moving (turning on the spot is not being stuck).
        const vec3 place = race.sled->getPosition();
        const bool stillThere = glm::length(place - stuckSince) < settings.stuckReach;
        stuckFor = stillThere ? stuckFor + (push ? dt : 0.0f) : 0.0f;
        if (!stillThere) {
            stuckSince = place;
        }
        const bool again = stuckFor >= settings.stuckTime;
        if (again) {
            stuckFor = 0.0f;
        }
        left.want(steerLeft, settings.shortestTap, race);
        right.want(steerRight, settings.shortestTap, race);
        up.want(push, settings.shortestTap, race);
        down.want(brake, settings.shortestTap, race);
        back.want(again, settings.shortestTap, race);
        for (Key* key : {&left, &right, &up, &down, &back}) {
            key->tick(dt);
        }

        race.frame(dt);
        time += dt;
        if (again) {
            ++result.respawns;
            char text[48];
            std::snprintf(text, sizeof text, " (%.0f, %.0f)", place.x, place.z);
            result.stuckPlaces += text;
        }
        if (race.race->nextCheckpoint - 1 > result.gatesPassed) {
            result.gatesPassed = race.race->nextCheckpoint - 1;
            char text[24];
            std::snprintf(text, sizeof text, " %.1f", time);
            result.gateTimes += text;
        }
        if (std::getenv("NEWCOMER_TRACE")) {
            const vec3 p = race.sled->getPosition();
            std::printf("trace %.2f pos %.1f %.1f %.1f speed %.1f kind %d err %.1f keys%s%s%s%s%s\n", time,
                        p.x, p.y, p.z, race.sled->speed, static_cast<int>(percept.kind), percept.error,
                        race.held.count(GLFW_KEY_LEFT) ? " L" : "",
                        race.held.count(GLFW_KEY_RIGHT) ? " R" : "", race.held.count(GLFW_KEY_UP) ? " U" : "",
                        race.held.count(GLFW_KEY_DOWN) ? " D" : "",
                        race.held.count(GLFW_KEY_R) ? " back" : "");
        }
    }
    result.end = race.sled->getPosition();
    result.gatesPassed = std::min(race.race->nextCheckpoint - 1, race.race->lastCheckpoint);
    result.won = race.race->gameOver && !race.race->lost;
    result.finish = time;
    result.how = result.won                    ? "won"
                 : !race.race->gameOver        ? "undecided"
                 : race.race->timeLeft <= 0.0f ? "time up"
                                               : "wrong gate";
    return result;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: frostline_newcomer RESULT_FILE [RACES [FIRST_SEED]]\n");
        return 2;
    }
    const int races = argc > 2 ? std::atoi(argv[2]) : 100;
    const unsigned firstSeed = argc > 3 ? static_cast<unsigned>(std::atoi(argv[3])) : 1u;
    if (!test::ensureGlContext()) {
        std::fprintf(stderr, "frostline_newcomer: no OpenGL 3.3 context (is DISPLAY set?)\n");
        return 1;
    }
    const NewcomerSettings settings;
    std::vector<float> finishes;
    std::map<std::string, int> endings;
    for (int i = 0; i < races; ++i) {
        const unsigned seed = firstSeed + static_cast<unsigned>(i);
        const RaceResult result = rideOnce(seed, settings);
        std::printf(
            "newcomer race seed %u: %s after %.2f s, %d gates (at%s), %d times R%s, ended at (%.0f, %.0f, "
            "%.0f)\n",
            seed, result.how.c_str(), result.finish, result.gatesPassed, result.gateTimes.c_str(),
            result.respawns, result.stuckPlaces.c_str(), result.end.x, result.end.y, result.end.z);
        std::fflush(stdout);
        ++endings[result.how];
        if (result.won) {
            finishes.push_back(result.finish);
        }
    }
    std::string median = "n/a";
    if (!finishes.empty()) {
        std::sort(finishes.begin(), finishes.end());
        const std::size_t n = finishes.size();
        const float middle = n % 2 ? finishes[n / 2] : 0.5f * (finishes[n / 2 - 1] + finishes[n / 2]);
        char text[32];
        std::snprintf(text, sizeof text, "%.1f", middle);
        median = text;
    }
    std::ofstream out(argv[1]);
    out << "Newcomer rider: " << finishes.size() << " of " << races << " won, median finish " << median
        << " s\n";
    for (const auto& [how, count] : endings) {
        std::printf("newcomer endings: %s %d\n", how.c_str(), count);
    }
    test::releaseGlContext();
    return 0;
}
