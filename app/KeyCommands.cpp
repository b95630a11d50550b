#include "app/KeyCommands.h"

#include <iostream>
#include <string>

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include "app/Application.h"
#include "app/Globals.h"
#include "app/RaceState.h"
#include "controls/FreeModeController.h"
#include "controls/PlayerInputController.h"
#include "physics/ControllerShape.h"
#include "render/Texture.h"
#include "render/World.h"
#include "scene/Camera.h"
#include "ui/Hud.h"

namespace frostline {

namespace {

/// Flips a flag and says so on the message line: "<name>: 1" or "<name>: 0".
void toggleWithMessage(bool& flag, const std::string& name)
{
    flag = !flag;
    ui::showMessage(name + ": " + (flag ? "1" : "0"));
}

/// The race waits exactly while the help card is up or the free camera flies (F1 and F
/// each switch only their own flag); resuming does not count the time spent waiting.
void updatePause()
{
    if (!raceState) {
        return;
    }
    const bool wasPaused = raceState->paused;
    raceState->paused = showHelp || freeCameraMode;
    if (wasPaused && !raceState->paused) {
        lastFrameTime = glfwGetTime();
    }
}

/// F1: help on or off, and the race waits with it.
void toggleHelp()
{
    showHelp = !showHelp;
    updatePause();
}

void toggleWireframe()
{
    toggleWithMessage(wireframe, "toggle Wireframe");
    glPolygonMode(GL_FRONT_AND_BACK, wireframe ? GL_LINE : GL_FILL);
}

void toggleAlphaBlending()
{
    alphaBlending = !alphaBlending;
    if (alphaBlending) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    } else {
        glDisable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE);
    }
}

}  // namespace

void toggleFreeCamera()
{
    // Both controllers need the World's camera and sled: nothing to switch before the level exists.
    if (!world || !world->camera || !world->player || !world->player->chaseCamera || !raceState) {
        return;
    }
    // 1. The current controller goes.
    delete activeController;
    activeController = nullptr;

    if (!freeCameraMode) {
        // 2. Entering: the pointer is captured, so that turning does not stop at the
        //    screen's edge; the free camera starts from the cursor where it is now, so
        //    the view does not jump; its construction saves the camera for the way back.
        glfwSetInputMode(window, GLFW_CURSOR, GLFW_CURSOR_DISABLED);
        double cursorX = 0.0;
        double cursorY = 0.0;
        glfwGetCursorPos(window, &cursorX, &cursorY);
        activeController = new controls::FreeModeController(cursorX, cursorY, *world->camera);
        freeCameraMode = true;
    } else {
        // 3. Leaving: the pointer is given back, the sled steers again and the camera
        //    is back where it was.
        glfwSetInputMode(window, GLFW_CURSOR, GLFW_CURSOR_NORMAL);
        activeController = new controls::PlayerInputController(*world->player, *raceState);
        world->player->chaseCamera->restoreState();
        freeCameraMode = false;
    }
    updatePause();
}

void keyCallback(GLFWwindow* /*window*/, int key, int /*scancode*/, int action, int /*mods*/)
{
    if (action == GLFW_PRESS) {
        runKeyCommand(key);
    }
}

void runKeyCommand(int key)
{
    switch (key) {
    case GLFW_KEY_ESCAPE:
        running = false;
        break;
    case GLFW_KEY_ENTER:
    case GLFW_KEY_KP_ENTER:
        restartRace();  // only once the race is decided
        break;
    case GLFW_KEY_F:
        toggleFreeCamera();
        break;
    case GLFW_KEY_F1:
        toggleHelp();
        break;
    case GLFW_KEY_F2:
        toggleWithMessage(showFrameTime, "toggle FrameTime");
        break;
    case GLFW_KEY_F3:
        toggleWireframe();
        break;
    case GLFW_KEY_F4:
        cycleSamplingQuality();
        std::cout << "Texture Sampling Quality: " << filterModeNames.at(samplingQuality) << std::endl;
        break;
    case GLFW_KEY_F5:
        cycleMipmapMode();
        ui::showMessage("Mipmapping Quality: " + filterModeNames.at(mipmapMode));
        break;
    case GLFW_KEY_F6:
        toggleWithMessage(motionBlur, "toggle Motion Blur");
        break;
    case GLFW_KEY_F8:
        toggleWithMessage(frustumCulling, "toggle View Frustum Culling");
        break;
    case GLFW_KEY_F9:
        toggleAlphaBlending();
        break;
    case GLFW_KEY_G:
        toggleWithMessage(ghostVisible, "toggle Ghost");
        std::cout << "toggle Ghost: " << (ghostVisible ? 1 : 0) << std::endl;
        break;
    case GLFW_KEY_M:
        toggleWithMessage(soundOn, "toggle Sound");  // the sound reads it every frame
        break;
    default:
        break;  // F7 and every other key: no command
    }
}

}  // namespace frostline
