// One-shot keyboard commands and the rendering toggles.
#pragma once

struct GLFWwindow;

namespace frostline {

/// GLFW key callback: acts on presses only; repeats, releases and unknown keys are ignored.
void keyCallback(GLFWwindow* window, int key, int scancode, int action, int mods);

}  // namespace frostline
