// The race can be won: an autopilot that only presses the player's arrow keys
// steers toward the next gate and must pass all five in order before the clock
// runs out, at a steady 60 and at 30 frames a second; once more with a gamepad
// instead of the keys (the stick as far as the turn needs, the triggers); and a
// newcomer who knows only what the HUD shows wins too.
#include <gtest/gtest.h>

#include <cstdio>

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include "app/Globals.h"
#include "tests/level/RaceHarness.h"
#include "tests/support/GlTestContext.h"
#include "tests/support/ScriptedGamepads.h"

using namespace frostline;

namespace {

/// Who rides: the autopilot on the keys or on a gamepad, or a newcomer steering by the HUD alone.
enum class Rider { Keys, Gamepad, Hud };

/// Rides the whole race at frameRate frames a second and prints how it went.
void expectWinAt(float frameRate, Rider rider = Rider::Keys)
{
    ASSERT_NE(test::ensureGlContext(), nullptr);
    const bool withGamepad = rider == Rider::Gamepad;
    test::ScriptedGamepads gamepads;
    if (withGamepad) {
        gamepads.plugIn(0, "Autopilot Pad");
    }
    test::RaceHarness race;
    const float dt = 1.0f / frameRate;
    race.finishCountdown(dt);

    // Ride until the race is decided (or clearly stuck).
    float raceTime = 0.0f;
    int gatesPassed = 0;
    while (!race.race->gameOver && raceTime < 300.0f) {
        if (rider == Rider::Gamepad) {
            race.steerTowardNextGate(gamepads);
        } else if (rider == Rider::Hud) {
            race.steerByTheHud();
        } else {
            race.steerTowardNextGate();
        }
        race.frame(dt);
        raceTime += dt;
        if (race.race->nextCheckpoint - 1 > gatesPassed) {
            gatesPassed = race.race->nextCheckpoint - 1;
            const vec3 p = race.sled->getPosition();
            std::printf("  gate %d at %.2f s, sled at (%.1f, %.1f, %.1f), speed %.1f\n", gatesPassed,
                        raceTime, p.x, p.y, p.z, race.sled->speed);
        }
    }
    std::printf("%s at %.0f Hz%s: finish time %.2f s, %u points, %.2f s left\n",
                rider == Rider::Hud ? "Newcomer" : "Autopilot", frameRate, withGamepad ? " on a gamepad" : "",
                raceTime, race.race->points, race.race->timeLeft);

    // All five gates in order, before the clock ran out.
    EXPECT_EQ(race.race->nextCheckpoint, 6);
    EXPECT_TRUE(race.race->gameOver);
    EXPECT_FALSE(race.race->lost);
    EXPECT_GT(race.race->timeLeft, 0.0f);

    // A second on, the won run is the session's best: the next race's ghost rides it.
    frostline::ghostSession = GhostSession{};
    for (int i = 0; i < static_cast<int>(frameRate) + 1; ++i) {
        race.frame(dt);
    }
    ASSERT_NE(frostline::ghostSession.ride(), nullptr);
    EXPECT_TRUE(frostline::ghostSession.ridesBest());
    EXPECT_NEAR(frostline::ghostSession.ride()->finishTime, raceTime, 2.0f * dt);
}

}  // namespace

TEST(AutopilotTest, WinsTheRaceAtSixtyFramesASecond)
{
    expectWinAt(60.0f);
}

TEST(AutopilotTest, WinsTheRaceAtThirtyFramesASecond)
{
    expectWinAt(30.0f);
}

TEST(AutopilotTest, WinsTheRaceOnAGamepadAtSixtyFramesASecond)
{
    expectWinAt(60.0f, Rider::Gamepad);
}

TEST(AutopilotTest, ANewcomerWhoFollowsOnlyTheHudWins)
{
    // Steering by the amber sign on the screen and the arrow at its edge, never by
    // where the level puts the gates, a newcomer finds all five in time.
    expectWinAt(60.0f, Rider::Hud);
}

TEST(AutopilotTest, RidingStraightOnFromGateOneNeverTakesGateThreeFirst)
{
    // A player who rides through gate 1 for the first time and, not seeing where to go,
    // simply holds Up for half a minute does not reach gate 3 out of turn: the way on
    // from gate 1 leads toward gate 2.
    ASSERT_NE(test::ensureGlContext(), nullptr);
    test::RaceHarness race;
    const float dt = 1.0f / 60.0f;
    race.finishCountdown(dt);
    race.race->timeLeft = 600.0f;
    while (race.race->nextCheckpoint == 1 && !race.race->gameOver) {
        race.steerTowardNextGate();
        race.frame(dt);
    }
    ASSERT_EQ(race.race->nextCheckpoint, 2);
    race.releaseAll();
    race.press(GLFW_KEY_UP);
    for (float time = 0.0f; time < 30.0f && !race.race->gameOver; time += dt) {
        race.frame(dt);
    }
    const vec3 p = race.sled->getPosition();
    std::printf("Riding on from gate 1: next gate %d, ended at (%.1f, %.1f, %.1f)\n",
                race.race->nextCheckpoint, p.x, p.y, p.z);
    EXPECT_FALSE(race.race->lost) << "touched a gate out of turn";
}
