// The arrow keys on the real level's sled, pressed through the key reader, and a
// gamepad beside them, fed through a scripted gamepad source.
#include <gtest/gtest.h>

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include "controls/Gamepad.h"
#include "scene/Camera.h"
#include "tests/level/RaceHarness.h"
#include "tests/support/GlTestContext.h"
#include "tests/support/ScriptedGamepads.h"

using namespace frostline;

namespace {

constexpr float frameTime = 1.0f / 60.0f;

/// The level after the countdown, the sled standing on the snow.
class PlayerInputTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(test::ensureGlContext(), nullptr);
        race = std::make_unique<test::RaceHarness>();
        race->finishCountdown(frameTime);
        sled = race->sled;
    }

    /// One controller update with keys held.
    void hold(std::initializer_list<int> keys, int frames = 1)
    {
        race->releaseAll();
        for (int key : keys) {
            race->press(key);
        }
        for (int frame = 0; frame < frames; ++frame) {
            race->controller->update(race->window, frameTime);
        }
        race->releaseAll();
    }

    std::unique_ptr<test::RaceHarness> race;
    scene::ControllerShape* sled = nullptr;
};

}  // namespace

TEST_F(PlayerInputTest, UpSpeedsUpToTopSpeedButNeverPastIt)
{
    // Held for a second: 2.5 faster.
    sled->speed = 1.0f;
    hold({GLFW_KEY_UP}, 60);
    EXPECT_NEAR(sled->speed, 3.5f, 1e-4f);

    // Held for a minute: never above 40.
    hold({GLFW_KEY_UP}, 3600);
    EXPECT_EQ(sled->speed, 40.0f);

    // Faster than that from the slope: the key neither adds nor takes away.
    sled->speed = 45.0f;
    hold({GLFW_KEY_UP}, 10);
    EXPECT_EQ(sled->speed, 45.0f);

    // Riding with up held on the real slope: the key alone never makes it pass 40;
    // whatever is above comes from the slope.
    sled->speed = 0.0f;
    for (int frame = 0; frame < 600; ++frame) {
        race->press(GLFW_KEY_UP);
        const float before = sled->speed;
        race->controller->update(race->window, frameTime);
        EXPECT_LE(sled->speed, std::max(before, 40.0f));
        race->world->update();
    }
}

TEST_F(PlayerInputTest, LeftAndRightTurnSledAndCameraTogether)
{
    const vec3 heading = sled->heading;
    const float cameraYaw = sled->chaseCamera->yaw;

    // Left for half a second: 30 degrees to the left, the left part swung out all the way.
    hold({GLFW_KEY_LEFT}, 30);
    EXPECT_NEAR(sled->yaw, -90.0f + 30.0f, 1e-3f);
    EXPECT_NEAR(sled->chaseCamera->yaw - cameraYaw, 30.0f, 1e-3f);
    EXPECT_NEAR(sled->heading.x, std::cos(30.0f * degreesToRadians), 1e-5f);
    EXPECT_NEAR(sled->heading.z, -std::sin(30.0f * degreesToRadians), 1e-5f);
    EXPECT_EQ(sled->leftLean, 40.0f);
    EXPECT_EQ(sled->rightLean, 0.0f);

    // Both together: both parts swing, the heading stays.
    const vec3 turned = sled->heading;
    hold({GLFW_KEY_LEFT, GLFW_KEY_RIGHT}, 30);
    EXPECT_NEAR(sled->heading.x, turned.x, 1e-5f);
    EXPECT_NEAR(sled->heading.z, turned.z, 1e-5f);
    EXPECT_EQ(sled->rightLean, 40.0f);

    // Right for as long as left: back on the old heading.
    hold({GLFW_KEY_RIGHT}, 30);
    EXPECT_NEAR(sled->heading.x, heading.x, 1e-5f);
    EXPECT_NEAR(sled->heading.z, heading.z, 1e-5f);
    EXPECT_NEAR(sled->chaseCamera->yaw, cameraYaw, 1e-3f);

    // The parts swing back at 90 degrees a second once the keys are let go; the sprays stop with them.
    for (int frame = 0; frame < 20; ++frame) {
        race->frame(frameTime);
    }
    EXPECT_TRUE(sled->leftSprayActive && sled->rightSprayActive);
    for (int frame = 0; frame < 7; ++frame) {
        race->frame(frameTime);
    }
    EXPECT_FALSE(sled->leftSprayActive || sled->rightSprayActive);
}

