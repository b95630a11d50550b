// The one place where held keys are read. By default it asks GLFW; tests and
// tools install their own reader so that scripted keys drive the same code
// as a player's keyboard.
#pragma once

#include <functional>

struct GLFWwindow;

namespace frostline::controls {

/// Answers whether a GLFW key code is held down in a window.
using KeyReader = std::function<bool(GLFWwindow* window, int key)>;

/// True while the key (GLFW key code) is held, as the installed reader says.
bool isKeyHeld(GLFWwindow* window, int key);

/// Installs a reader for all later key queries; an empty reader restores glfwGetKey.
void setKeyReader(KeyReader reader);

}  // namespace frostline::controls
