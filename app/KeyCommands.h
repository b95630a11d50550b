// One-shot keyboard commands and the rendering toggles. Held keys (steering, the
// free camera's flight) are read by the controllers instead.
#pragma once

struct GLFWwindow;

namespace frostline {

/// GLFW key callback: acts on presses only; repeats, releases and unknown keys are ignored.
///   Escape quit; F free camera in / out; F1 help and pause; F2 frame-time display;
///   F3 wireframe; F4 texture sampling quality (printed); F5 mipmapping quality;
///   F6 motion blur; F8 view-frustum culling; F9 alpha blending; M sound off / on.
void keyCallback(GLFWwindow* window, int key, int scancode, int action, int mods);

/// The command of one key press (GLFW key code), as keyCallback runs it; the gamepad's
/// buttons run theirs through it too. Keys without a command do nothing.
void runKeyCommand(int key);

/// The F command: from the sled's controller to the free camera, with the mouse
/// pointer captured, or back to the sled with the camera where it was and the
/// pointer given back. The race waits while the free camera flies or the help
/// card (F1) is up, and only then.
void toggleFreeCamera();

}  // namespace frostline