TEST_F(PlayerInputTest, DownBrakesToAStandstillFromEitherDirection)
{
    // 8.75 per second, down to 0 and not beyond.
    sled->speed = 1.0f;
    hold({GLFW_KEY_DOWN}, 6);
    EXPECT_NEAR(sled->speed, 1.0f - 6 * 8.75f * frameTime, 1e-5f);
    hold({GLFW_KEY_DOWN}, 60);
    EXPECT_EQ(sled->speed, 0.0f);
    sled->speed = -1.0f;
    hold({GLFW_KEY_DOWN}, 60);
    EXPECT_EQ(sled->speed, 0.0f);
    // Braking swings both parts out.
    EXPECT_EQ(sled->leftLean, 40.0f);
    EXPECT_EQ(sled->rightLean, 40.0f);
}

TEST_F(PlayerInputTest, InTheAirTheArrowsDoNothing)
{
    sled->grounded = false;
    sled->speed = 5.0f;
    const vec3 heading = sled->heading;
    hold({GLFW_KEY_UP, GLFW_KEY_LEFT, GLFW_KEY_DOWN}, 30);
    hold({GLFW_KEY_RIGHT}, 30);
    EXPECT_EQ(sled->speed, 5.0f);
    EXPECT_EQ(sled->heading, heading);
    EXPECT_EQ(sled->leftLean, 0.0f);
    EXPECT_EQ(sled->rightLean, 0.0f);
}

TEST_F(PlayerInputTest, PausedNothingMoves)
{
    // The help panel is up: keys are ignored and the world stands still.
    race->race->paused = true;
    const vec3 position = sled->getPosition();
    const vec3 heading = sled->heading;
    const float speed = sled->speed;
    const float timeLeft = race->race->timeLeft;
    race->press(GLFW_KEY_UP);
    race->press(GLFW_KEY_LEFT);
    race->press(GLFW_KEY_R);
    for (int frame = 0; frame < 60; ++frame) {
        race->frame(frameTime);
    }
    EXPECT_EQ(sled->getPosition(), position);
    EXPECT_EQ(sled->heading, heading);
    EXPECT_EQ(sled->speed, speed);
    EXPECT_EQ(sled->leftLean, 0.0f);
    EXPECT_EQ(race->race->timeLeft, timeLeft);
}

namespace {

/// The sled on the level with a gamepad plugged in beside the keyboard.
class GamepadSteeringTest : public PlayerInputTest {
protected:
    void SetUp() override
    {
        PlayerInputTest::SetUp();
        gamepads.plugIn(0, "Test Pad");
    }

    /// Frames of the controller with the stick at x and keys held, the gamepad read
    /// before each as the main loop does; how far the sled turned (degrees, left positive).
    float turnFor(int frames, float stickX, std::initializer_list<int> keys = {})
    {
        const float yaw = sled->yaw;
        gamepads.setAxis(GLFW_GAMEPAD_AXIS_LEFT_X, stickX);
        for (int key : keys) {
            race->press(key);
        }
        for (int frame = 0; frame < frames; ++frame) {
            controls::playerGamepad().poll();
            race->controller->update(race->window, frameTime);
        }
        race->releaseAll();
        gamepads.rest();
        return sled->yaw - yaw;
    }

    /// Straightens the rider's parts again.
    void unlean() { sled->leftLean = sled->rightLean = 0.0f; }

    test::ScriptedGamepads gamepads;
};

}  // namespace

