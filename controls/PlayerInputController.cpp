#include "controls/PlayerInputController.h"

#include <algorithm>

#define GLFW_INCLUDE_NONE  // GL itself comes through GLEW where needed
#include <GLFW/glfw3.h>

#include "app/RaceState.h"
#include "controls/KeyInput.h"
#include "physics/ControllerShape.h"
#include "scene/Camera.h"

namespace frostline::controls {

PlayerInputController::PlayerInputController(scene::ControllerShape& sled, RaceState& raceState)
    : sled(sled), raceState(raceState)
{
}

bool PlayerInputController::update(GLFWwindow* window, float frameTime)
{
    if (raceState.paused) {
        return true;
    }

    // Up: speed up on the ground, never past maxSpeed by the key. Faster than that
    // (downhill) the key adds nothing, and it never slows the sled down.
    if (isKeyHeld(window, GLFW_KEY_UP) && sled.grounded && sled.speed < sled.maxSpeed) {
        sled.speed = std::min(sled.speed + sled.acceleration * frameTime, sled.maxSpeed);
    }
    // Down: brake (which itself needs the ground).
    if (isKeyHeld(window, GLFW_KEY_DOWN)) {
        sled.brake(frameTime);
    }
    // Left and right: lean that side and turn sled and camera together.
    if (isKeyHeld(window, GLFW_KEY_LEFT) && sled.grounded) {
        sled.leftLean = std::min(sled.leftLean + sled.leanRate * frameTime, sled.maxLean);
        const float angle = sled.turnRate * frameTime;
        sled.rotateY(angle);
        sled.chaseCamera->rotateY(angle);
    }
    if (isKeyHeld(window, GLFW_KEY_RIGHT) && sled.grounded) {
        sled.rightLean = std::min(sled.rightLean + sled.leanRate * frameTime, sled.maxLean);
        const float angle = -(sled.turnRate * frameTime);
        sled.chaseCamera->rotateY(angle);
        sled.rotateY(angle);
    }
    // R: back to the last gate passed, every frame while held.
    if (isKeyHeld(window, GLFW_KEY_R)) {
        sled.respawn();
    }
    return true;
}

}  // namespace frostline::controls
