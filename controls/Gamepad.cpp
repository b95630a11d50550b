#include "controls/Gamepad.h"

#include <algorithm>
#include <iostream>

#include "controls/GamepadInput.h"

namespace frostline::controls {

float stickDeflection(float axisValue)
{
    if (!(axisValue > stickDeadZone)) {
        return 0.0f;  // inside the dead zone, toward the other side, or not a number
    }
    return std::min((axisValue - stickDeadZone) / (1.0f - stickDeadZone), 1.0f);
}

GLFWgamepadstate restingGamepadState()
{
    GLFWgamepadstate resting{};
    resting.axes[GLFW_GAMEPAD_AXIS_LEFT_TRIGGER] = -1.0f;
    resting.axes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER] = -1.0f;
    return resting;
}

bool Gamepad::plugIn(int joystick)
{
    GamepadSource& source = gamepadSource();
    if (!source.isGamepad(joystick)) {
        std::cout << "Joystick without a gamepad mapping ignored: " << source.name(joystick) << std::endl;
        return false;
    }
    if (connected()) {
        return false;  // the first gamepad stays in use
    }
    use(joystick);
    return true;
}

bool Gamepad::pullOut(int joystick)
{
    if (joystick != this->joystick) {
        return false;
    }
    this->joystick = noJoystick;
    deviceName.clear();
    state = previousState = restingGamepadState();
    const int next = findOtherGamepad(joystick);
    if (next != noJoystick) {
        use(next);
    }
    return true;
}

void Gamepad::findJoysticks()
{
    GamepadSource& source = gamepadSource();
    for (int slot = GLFW_JOYSTICK_1; slot <= GLFW_JOYSTICK_LAST; ++slot) {
        if (source.isPresent(slot) && slot != joystick) {
            plugIn(slot);
        }
    }
}

void Gamepad::poll()
{
    if (!connected()) {
        return;  // no gamepad: stays at rest, nothing to read
    }
    const int polled = joystick;
    GLFWgamepadstate reading = restingGamepadState();
    if (!gamepadSource().readState(polled, reading)) {
        reading = restingGamepadState();
    }
    // Reading can find the device gone: GLFW then reports the disconnection from
    // inside the read, and pullOut has already put everything in order.
    if (joystick != polled) {
        return;
    }
    // Buttons already held when a gamepad is taken into use are not presses.
    previousState = firstReading ? reading : state;
    state = reading;
    firstReading = false;
}

void Gamepad::use(int joystick)
{
    this->joystick = joystick;
    deviceName = gamepadSource().name(joystick);
    if (deviceName.empty()) {
        deviceName = "joystick " + std::to_string(joystick + 1);
    }
    state = previousState = restingGamepadState();
    firstReading = true;
}

int Gamepad::findOtherGamepad(int except) const
{
    GamepadSource& source = gamepadSource();
    for (int slot = GLFW_JOYSTICK_1; slot <= GLFW_JOYSTICK_LAST; ++slot) {
        if (slot != except && source.isPresent(slot) && source.isGamepad(slot)) {
            return slot;
        }
    }
    return noJoystick;
}

Gamepad& playerGamepad()
{
    static Gamepad gamepad;
    return gamepad;
}

}  // namespace frostline::controls
