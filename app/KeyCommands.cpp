#include "app/KeyCommands.h"

#include <GLFW/glfw3.h>

#include "app/Globals.h"

namespace frostline {

void keyCallback(GLFWwindow* /*window*/, int key, int /*scancode*/, int action, int /*mods*/)
{
    if (action != GLFW_PRESS) {
        return;
    }
    switch (key) {
    case GLFW_KEY_ESCAPE:
        running = false;
        break;
    default:
        break;
    }
}

}  // namespace frostline
