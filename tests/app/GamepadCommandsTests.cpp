// The gamepad's one-shot buttons and plugging gamepads in and out, fed through a
// scripted gamepad source and polled as the start of every frame polls them.
#include "app/GamepadCommands.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <vector>

#include "app/Globals.h"
#include "app/KeyCommands.h"
#include "app/RaceState.h"
#include "controls/Gamepad.h"
#include "tests/support/GlTestContext.h"
#include "tests/support/ScriptedGamepads.h"
#include "ui/Hud.h"

using namespace frostline;

namespace {

constexpr float frameTime = 1.0f / 60.0f;

/// A race under way (not paused), help hidden, and no joystick plugged in.
class GamepadCommandsTest : public testing::Test {
protected:
    void SetUp() override
    {
        test::ensureGlContext();
        raceState = &race;
        race.paused = false;
        running = true;
        showHelp = false;
        ui::showMessage("start");
        initGamepad();  // nothing plugged in yet, and no Back press pending
    }
    void TearDown() override
    {
        raceState = nullptr;
        running = true;
        showHelp = false;
    }

    /// Frames of seconds each: the gamepad polled and its commands run, keys recorded.
    /// Enter (a new race) is only recorded: there is no level here to build again
    /// (the level tests race again from a gamepad).
    void frames(int count, float seconds = frameTime)
    {
        deltaTime = seconds;
        for (int frame = 0; frame < count; ++frame) {
            pollGamepad([this](int key) {
                commandKeys.push_back(key);
                if (key != GLFW_KEY_ENTER) {
                    runKeyCommand(key);
                }
            });
        }
    }
    /// A button of the gamepad in slot 0 pressed for a frame and let go for a frame.
    void tap(int button)
    {
        gamepads.hold(button);
        frames(1);
        gamepads.hold(button, false);
        frames(1);
    }

    test::ScriptedGamepads gamepads;
    RaceState race;
    std::vector<int> commandKeys;  ///< the key commands the gamepad ran, in order
};

}  // namespace

TEST_F(GamepadCommandsTest, PluggingInAndOutIsSaidAndNeverStopsTheRace)
{
    // Nothing plugged in at start: nothing said, nothing printed, nothing read.
    testing::internal::CaptureStdout();
    initGamepad();
    frames(10);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(ui::currentMessage(), "start");
    EXPECT_FALSE(controls::playerGamepad().connected());

    // A joystick without a gamepad mapping: one console line naming it, and ignored.
    testing::internal::CaptureStdout();
    gamepads.plugIn(0, "Flight Stick", false);
    frames(10);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Joystick without a gamepad mapping ignored: Flight Stick\n");
    EXPECT_EQ(ui::currentMessage(), "start");
    EXPECT_FALSE(controls::playerGamepad().connected());

    // A gamepad: said on the message line, and its buttons read from the next frame on.
    gamepads.plugIn(1, "Pad One");
    EXPECT_EQ(ui::currentMessage(), "Gamepad: Pad One");
    gamepads.state(1).buttons[GLFW_GAMEPAD_BUTTON_A] = GLFW_PRESS;
    frames(1);
    EXPECT_TRUE(controls::playerGamepad().held(GLFW_GAMEPAD_BUTTON_A));

    // A second gamepad: the first stays in use and nothing is said.
    ui::showMessage("start");
    gamepads.plugIn(2, "Pad Two");
    gamepads.state(2).buttons[GLFW_GAMEPAD_BUTTON_START] = GLFW_PRESS;
    frames(1);
    EXPECT_EQ(ui::currentMessage(), "start");
    EXPECT_EQ(controls::playerGamepad().name(), "Pad One");
    EXPECT_FALSE(showHelp);

    // The first pulled out with A held: the second takes over and says so; its Start,
    // already held then, is not a press, and nothing of the first stays held.
    gamepads.pullOut(1);
    EXPECT_EQ(ui::currentMessage(), "Gamepad: Pad Two");
    frames(1);
    EXPECT_FALSE(controls::playerGamepad().held(GLFW_GAMEPAD_BUTTON_A));
    EXPECT_TRUE(controls::playerGamepad().held(GLFW_GAMEPAD_BUTTON_START));
    EXPECT_FALSE(showHelp);

    // The last gamepad pulled out: said, and the race simply goes on.
    gamepads.pullOut(2);
    EXPECT_EQ(ui::currentMessage(), "Gamepad disconnected");
    frames(1);
    EXPECT_FALSE(controls::playerGamepad().held(GLFW_GAMEPAD_BUTTON_START));
    ui::showMessage("start");
    gamepads.pullOut(0);
    EXPECT_EQ(ui::currentMessage(), "start");
    EXPECT_FALSE(race.paused);
    EXPECT_TRUE(running);
    EXPECT_TRUE(commandKeys.empty());

    // Started with a gamepad already plugged in: it is found and named.
    gamepads.plugIn(3, "Pad Three");
    controls::playerGamepad() = controls::Gamepad();
    testing::internal::CaptureStdout();
    initGamepad();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Gamepad: Pad Three\n");
    EXPECT_EQ(ui::currentMessage(), "Gamepad: Pad Three");
}

