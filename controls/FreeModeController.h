// The free-flying debug camera: W, A, S, D, left Control and left Alt move it,
// the mouse turns it (one degree per pixel).
#pragma once

#include "controls/Controller.h"

namespace frostline::scene {
class Camera;
}

namespace frostline::controls {

class FreeModeController : public Controller {
public:
    /// Starts from the cursor position (screen pixels) read just before; saves the camera's state.
    FreeModeController(double cursorX, double cursorY, scene::Camera& camera);

    /// Moves the camera for each held key and turns it by the cursor's motion since the last update.
    bool update(GLFWwindow* window, float frameTime) override;

    /// Distance each held movement key moves the camera (world units / s).
    static constexpr float moveSpeed = 30.0f;

private:
    scene::Camera& camera;
    double previousCursorX;  ///< cursor x at the previous update (screen pixels)
    double previousCursorY;  ///< cursor y at the previous update (screen pixels)
};

}  // namespace frostline::controls