TEST_F(GamepadSteeringTest, TheStickSteersByItsDeflectionBeyondTheDeadZoneAndTheStrongerInputWins)
{
    // The arrow key for a sixth of a second: 10 degrees, and the part swung out 30 degrees.
    EXPECT_NEAR(turnFor(10, 0.0f, {GLFW_KEY_LEFT}), 10.0f, 1e-3f);
    EXPECT_NEAR(sled->leftLean, 30.0f, 1e-3f);
    unlean();

    // A stick resting a little off centre, either way, steers nothing.
    EXPECT_EQ(turnFor(60, 0.1f), 0.0f);
    EXPECT_EQ(turnFor(60, -0.1f), 0.0f);
    EXPECT_EQ(turnFor(60, 0.15f), 0.0f);
    EXPECT_EQ(sled->leftLean + sled->rightLean, 0.0f);

    // Half way from the dead zone to the stop: half the key's turn and lean.
    const float halfWay = controls::stickDeadZone + (1.0f - controls::stickDeadZone) * 0.5f;
    EXPECT_NEAR(turnFor(10, -halfWay), 5.0f, 1e-3f);
    EXPECT_NEAR(sled->leftLean, 15.0f, 1e-3f);
    unlean();
    EXPECT_NEAR(turnFor(10, halfWay), -5.0f, 1e-3f);
    EXPECT_NEAR(sled->rightLean, 15.0f, 1e-3f);
    unlean();

    // Just outside the dead zone almost nothing; at the stop (or past it, as some
    // sticks report on the diagonal) exactly the key; the D-pad is the key too.
    const float nudge = turnFor(10, -0.16f);
    EXPECT_GT(nudge, 0.0f);
    EXPECT_LT(nudge, 0.15f);
    unlean();
    EXPECT_NEAR(turnFor(10, -1.0f), 10.0f, 1e-3f);
    EXPECT_NEAR(sled->leftLean, 30.0f, 1e-3f);
    unlean();
    EXPECT_NEAR(turnFor(10, 1.05f), -10.0f, 1e-3f);
    unlean();
    gamepads.hold(GLFW_GAMEPAD_BUTTON_DPAD_RIGHT);
    EXPECT_NEAR(turnFor(10, 0.0f), -10.0f, 1e-3f);
    unlean();

    // Keyboard and stick together the same way, the stick half or all the way: the
    // key's turn, never the sum.
    EXPECT_NEAR(turnFor(10, -halfWay, {GLFW_KEY_LEFT}), 10.0f, 1e-3f);
    EXPECT_NEAR(turnFor(10, -1.0f, {GLFW_KEY_LEFT}), 10.0f, 1e-3f);
    EXPECT_EQ(sled->leftLean, 40.0f);
    unlean();
    // Opposite ways, as both arrow keys: each side acts and the turns offset.
    EXPECT_NEAR(turnFor(10, halfWay, {GLFW_KEY_LEFT}), 5.0f, 1e-3f);
    EXPECT_NEAR(sled->leftLean, 30.0f, 1e-3f);
    EXPECT_NEAR(sled->rightLean, 15.0f, 1e-3f);
}

TEST_F(GamepadSteeringTest, TriggersAndButtonsActAsTheirKeys)
{
    const auto frames = [this](int count) {
        for (int frame = 0; frame < count; ++frame) {
            controls::playerGamepad().poll();
            race->controller->update(race->window, frameTime);
        }
        gamepads.rest();
    };

    // The right trigger a little under half way pushes nothing; past half way it
    // pushes as Up does (2.5 faster in a second); A does too.
    sled->speed = 1.0f;
    gamepads.setAxis(GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER, -0.1f);
    frames(60);
    EXPECT_EQ(sled->speed, 1.0f);
    gamepads.setAxis(GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER, 0.1f);
    frames(60);
    EXPECT_NEAR(sled->speed, 3.5f, 1e-4f);
    gamepads.hold(GLFW_GAMEPAD_BUTTON_A);
    frames(60);
    EXPECT_NEAR(sled->speed, 6.0f, 1e-4f);
    // A and the trigger together push once, not twice.
    gamepads.hold(GLFW_GAMEPAD_BUTTON_A);
    gamepads.setAxis(GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER, 1.0f);
    race->press(GLFW_KEY_UP);
    frames(60);
    race->releaseAll();
    EXPECT_NEAR(sled->speed, 8.5f, 1e-4f);

    // The left trigger past half way brakes as Down does (8.75 a second); B does too.
    sled->speed = 1.0f;
    gamepads.setAxis(GLFW_GAMEPAD_AXIS_LEFT_TRIGGER, 0.2f);
    frames(6);
    EXPECT_NEAR(sled->speed, 1.0f - 6 * 8.75f * frameTime, 1e-5f);
    gamepads.hold(GLFW_GAMEPAD_BUTTON_B);
    frames(60);
    EXPECT_EQ(sled->speed, 0.0f);

    // Y: back to the last gate passed (the start, here), standing, as R does.
    sled->speed = 12.0f;
    for (int frame = 0; frame < 30; ++frame) {
        race->frame(frameTime);
    }
    ASSERT_GT(glm::distance(sled->getPosition(), sled->respawnPosition), 1.0f);
    gamepads.hold(GLFW_GAMEPAD_BUTTON_Y);
    frames(1);
    EXPECT_EQ(sled->speed, 0.0f);
    EXPECT_LT(glm::distance(sled->getPosition(), sled->respawnPosition), 0.01f);
}
