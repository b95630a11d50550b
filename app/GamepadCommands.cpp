#include "app/GamepadCommands.h"

#include <iostream>
#include <limits>
#include <string>

#include <GLFW/glfw3.h>

#include "app/Globals.h"
#include "app/KeyCommands.h"
#include "app/RaceState.h"
#include "controls/Gamepad.h"
#include "ui/Hud.h"

namespace frostline {

namespace {

/// Seconds since Back was pressed once; endless while no press waits for its second.
float sinceBackPress = std::numeric_limits<float>::infinity();
/// Seconds the race's result has been shown; 0 while a race runs.
float resultShownFor = 0.0f;

/// Says which gamepad is in use now, on the message line and on standard output.
void announceGamepad()
{
    const controls::Gamepad& gamepad = controls::playerGamepad();
    const std::string message = gamepad.connected() ? "Gamepad: " + gamepad.name() : "Gamepad disconnected";
    ui::showMessage(message);
    std::cout << message << std::endl;
}

/// Back: one press only asks, a second within backAgainTime seconds leaves as Escape does.
void pressBack(const KeyCommandRunner& runCommand)
{
    if (sinceBackPress <= backAgainTime) {
        sinceBackPress = std::numeric_limits<float>::infinity();
        runCommand(GLFW_KEY_ESCAPE);
        return;
    }
    sinceBackPress = 0.0f;
    ui::showMessage("Press Back again to leave");
}

}  // namespace

void joystickCallback(int joystick, int event)
{
    controls::Gamepad& gamepad = controls::playerGamepad();
    if (event == GLFW_CONNECTED && gamepad.plugIn(joystick)) {
        announceGamepad();
    } else if (event == GLFW_DISCONNECTED && gamepad.pullOut(joystick)) {
        announceGamepad();
    }
}

void initGamepad()
{
    sinceBackPress = std::numeric_limits<float>::infinity();
    resultShownFor = 0.0f;
    glfwSetJoystickCallback(joystickCallback);
    controls::Gamepad& gamepad = controls::playerGamepad();
    gamepad.findJoysticks();
    if (gamepad.connected()) {
        announceGamepad();
    }
}

void pollGamepad(const KeyCommandRunner& runCommand)
{
    controls::Gamepad& gamepad = controls::playerGamepad();
    gamepad.poll();
    sinceBackPress += deltaTime;
    const bool raceDecided = raceState && raceState->gameOver;
    resultShownFor = raceDecided ? resultShownFor + deltaTime : 0.0f;
    if (!gamepad.connected()) {
        return;
    }
    if (gamepad.pressed(GLFW_GAMEPAD_BUTTON_START)) {
        runCommand(GLFW_KEY_F1);
    }
    if (raceDecided && resultShownFor >= resultReadTime && gamepad.pressed(GLFW_GAMEPAD_BUTTON_A)) {
        runCommand(GLFW_KEY_ENTER);
    }
    if (gamepad.pressed(GLFW_GAMEPAD_BUTTON_BACK)) {
        pressBack(runCommand);
    }
}

void pollGamepad()
{
    pollGamepad(runKeyCommand);
}

}  // namespace frostline
