#include "app/Application.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include "app/FatalError.h"
#include "app/GamepadCommands.h"
#include "app/Globals.h"
#include "app/KeyCommands.h"
#include "app/MainLoop.h"
#include "app/Options.h"
#include "app/RaceState.h"
#include "controls/Controller.h"
#include "controls/PlayerInputController.h"
#include "physics/ControllerShape.h"
#include "render/World.h"
#include "scene/Camera.h"
#include "scene/Checkpoint.h"
#include "sound/Sound.h"
#include "ui/Hud.h"

namespace frostline {

namespace {
bool glfwStarted = false;
}

void readOptions()
{
    const WindowOptions options = readWindowOptions("options.ini");
    windowWidth = options.width;
    windowHeight = options.height;
}

void initWindow()
{
    if (!glfwInit()) {
        fatalError("GLFW failed :-(");
    }
    glfwStarted = true;
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_REFRESH_RATE, 60);

    window = glfwCreateWindow(windowWidth, windowHeight, "Frostline", glfwGetPrimaryMonitor(), nullptr);
    if (!window) {
        fatalError("No window...");
    }
    glfwMakeContextCurrent(window);
    // A monitor without the requested mode gets the closest one it has: draw to the
    // size we got, or the picture fills only part of the screen (or is cut off).
    glfwGetFramebufferSize(window, &windowWidth, &windowHeight);
    // A real display shows no tearing and the loop does not spin past the refresh rate.
    glfwSwapInterval(1);

    setStartGlState();

    glfwSetKeyCallback(window, keyCallback);
    initGamepad();
}

void setStartGlState()
{
    glClearColor(0.49f, 0.73f, 1.0f, 0.0f);
    glViewport(0, 0, windowWidth, windowHeight);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void initGlew()
{
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) {
        shutdown();
        fatalError("GLEW ERROR");
    }
    glGetError();  // GLEW's core-profile probe leaves GL_INVALID_ENUM behind
}

void showLoadingScreen()
{
    ui::showPassingMessage("performing snowstorm...");
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    ui::drawMessage();
    glfwSwapBuffers(window);
}

void initSound()
{
    sound = new Sound("sounds");
}

void initScene()
{
    freeCameraMode = false;
    world = new World();
    raceState = new RaceState();
    world->attachRace(*raceState);
    activeController = new controls::PlayerInputController(*world->player, *raceState);
    world->player->chaseCamera->restoreState();
}

void releaseScene()
{
    delete activeController;
    activeController = nullptr;
    delete world;
    world = nullptr;
    delete raceState;
    raceState = nullptr;
}

namespace {

/// What a fresh process starts a race with: gate numbers from 1, the whole countdown,
/// the sled's normal blur.
void resetRaceCounters()
{
    scene::nextCheckpointId = 1;
    countdownTime = 3.0f;
    countdownDone = false;
    raceStarted = false;
    blurReferenceRate = 60.0f;
}

}  // namespace

bool restartRace()
{
    if (!raceState || !raceState->gameOver) {
        return false;
    }
    releaseScene();
    resetRaceCounters();
    // The new race starts with the sled's view (the pointer given back if the free
    // camera held it), without the help card, unpaused.
    showHelp = false;
    if (window) {
        glfwSetInputMode(window, GLFW_CURSOR, GLFW_CURSOR_NORMAL);
        showLoadingScreen();
    }
    initScene();
    raceState->paused = false;
    // Building the level is not race time.
    lastFrameTime = glfwGetTime();
    return true;
}

void shutdown()
{
    // Nothing is heard of the teardown; OpenAL is gone before GLFW.
    delete sound;
    sound = nullptr;
    ui::shutdownUserInterface();
    releaseScene();
    if (glfwStarted) {
        glfwTerminate();
        glfwStarted = false;
        window = nullptr;
    }
}

int runGame()
{
    readOptions();
    initWindow();
    initGlew();
    ui::initUserInterface();
    showLoadingScreen();
    initSound();
    initScene();
    mainLoop();
    shutdown();
    return 0;
}

}  // namespace frostline