TEST_F(GamepadCommandsTest, BackLeavesOnlyWhenPressedTwiceWithinThreeSeconds)
{
    gamepads.plugIn(0, "Pad");
    frames(1);  // its first reading

    // Back held for two seconds is one press: it asks, and the game goes on.
    gamepads.hold(GLFW_GAMEPAD_BUTTON_BACK);
    frames(120);
    EXPECT_EQ(ui::currentMessage(), "Press Back again to leave");
    EXPECT_TRUE(running);

    // Let go, and pressed again four seconds after the first press: it asks again.
    gamepads.hold(GLFW_GAMEPAD_BUTTON_BACK, false);
    frames(120);
    ui::showMessage("start");
    tap(GLFW_GAMEPAD_BUTTON_BACK);
    EXPECT_EQ(ui::currentMessage(), "Press Back again to leave");
    EXPECT_TRUE(running);

    // A second press 2.5 seconds later leaves, as Escape does.
    frames(148);
    tap(GLFW_GAMEPAD_BUTTON_BACK);
    EXPECT_FALSE(running);
    EXPECT_EQ(commandKeys, std::vector<int>{GLFW_KEY_ESCAPE});
}

TEST_F(GamepadCommandsTest, StartIsAlwaysHelpAndASecondAfterTheResultAAsksForANewRace)
{
    gamepads.plugIn(0, "Pad");
    frames(1);  // its first reading

    // Start shows the help and pauses, as F1 does; again, it hides it and the race goes on.
    tap(GLFW_GAMEPAD_BUTTON_START);
    EXPECT_TRUE(showHelp);
    EXPECT_TRUE(race.paused);
    tap(GLFW_GAMEPAD_BUTTON_START);
    EXPECT_FALSE(showHelp);
    EXPECT_FALSE(race.paused);
    // During the race A, B, Y and the D-pad are held inputs: no command.
    for (int button : {GLFW_GAMEPAD_BUTTON_A, GLFW_GAMEPAD_BUTTON_B, GLFW_GAMEPAD_BUTTON_Y,
                       GLFW_GAMEPAD_BUTTON_DPAD_LEFT}) {
        tap(button);
    }
    EXPECT_EQ(commandKeys, (std::vector<int>{GLFW_KEY_F1, GLFW_KEY_F1}));

    // The race decided: Start is still the help card; A asks for a new race (Enter) only
    // when pressed afresh once the result has been shown for a second.
    race.gameOver = true;
    commandKeys.clear();
    tap(GLFW_GAMEPAD_BUTTON_A);
    frames(60);
    tap(GLFW_GAMEPAD_BUTTON_START);
    tap(GLFW_GAMEPAD_BUTTON_A);
    EXPECT_EQ(commandKeys, (std::vector<int>{GLFW_KEY_F1, GLFW_KEY_ENTER}));
    EXPECT_TRUE(showHelp);
}
