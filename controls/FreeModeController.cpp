#include "controls/FreeModeController.h"

#include <iostream>

#define GLFW_INCLUDE_NONE  // GL itself comes through GLEW where needed
#include <GLFW/glfw3.h>

#include "controls/KeyInput.h"
#include "scene/Camera.h"

namespace frostline::controls {

FreeModeController::FreeModeController(double cursorX, double cursorY, scene::Camera& camera)
    : camera(camera), previousCursorX(cursorX), previousCursorY(cursorY)
{
    std::cout << "Initializing FreeModeController" << std::endl;
    // Leaving free mode restores this view.
    camera.saveState();
}

bool FreeModeController::update(GLFWwindow* window, float frameTime)
{
    using scene::CameraMove;
    const float distance = frameTime * moveSpeed;

    // Held movement keys, each acting on its own.
    struct KeyMove {
        int key;
        CameraMove direction;
    };
    static constexpr KeyMove keyMoves[] = {
        {GLFW_KEY_W, CameraMove::Forward},  {GLFW_KEY_S, CameraMove::Backward},
        {GLFW_KEY_A, CameraMove::Left},     {GLFW_KEY_D, CameraMove::Right},
        {GLFW_KEY_LEFT_ALT, CameraMove::Down}, {GLFW_KEY_LEFT_CONTROL, CameraMove::Up},
    };
    for (const KeyMove& keyMove : keyMoves) {
        if (isKeyHeld(window, keyMove.key)) {
            camera.move(keyMove.direction, distance);
        }
    }

    // Mouse look: one degree per pixel of cursor motion.
    double x = 0.0;
    double y = 0.0;
    glfwGetCursorPos(window, &x, &y);
    camera.rotateY(static_cast<float>(previousCursorX - x));
    camera.rotateX(static_cast<float>(previousCursorY - y));
    previousCursorX = x;
    previousCursorY = y;
    return true;
}

}  // namespace frostline::controls
