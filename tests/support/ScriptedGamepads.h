// Joysticks for tests: plugged in and out as GLFW reports it (through the game's
// joystick callback), their sticks, triggers and buttons set frame by frame.
// Installed as the gamepad source while it lives; the player's gamepad is
// emptied on both ends, so every test starts and ends with none.
#pragma once

#include <map>
#include <string>

#include "controls/GamepadInput.h"

namespace frostline::test {

class ScriptedGamepads : public controls::GamepadSource {
public:
    ScriptedGamepads();
    /// Forgets the player's gamepad (silently) and gives the gamepads back to GLFW.
    ~ScriptedGamepads() override;
    ScriptedGamepads(const ScriptedGamepads&) = delete;
    ScriptedGamepads& operator=(const ScriptedGamepads&) = delete;

    /// Plugs a device into the slot and reports it; gamepad false: a joystick without mapping.
    void plugIn(int joystick, const std::string& name, bool gamepad = true);
    /// Pulls the device out of the slot and reports it.
    void pullOut(int joystick);

    /// The device's buttons and axes, as the next reading will see them (at rest when plugged in).
    GLFWgamepadstate& state(int joystick);
    /// Holds (or lets go of) a button of the device in slot 0.
    void hold(int button, bool down = true) { state(0).buttons[button] = down ? GLFW_PRESS : GLFW_RELEASE; }
    /// Sets an axis of the device in slot 0.
    void setAxis(int axis, float value) { state(0).axes[axis] = value; }
    /// Lets go of everything on the device in slot 0.
    void rest();

    bool isPresent(int joystick) override { return devices.count(joystick) > 0; }
    bool isGamepad(int joystick) override;
    std::string name(int joystick) override;
    bool readState(int joystick, GLFWgamepadstate& state) override;

private:
    struct Device {
        std::string name;
        bool gamepad = true;
        GLFWgamepadstate state{};
    };
    std::map<int, Device> devices;
};

}  // namespace frostline::test
