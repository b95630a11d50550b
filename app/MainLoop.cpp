#include "app/MainLoop.h"

#include <string>

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include "app/GamepadCommands.h"
#include "app/GhostRace.h"
#include "app/Globals.h"
#include "app/RaceEvents.h"
#include "app/RaceState.h"
#include "controls/Controller.h"
#include "physics/ControllerShape.h"
#include "physics/PhysicsWorld.h"
#include "physics/Scene.h"
#include "render/World.h"
#include "scene/Camera.h"
#include "sound/Sound.h"
#include "sound/SoundMix.h"
#include "ui/Hud.h"

namespace frostline {

bool updateCountdown()
{
    if (countdownDone) {
        return true;
    }
    // The countdown waits while the help card is up, as the race it counts down to does.
    if (showHelp) {
        return false;
    }
    const int shownBefore = static_cast<int>(countdownTime) + 1;
    countdownTime -= deltaTime;
    int shown = 0;
    if (countdownTime <= 0.0f) {
        countdownTime = 0.0f;
        countdownDone = true;
    } else {
        shown = static_cast<int>(countdownTime) + 1;
    }
    // Each new number (the first frame's 3 included) is an event, for the beeps, and goes on
    // the message line unless a newer message holds it.
    if (shown != shownBefore) {
        if (ui::messageLineFree()) {
            ui::showPassingMessage(std::to_string(shown));
        }
        if (raceState) {
            RaceEvent tick{RaceEventKind::CountdownTick};
            tick.count = shown;
            raceState->events.push_back(tick);
        }
    }
    return false;
}

void simulateFrame()
{
    // The gamepad's buttons act as their keys do, before anything else of the frame.
    pollGamepad();

    raceStarted = updateCountdown();

    // Steering and the free camera only after the countdown.
    if (raceStarted) {
        activeController->update(window, deltaTime);
    }

    const bool raceRunning = raceStarted && !raceState->gameOver && !raceState->paused;
    if (!raceState->paused) {
        world->update();
        // The race clock runs once the countdown is over and until the race ends.
        if (raceStarted && !raceState->gameOver) {
            raceState->raceTime += deltaTime;
            raceState->timeLeft -= deltaTime;
            if (raceState->timeLeft <= 0.0f) {
                raceState->timeLeft = 0.0f;
                raceState->gameOver = true;
                raceState->lost = true;
                raceState->missedGate = raceState->nextCheckpoint;
                raceState->events.push_back({RaceEventKind::TimeUp});
            }
        }
    }

    // The ghost rider records this race's run and rides the one it races against.
    updateGhostRace(raceRunning);

    // The camera and the physics step also run while paused (the free camera flies on);
    // behind the help card the chase camera holds its place behind the waiting sled, even
    // when the race waited from its very first frame.
    if (raceState->paused && !freeCameraMode && world->player) {
        world->player->updateChaseCamera();
    }
    world->camera->update(deltaTime);
    Scene* physicsScene = PhysicsWorld::instance().scene;
    physicsScene->simulate(deltaTime);
    physicsScene->fetchResults(true);

    handOnRaceEvents();
}

void handOnRaceEvents()
{
    ui::announceRaceEvents(*raceState);
    if (sound && world && world->player) {
        const Ride ride = rideOf(*world->player, *world->camera, *raceState, soundOn);
        sound->update(raceState->events, ride, deltaTime);
    }
    raceState->events.clear();
}

void adaptRenderScale()
{
    // The cost of the last frame drawn, where it is known.
    const float frameMs = frameCost.latestMs(deltaTime * 1000.0f);
    if (renderScaleWarmUpFrames > 0) {
        --renderScaleWarmUpFrames;
    } else if (renderScale.adaptive && frameMs > 0.0f) {
        renderScale.state = stepRenderScale(renderScale.settings, renderScale.state, frameMs, deltaTime);
    }
    if (world) {
        world->renderScale = renderScale.state.scale;
    }
}

void drawFrame()
{
    // The blur composite replaces a window of the expected size pixel for pixel; a
    // window of another size (or no composite) is cleared, so no old frame shows.
    int width = 0;
    int height = 0;
    glfwGetFramebufferSize(window, &width, &height);
    if (!world->compositeCoversWindow() || width != windowWidth || height != windowHeight) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    frameCost.beginFrame();
    world->renderFrame();
    ui::drawHud();
    frameCost.endFrame();
}

void runFrame()
{
    // Frame time: variable step, no clamp, no smoothing.
    const double now = glfwGetTime();
    deltaTime = static_cast<float>(now - lastFrameTime);
    lastFrameTime = now;

    // Key commands run inside event polling and take effect this frame.
    glfwPollEvents();

    simulateFrame();
    adaptRenderScale();
    drawFrame();
    glfwSwapBuffers(window);
}

void mainLoop()
{
    // The loading time is not counted in the first frame.
    lastFrameTime = glfwGetTime();
    raceState->paused = false;
    while (running) {
        if (glfwWindowShouldClose(window)) {
            break;
        }
        runFrame();
    }
}

}  // namespace frostline
