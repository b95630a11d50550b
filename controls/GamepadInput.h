// The one place where gamepads are read. By default it asks GLFW (its gamepad
// API with the standard mapping); tests and tools install their own source so
// that scripted sticks and buttons drive the same code as a player's gamepad.
#pragma once

#include <string>

#define GLFW_INCLUDE_NONE  // GL itself comes through GLEW where needed
#include <GLFW/glfw3.h>

namespace frostline::controls {

/// The joysticks plugged in (slots 0 to GLFW_JOYSTICK_LAST) and their gamepad state.
class GamepadSource {
public:
    virtual ~GamepadSource() = default;
    /// True while a device is plugged into the slot.
    virtual bool isPresent(int joystick) = 0;
    /// True when the device has a gamepad mapping (buttons and axes in the standard layout).
    virtual bool isGamepad(int joystick) = 0;
    /// The device's name (the mapping's name for a gamepad); empty when it has none.
    virtual std::string name(int joystick) = 0;
    /// Reads buttons and axes (sticks -1 to 1, triggers -1 released to 1 pressed); false when unavailable.
    virtual bool readState(int joystick, GLFWgamepadstate& state) = 0;
};

/// The installed source.
GamepadSource& gamepadSource();

/// Installs a source for all later gamepad queries (not owned); null restores GLFW's.
void setGamepadSource(GamepadSource* source);

}  // namespace frostline::controls
