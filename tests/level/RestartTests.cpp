// Another go: once a race is decided, Enter builds the race again in the same
// process, as the start-up does, from the files as the start-up read them, and
// the new race starts clean.
#include <gtest/gtest.h>

#include <GL/glew.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <vector>

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include "app/Application.h"
#include "app/FileReading.h"
#include "app/Globals.h"
#include "app/KeyCommands.h"
#include "app/MainLoop.h"
#include "app/RaceState.h"
#include "controls/KeyInput.h"
#include "controls/PlayerInputController.h"
#include "physics/ControllerShape.h"
#include "physics/PhysicsWorld.h"
#include "physics/Scene.h"
#include "render/ParticleSystem.h"
#include "render/Texture.h"
#include "render/World.h"
#include "scene/Checkpoint.h"
#include "scene/Collectable.h"
#include "sound/Sound.h"
#include "tests/support/GlTestContext.h"
#include "tests/support/ScriptedGamepads.h"
#include "tests/support/TestFiles.h"
#include "ui/Hud.h"

using namespace frostline;

namespace {

constexpr float frameTime = 1.0f / 60.0f;

/// The game's own start-up and frames in the test window.
class RestartTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(test::ensureGlContext(), nullptr);
        test::startLikeTheGame();
        startGame();
        controls::setKeyReader([this](GLFWwindow*, int key) { return key == heldKey; });
    }

    void TearDown() override
    {
        controls::setKeyReader({});
        releaseScene();
        ui::shutdownUserInterface();
        keepFilesRead(false);
    }

    /// The start-up of runGame after the window: the HUD, then the level, each file read once.
    void startGame()
    {
        ui::initUserInterface();
        resetRaceCounters();
        keepFilesRead(true);
        initScene();
        raceState->paused = false;
    }

    /// frames of the main loop's simulation, holding key (0 for none).
    void ride(int frames, int key = 0)
    {
        heldKey = key;
        for (int i = 0; i < frames; ++i) {
            deltaTime = frameTime;
            simulateFrame();
        }
        heldKey = 0;
    }

    void press(int key) { keyCallback(window, key, 0, GLFW_PRESS, 0); }

    /// The race is lost, as when the clock runs out.
    void loseTheRace()
    {
        raceState->timeLeft = 0.0f;
        raceState->gameOver = raceState->lost = true;
    }

    /// Pick-ups still to be had, and gates whose body is in the scene.
    int pickUpsLeft() const
    {
        int left = 0;
        for (scene::SceneObject* object : world->objects) {
            auto* collectable = dynamic_cast<scene::Collectable*>(object);
            left += collectable && !collectable->hidden && collectable->getActor() ? 1 : 0;
        }
        return left;
    }
    std::vector<int> touchableGates() const
    {
        std::vector<int> ids;
        for (scene::SceneObject* object : world->objects) {
            if (auto* gate = dynamic_cast<scene::Checkpoint*>(object); gate && gate->getActor()) {
                ids.push_back(gate->id);
            }
        }
        std::sort(ids.begin(), ids.end());
        return ids;
    }

    int heldKey = 0;
};

}  // namespace

