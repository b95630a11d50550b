#include "controls/GamepadInput.h"

namespace frostline::controls {

namespace {

/// GLFW's joysticks; it knows the common gamepads from its built-in mapping database.
class GlfwGamepads : public GamepadSource {
public:
    bool isPresent(int joystick) override { return glfwJoystickPresent(joystick) == GLFW_TRUE; }
    bool isGamepad(int joystick) override { return glfwJoystickIsGamepad(joystick) == GLFW_TRUE; }
    std::string name(int joystick) override
    {
        const char* name = isGamepad(joystick) ? glfwGetGamepadName(joystick) : glfwGetJoystickName(joystick);
        return name ? name : "";
    }
    bool readState(int joystick, GLFWgamepadstate& state) override
    {
        return glfwGetGamepadState(joystick, &state) == GLFW_TRUE;
    }
};

GlfwGamepads glfwGamepads;
GamepadSource* installedSource = &glfwGamepads;

}  // namespace

GamepadSource& gamepadSource()
{
    return *installedSource;
}

void setGamepadSource(GamepadSource* source)
{
    installedSource = source ? source : &glfwGamepads;
}

}  // namespace frostline::controls
