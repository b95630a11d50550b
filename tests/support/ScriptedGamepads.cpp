#include "tests/support/ScriptedGamepads.h"

#include "app/GamepadCommands.h"
#include "controls/Gamepad.h"

namespace frostline::test {

ScriptedGamepads::ScriptedGamepads()
{
    controls::setGamepadSource(this);
    controls::playerGamepad() = controls::Gamepad();
}

ScriptedGamepads::~ScriptedGamepads()
{
    controls::playerGamepad() = controls::Gamepad();
    controls::setGamepadSource(nullptr);
}

void ScriptedGamepads::plugIn(int joystick, const std::string& name, bool gamepad)
{
    devices[joystick] = Device{name, gamepad, controls::restingGamepadState()};
    joystickCallback(joystick, GLFW_CONNECTED);
}

void ScriptedGamepads::pullOut(int joystick)
{
    devices.erase(joystick);
    joystickCallback(joystick, GLFW_DISCONNECTED);
}

GLFWgamepadstate& ScriptedGamepads::state(int joystick)
{
    return devices.at(joystick).state;
}

void ScriptedGamepads::rest()
{
    state(0) = controls::restingGamepadState();
}

bool ScriptedGamepads::isGamepad(int joystick)
{
    const auto device = devices.find(joystick);
    return device != devices.end() && device->second.gamepad;
}

std::string ScriptedGamepads::name(int joystick)
{
    const auto device = devices.find(joystick);
    return device != devices.end() ? device->second.name : "";
}

bool ScriptedGamepads::readState(int joystick, GLFWgamepadstate& state)
{
    const auto device = devices.find(joystick);
    if (device == devices.end() || !device->second.gamepad) {
        return false;
    }
    state = device->second.state;
    return true;
}

}  // namespace frostline::test