TEST_F(RestartTest, EnterAfterTheRaceStartsACleanSecondRace)
{
    // A race still running: Enter does nothing.
    const std::size_t actorsAtStart = PhysicsWorld::instance().scene->getActorCount();
    ride(10);
    RaceState* firstRace = raceState;
    press(GLFW_KEY_ENTER);
    EXPECT_EQ(raceState, firstRace);

    // The first race: a snowflake and a gate out of order, and the race is lost.
    for (scene::SceneObject* object : world->objects) {
        if (auto* flake = dynamic_cast<scene::Collectable*>(object);
            flake && flake->kind == scene::Snowflake) {
            raceState->collect(*flake);
            break;
        }
    }
    for (scene::SceneObject* object : world->objects) {
        if (auto* gate = dynamic_cast<scene::Checkpoint*>(object); gate && gate->id == 3) {
            raceState->passCheckpoint(*gate);
        }
    }
    ride(200, GLFW_KEY_UP);
    ASSERT_TRUE(raceState->lost);
    EXPECT_EQ(pickUpsLeft(), 14);

    // Enter: the second race starts as the first did.
    press(GLFW_KEY_ENTER);
    ASSERT_NE(raceState, nullptr);
    EXPECT_EQ(raceState->points, 0u);
    EXPECT_FLOAT_EQ(raceState->timeLeft, 10.0f);
    EXPECT_EQ(raceState->nextCheckpoint, 1);
    EXPECT_FALSE(raceState->gameOver);
    EXPECT_FALSE(raceState->lost);
    EXPECT_FALSE(raceState->paused);
    EXPECT_EQ(pickUpsLeft(), 15);
    EXPECT_EQ(touchableGates(), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(PhysicsWorld::instance().scene->getActorCount(), actorsAtStart);
    EXPECT_EQ(world->player->raceState, raceState);
    const vec3 start = world->player->getPosition();
    EXPECT_NEAR(start.x, -70.0f, 0.01f);
    EXPECT_NEAR(start.z, 96.0f, 0.01f);

    // The countdown again: the sled's keys wait for it, the clock too.
    ride(60, GLFW_KEY_UP);
    EXPECT_FALSE(raceStarted);
    EXPECT_FLOAT_EQ(raceState->timeLeft, 10.0f);
    ride(150, GLFW_KEY_UP);
    EXPECT_TRUE(raceStarted);
    EXPECT_LT(raceState->timeLeft, 10.0f);
    EXPECT_GT(world->player->speed, 0.0f);
}

TEST_F(RestartTest, RacingAgainNeedsNoFile)
{
    // The game runs from a folder whose files go away while the first race is on (a
    // package upgrade).
    namespace fs = std::filesystem;
    releaseScene();
    ui::shutdownUserInterface();
    keepFilesRead(false);
    const fs::path runtime = fs::current_path();
    test::TempDir folder;
    for (const char* name : {"Shader", "models", "Models"}) {
        fs::create_directory_symlink(runtime / name, folder.path() / name);
    }
    fs::current_path(folder.path());
    startGame();
    for (const char* name : {"Shader", "models", "Models"}) {
        fs::remove(folder.path() / name);
    }
    ride(5);
    drawFrame();
    loseTheRace();

    // The loading screen shows the sky with the dark loading line, not the last frame's black.
    drawLoadingScreen();
    const test::Rgba sky = test::readPixel(20, windowHeight / 2);
    EXPECT_EQ((std::vector<int>{sky.r, sky.g, sky.b}), (std::vector<int>{125, 186, 255}));
    std::vector<unsigned char> band(640 * 60 * 4);
    glReadPixels(192, windowHeight - 168, 640, 60, GL_RGBA, GL_UNSIGNED_BYTE, band.data());
    int ink = 0;
    for (std::size_t i = 0; i < band.size(); i += 4) {
        ink += band[i] + band[i + 1] + band[i + 2] < 150 ? 1 : 0;
    }
    EXPECT_GT(ink, 1500);

    // Enter builds the whole second race without a file.
    press(GLFW_KEY_ENTER);
    fs::current_path(runtime);
    ASSERT_NE(raceState, nullptr);
    EXPECT_FALSE(raceState->gameOver);
    EXPECT_EQ(pickUpsLeft(), 15);
    EXPECT_EQ(touchableGates(), (std::vector<int>{1, 2, 3, 4, 5}));
}

TEST_F(RestartTest, TenRacesAgainLeaveNothingBehind)
{
    // A player with sound races again and again, some of the time from the help card or the
    // free camera: every texture, body, controller, spray and sound object of a race goes
    // with it.
    setenv("ALSOFT_DRIVERS", "null", 0);
    Sound heard("sounds");
    sound = &heard;
    PhysicsWorld& physics = PhysicsWorld::instance();
    const auto counts = [&] {
        return std::vector<std::size_t>{textureRegistry.size(), physics.getActorCount(),
                                        physics.scene->getActorCount(),
                                        physics.controllerManager->getControllerCount(),
                                        static_cast<std::size_t>(sharedParticleArrays.users),
                                        static_cast<std::size_t>(heard.sourcesHeld()),
                                        static_cast<std::size_t>(heard.buffersHeld())};
    };
    const std::vector<std::size_t> atStart = counts();
    for (int race = 0; race < 10; ++race) {
        ride(200, GLFW_KEY_UP);
        loseTheRace();
        press(race % 3 == 1 ? GLFW_KEY_F1 : race % 3 == 2 ? GLFW_KEY_F : 0);
        press(GLFW_KEY_ENTER);
        ASSERT_FALSE(raceState->gameOver);
        EXPECT_FALSE(raceState->paused || showHelp || freeCameraMode) << "race " << race;
        EXPECT_NE(dynamic_cast<controls::PlayerInputController*>(activeController), nullptr);
    }
    EXPECT_EQ(counts(), atStart);
    EXPECT_GT(heard.buffersHeld(), 0);
    sound = nullptr;
}

TEST_F(RestartTest, AOnAGamepadRacesAgainOnlyWhenPressedAfreshAfterTheResultShows)
{
    // A player on a gamepad still pushes with A as the race is lost, and taps it again at
    // once: the result stays on the screen.
    test::ScriptedGamepads gamepads;
    gamepads.plugIn(0, "Pad");
    RaceState* firstRace = raceState;
    const auto tap = [&](int button) {
        gamepads.hold(button);
        ride(1);
        gamepads.hold(button, false);
        ride(1);
    };
    gamepads.hold(GLFW_GAMEPAD_BUTTON_A);
    ride(20);
    loseTheRace();
    ride(1);
    gamepads.hold(GLFW_GAMEPAD_BUTTON_A, false);
    ride(1);
    tap(GLFW_GAMEPAD_BUTTON_A);
    EXPECT_EQ(raceState, firstRace);

    // A second later, A pressed afresh races again.
    ride(60);
    tap(GLFW_GAMEPAD_BUTTON_A);
    EXPECT_FALSE(raceState->gameOver);
    EXPECT_FLOAT_EQ(raceState->timeLeft, 10.0f);
}
