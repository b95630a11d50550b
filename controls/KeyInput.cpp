#include "controls/KeyInput.h"

#include <utility>

#define GLFW_INCLUDE_NONE  // GL itself comes through GLEW where needed
#include <GLFW/glfw3.h>

namespace frostline::controls {

namespace {

bool readGlfwKey(GLFWwindow* window, int key)
{
    return glfwGetKey(window, key) == GLFW_PRESS;
}

KeyReader& installedReader()
{
    static KeyReader reader = readGlfwKey;
    return reader;
}

}  // namespace

bool isKeyHeld(GLFWwindow* window, int key)
{
    return installedReader()(window, key);
}

void setKeyReader(KeyReader reader)
{
    installedReader() = reader ? std::move(reader) : KeyReader(readGlfwKey);
}

}  // namespace frostline::controls
