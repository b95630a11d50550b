#include "app/Application.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include "app/FatalError.h"
#include "app/FileReading.h"
#include "app/GamepadCommands.h"
#include "app/GhostRace.h"
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

/// The sky's colour (RGBA), which the window starts with and the loading screen shows.
constexpr float startSky[4] = {0.49f, 0.73f, 1.0f, 0.0f};

}  // namespace

void readOptions()
{
    const WindowOptions options = readWindowOptions("options.ini");
    windowWidth = options.width;
    windowHeight = options.height;
    const GraphicsOptions graphics = readGraphicsOptions("options.ini");
    renderScale = RenderScaleControl{};
    renderScale.adaptive = graphics.renderScalePercent == 0;
    if (!renderScale.adaptive) {
        renderScale.state.scale = static_cast<float>(graphics.renderScalePercent) / 100.0f;
    }
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
    // The render scale's frame budget is the display's refresh period.
    const GLFWvidmode* mode = glfwGetVideoMode(glfwGetPrimaryMonitor());
    if (mode && mode->refreshRate > 0) {
        renderScale.settings.budgetMs = 1000.0f / static_cast<float>(mode->refreshRate);
    }

    setStartGlState();
    frameCost.start();

    glfwSetKeyCallback(window, keyCallback);
    initGamepad();
}

void setStartGlState()
{
    glClearColor(startSky[0], startSky[1], startSky[2], startSky[3]);
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

void drawLoadingScreen()
{
    // After a frame of the race the clear colour is the scene target's black, which
    // would leave the black loading line on black.
    glClearColor(startSky[0], startSky[1], startSky[2], startSky[3]);
    ui::showPassingMessage("performing snowstorm...");
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    ui::drawMessage();
}

void showLoadingScreen()
{
    drawLoadingScreen();
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
    startGhostRace();
    // The first frames of a new level compile their shaders: the render scale does not
    // judge by them.
    renderScaleWarmUpFrames = 2;
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

void resetRaceCounters()
{
    const RaceStart start;
    countdownTime = start.countdownTime;
    countdownDone = start.countdownDone;
    raceStarted = start.raceStarted;
    scene::nextCheckpointId = start.firstCheckpointId;
    blurReferenceRate = start.blurReferenceRate;
}

bool restartRace()
{
    if (!raceState || !raceState->gameOver) {
        return false;
    }
    if (sound) {
        sound->startRace();  // the new race starts from silence, the loading screen too
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
    frameCost.release();
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
    loadGuideGhost();
    // A race built again is built from what the first one read: a file changed or
    // removed while the game runs (a package upgrade) cannot end it.
    keepFilesRead(true);
    initScene();
    mainLoop();
    shutdown();
    return 0;
}

}  // namespace frostline
