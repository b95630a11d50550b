#include "controls/PlayerInputController.h"

#include <algorithm>

#define GLFW_INCLUDE_NONE  // GL itself comes through GLEW where needed
#include <GLFW/glfw3.h>

#include "app/RaceState.h"
#include "controls/Gamepad.h"
#include "controls/KeyInput.h"
#include "physics/ControllerShape.h"
#include "scene/Camera.h"

namespace frostline::controls {

namespace {

/// How hard to steer one way (0 to 1): the arrow key or the D-pad fully, the stick by
/// its deflection that way. The strongest input wins; they never add up.
float steering(bool keyHeld, bool padHeld, float stickTowardSide)
{
    return keyHeld || padHeld ? 1.0f : stickDeflection(stickTowardSide);
}

}  // namespace

PlayerInputController::PlayerInputController(scene::ControllerShape& sled, RaceState& raceState)
    : sled(sled), raceState(raceState)
{
}

bool PlayerInputController::update(GLFWwindow* window, float frameTime)
{
    if (raceState.paused) {
        return true;
    }

    // The keyboard and the gamepad together: either works, and Up, Down and R act once
    // however many of their inputs are held.
    const Gamepad& pad = playerGamepad();
    const bool up = isKeyHeld(window, GLFW_KEY_UP) || pad.held(GLFW_GAMEPAD_BUTTON_A) ||
                    pad.triggerHeld(GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER);
    const bool down = isKeyHeld(window, GLFW_KEY_DOWN) || pad.held(GLFW_GAMEPAD_BUTTON_B) ||
                      pad.triggerHeld(GLFW_GAMEPAD_AXIS_LEFT_TRIGGER);
    const float stickX = pad.axis(GLFW_GAMEPAD_AXIS_LEFT_X);
    const float left =
        steering(isKeyHeld(window, GLFW_KEY_LEFT), pad.held(GLFW_GAMEPAD_BUTTON_DPAD_LEFT), -stickX);
    const float right =
        steering(isKeyHeld(window, GLFW_KEY_RIGHT), pad.held(GLFW_GAMEPAD_BUTTON_DPAD_RIGHT), stickX);
    const bool back = isKeyHeld(window, GLFW_KEY_R) || pad.held(GLFW_GAMEPAD_BUTTON_Y);

    // Up: speed up on the ground, never past maxSpeed by the key. Faster than that
    // (downhill) the key adds nothing, and it never slows the sled down.
    if (up && sled.grounded && sled.speed < sled.maxSpeed) {
        sled.speed = std::min(sled.speed + sled.acceleration * frameTime, sled.maxSpeed);
    }
    // Down: brake (which itself needs the ground).
    if (down) {
        sled.brake(frameTime);
    }
    // Left and right: lean that side and turn sled and camera together, at the key's
    // rates scaled by how hard the player steers.
    if (left > 0.0f && sled.grounded) {
        sled.leftLean = std::min(sled.leftLean + sled.leanRate * frameTime * left, sled.maxLean);
        const float angle = sled.turnRate * frameTime * left;
        sled.rotateY(angle);
        sled.chaseCamera->rotateY(angle);
    }
    if (right > 0.0f && sled.grounded) {
        sled.rightLean = std::min(sled.rightLean + sled.leanRate * frameTime * right, sled.maxLean);
        const float angle = -(sled.turnRate * frameTime * right);
        sled.chaseCamera->rotateY(angle);
        sled.rotateY(angle);
    }
    // R: back to the last gate passed, every frame while held.
    if (back) {
        sled.respawn();
    }
    return true;
}

}  // namespace frostline::controls
