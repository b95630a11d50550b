#include "app/KeyCommands.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include "app/Globals.h"
#include "app/MainLoop.h"
#include "app/RaceState.h"
#include "controls/FreeModeController.h"
#include "controls/KeyInput.h"
#include "controls/PlayerInputController.h"
#include "physics/ControllerShape.h"
#include "render/Texture.h"
#include "render/World.h"
#include "scene/Camera.h"
#include "tests/support/GlTestContext.h"
#include "tests/ui/SledWorld.h"
#include "ui/Hud.h"

using namespace frostline;

namespace {

/// A race at its start (not paused) with every toggle at its start value, and
/// keys pressed as GLFW reports them.
class KeyCommandsTest : public testing::Test {
protected:
    void SetUp() override
    {
        test::ensureGlContext();
        raceState = &race;
        race.paused = false;
        running = true;
        showHelp = showFrameTime = wireframe = frustumCulling = false;
        motionBlur = alphaBlending = true;
        samplingQuality = SamplingBilinear;
        mipmapMode = MipmapLinear;
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        ui::showMessage("start");
    }
    void TearDown() override
    {
        raceState = nullptr;
        running = true;
        showHelp = showFrameTime = wireframe = frustumCulling = false;
        motionBlur = alphaBlending = true;
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    }

    void press(int key, int action = GLFW_PRESS) { keyCallback(window, key, 0, action, 0); }

    RaceState race;
};

/// The toggles and the message, to see that a key changed nothing.
struct Snapshot {
    bool running, showHelp, showFrameTime, wireframe, motionBlur, frustumCulling, alphaBlending, paused;
    int samplingQuality, mipmapMode;
    std::string message;
    float messageAge;
    bool operator==(const Snapshot&) const = default;
};
Snapshot snapshot()
{
    return {running,        showHelp,      showFrameTime,     wireframe,          motionBlur,
            frustumCulling, alphaBlending, raceState->paused, samplingQuality,    mipmapMode,
            ui::currentMessage(), ui::messageAge};
}

GLint polygonMode()
{
    GLint modes[2] = {0, 0};
    glGetIntegerv(GL_POLYGON_MODE, modes);
    return modes[0];
}

}  // namespace

TEST_F(KeyCommandsTest, OnlyPressesCount)
{
    // Holding F2 toggles the frame-time display once: repeats and the release do nothing.
    press(GLFW_KEY_F2);
    press(GLFW_KEY_F2, GLFW_REPEAT);
    press(GLFW_KEY_F2, GLFW_REPEAT);
    press(GLFW_KEY_F2, GLFW_RELEASE);
    EXPECT_TRUE(showFrameTime);
    EXPECT_EQ(ui::currentMessage(), "toggle FrameTime: 1");
    press(GLFW_KEY_F2);
    EXPECT_FALSE(showFrameTime);
    EXPECT_EQ(ui::currentMessage(), "toggle FrameTime: 0");

    // Escape released or repeated does not quit; pressed, it does.
    press(GLFW_KEY_ESCAPE, GLFW_RELEASE);
    EXPECT_TRUE(running);
    press(GLFW_KEY_ESCAPE);
    EXPECT_FALSE(running);
}

TEST_F(KeyCommandsTest, KeysWithoutACommandDoNothing)
{
    const Snapshot before = snapshot();
    for (const int key : {GLFW_KEY_F7, GLFW_KEY_Q, GLFW_KEY_F10, GLFW_KEY_UP, GLFW_KEY_W, GLFW_KEY_SPACE}) {
        press(key);
        EXPECT_EQ(snapshot(), before) << "key " << key;
    }
    EXPECT_EQ(polygonMode(), GL_FILL);
}

TEST_F(KeyCommandsTest, RenderingTogglesSayWhatTheyDid)
{
    // F3 twice: lines, then filled again, each said on the message line.
    press(GLFW_KEY_F3);
    EXPECT_TRUE(wireframe);
    EXPECT_EQ(ui::currentMessage(), "toggle Wireframe: 1");
    EXPECT_EQ(polygonMode(), GL_LINE);
    press(GLFW_KEY_F3);
    EXPECT_FALSE(wireframe);
    EXPECT_EQ(ui::currentMessage(), "toggle Wireframe: 0");
    EXPECT_EQ(polygonMode(), GL_FILL);

    // Motion blur starts on, culling off; each message restarts the three seconds.
    ui::messageAge = 2.0f;
    press(GLFW_KEY_F6);
    EXPECT_FALSE(motionBlur);
    EXPECT_EQ(ui::currentMessage(), "toggle Motion Blur: 0");
    EXPECT_EQ(ui::messageAge, 0.0f);
    press(GLFW_KEY_F8);
    EXPECT_TRUE(frustumCulling);
    EXPECT_EQ(ui::currentMessage(), "toggle View Frustum Culling: 1");

    // Mipmapping quality steps through its three settings and back.
    std::vector<std::string> mipmapMessages;
    for (int i = 0; i < 3; ++i) {
        press(GLFW_KEY_F5);
        mipmapMessages.push_back(ui::currentMessage());
    }
    EXPECT_EQ(mipmapMessages,
              (std::vector<std::string>{"Mipmapping Quality: NEAREST_NEIGHBOR", "Mipmapping Quality: OFF",
                                        "Mipmapping Quality: LINEAR"}));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(KeyCommandsTest, SamplingQualityIsReportedOnStandardOutputOnly)
{
    // F4 prints the new setting; the message line keeps what it showed.
    ui::messageAge = 1.5f;
    const Snapshot before = snapshot();
    testing::internal::CaptureStdout();
    press(GLFW_KEY_F4);
    press(GLFW_KEY_F4);
    press(GLFW_KEY_F4);
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_EQ(output,
              "Texture Sampling Quality: NEAREST_NEIGHBOR\n"
              "Texture Sampling Quality: BILINEAR\n"
              "Texture Sampling Quality: NEAREST_NEIGHBOR\n");
    EXPECT_EQ(ui::currentMessage(), before.message);
    EXPECT_EQ(ui::messageAge, 1.5f);
    press(GLFW_KEY_F4);
    EXPECT_EQ(samplingQuality, SamplingBilinear);
}

TEST_F(KeyCommandsTest, AlphaBlendingSwitchesTheGlState)
{
    // Blending starts on: the first F9 turns it off (and adds colours one to one), the second back on.
    press(GLFW_KEY_F9);
    EXPECT_FALSE(alphaBlending);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLint source = 0, destination = 0;
    glGetIntegerv(GL_BLEND_SRC_RGB, &source);
    glGetIntegerv(GL_BLEND_DST_RGB, &destination);
    EXPECT_EQ(source, GL_ONE);
    EXPECT_EQ(destination, GL_ONE);
    press(GLFW_KEY_F9);
    EXPECT_TRUE(alphaBlending);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    glGetIntegerv(GL_BLEND_SRC_RGB, &source);
    glGetIntegerv(GL_BLEND_DST_RGB, &destination);
    EXPECT_EQ(source, GL_SRC_ALPHA);
    EXPECT_EQ(destination, GL_ONE_MINUS_SRC_ALPHA);
    // No message for it.
    EXPECT_EQ(ui::currentMessage(), "start");
}

TEST(HelpCommand, HelpDuringTheCountdownHoldsTheCountdownAndTheClock)
{
    test::SledWorld sled;
    countdownTime = 3.0f;
    countdownDone = false;
    // Runs one frame of the game loop that lasts `seconds`.
    const auto runFrameOf = [](double seconds) {
        lastFrameTime = glfwGetTime() - seconds;
        runFrame();
    };

    // F1 at the start: the help shows and the race is paused.
    keyCallback(window, GLFW_KEY_F1, 0, GLFW_PRESS, 0);
    EXPECT_TRUE(showHelp);
    EXPECT_TRUE(sled.race.paused);

    // Four seconds later the countdown has not moved, and the clock stays at 10 s.
    for (int i = 0; i < 4; ++i) {
        runFrameOf(1.0);
    }
    EXPECT_FLOAT_EQ(countdownTime, 3.0f);
    EXPECT_FALSE(raceStarted);
    EXPECT_EQ(sled.race.timeLeft, 10.0f);

    // F1 again hides the help and resumes; the time spent paused is not charged, and the
    // countdown runs its three seconds from where it stood.
    lastFrameTime = glfwGetTime() - 5.0;
    keyCallback(window, GLFW_KEY_F1, 0, GLFW_PRESS, 0);
    EXPECT_FALSE(showHelp);
    EXPECT_FALSE(sled.race.paused);
    EXPECT_NEAR(lastFrameTime, glfwGetTime(), 0.5);
    std::vector<std::string> shown;
    for (int i = 0; i < 3; ++i) {
        runFrameOf(1.0);
        shown.push_back(ui::currentMessage());
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"2", "1", "0"}));
    EXPECT_EQ(sled.race.timeLeft, 10.0f);
    // The race starts on the next frame, and its clock runs.
    runFrameOf(0.5);
    EXPECT_TRUE(raceStarted);
    EXPECT_NEAR(sled.race.timeLeft, 9.5f, 0.1f);
}

TEST(FreeCameraCommand, FTwiceReturnsTheCameraExactlyAndResumesTheRace)
{
    test::SledWorld sled;
    scene::Camera& camera = *world->camera;
    const vec3 position = camera.position;
    const vec3 forward = camera.forward;
    const float pitch = camera.pitch, yaw = camera.yaw, roll = camera.roll;

    // F: the free camera takes over, holding the mouse pointer so that turning does
    // not stop at the screen's edge, and the race pauses.
    EXPECT_EQ(glfwGetInputMode(window, GLFW_CURSOR), GLFW_CURSOR_NORMAL);
    testing::internal::CaptureStdout();
    keyCallback(window, GLFW_KEY_F, 0, GLFW_PRESS, 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Initializing FreeModeController\n");
    EXPECT_NE(dynamic_cast<controls::FreeModeController*>(activeController), nullptr);
    EXPECT_TRUE(freeCameraMode);
    EXPECT_TRUE(sled.race.paused);
    EXPECT_EQ(glfwGetInputMode(window, GLFW_CURSOR), GLFW_CURSOR_DISABLED);

    // Flying around with W held for a second, then looking elsewhere.
    controls::setKeyReader([](GLFWwindow*, int key) { return key == GLFW_KEY_W; });
    for (int i = 0; i < 10; ++i) {
        activeController->update(window, 0.1f);
    }
    controls::setKeyReader({});
    camera.rotateY(35.0f);
    camera.rotateX(-20.0f);
    camera.update(0.0f);
    EXPECT_GT(glm::distance(camera.position, position), 29.0f);

    // F again: the sled steers, the pointer is free, the view is exactly the one
    // left, the race goes on.
    keyCallback(window, GLFW_KEY_F, 0, GLFW_PRESS, 0);
    EXPECT_NE(dynamic_cast<controls::PlayerInputController*>(activeController), nullptr);
    EXPECT_FALSE(freeCameraMode);
    EXPECT_FALSE(sled.race.paused);
    EXPECT_EQ(glfwGetInputMode(window, GLFW_CURSOR), GLFW_CURSOR_NORMAL);
    EXPECT_EQ(camera.position, position);
    EXPECT_EQ(camera.forward, forward);
    EXPECT_EQ(camera.pitch, pitch);
    EXPECT_EQ(camera.yaw, yaw);
    EXPECT_EQ(camera.roll, roll);

    // Help shown, then in and out of free mode: the help card is still up, so the race still waits.
    keyCallback(window, GLFW_KEY_F1, 0, GLFW_PRESS, 0);
    EXPECT_TRUE(sled.race.paused);
    keyCallback(window, GLFW_KEY_F, 0, GLFW_PRESS, 0);
    keyCallback(window, GLFW_KEY_F, 0, GLFW_PRESS, 0);
    EXPECT_TRUE(showHelp);
    EXPECT_TRUE(sled.race.paused);
    showHelp = false;
}

TEST(PauseCommands, TheRaceWaitsExactlyWhileTheHelpOrTheFreeCameraIsUp)
{
    // Whatever the order of F1 and F, the race waits while the help card is shown or the
    // free camera flies; once both are gone, Up pushes the sled and the clock runs.
    const std::vector<std::vector<int>> sequences = {{GLFW_KEY_F1, GLFW_KEY_F, GLFW_KEY_F, GLFW_KEY_F1},
                                                     {GLFW_KEY_F, GLFW_KEY_F1, GLFW_KEY_F1, GLFW_KEY_F},
                                                     {GLFW_KEY_F1, GLFW_KEY_F, GLFW_KEY_F1, GLFW_KEY_F}};
    controls::setKeyReader([](GLFWwindow*, int key) { return key == GLFW_KEY_UP; });
    for (const std::vector<int>& keys : sequences) {
        test::SledWorld sled;
        countdownTime = 0.0f;
        countdownDone = true;
        scene::ControllerShape& player = *world->player;
        // One frame of the race with Up held on the snow; what changed.
        const auto frame = [&] {
            const float speed = player.speed;
            const float timeLeft = sled.race.timeLeft;
            player.grounded = true;
            player.slopeAcceleration = 0.0f;
            deltaTime = 0.1f;
            simulateFrame();
            return std::pair{player.speed != speed, sled.race.timeLeft != timeLeft};
        };
        std::string pressed;
        for (const int key : keys) {
            keyCallback(window, key, 0, GLFW_PRESS, 0);
            pressed += key == GLFW_KEY_F ? " F" : " F1";
            SCOPED_TRACE("after" + pressed);
            const bool waiting = showHelp || freeCameraMode;
            EXPECT_EQ(sled.race.paused, waiting);
            const auto [sledMoved, clockRan] = frame();
            EXPECT_EQ(clockRan, !waiting);
            // (The free camera takes the keys; the sled's controller ignores them while paused.)
            EXPECT_EQ(sledMoved, !waiting);
        }
        SCOPED_TRACE("after" + pressed);
        EXPECT_FALSE(showHelp);
        EXPECT_FALSE(freeCameraMode);
        EXPECT_EQ(glfwGetInputMode(window, GLFW_CURSOR), GLFW_CURSOR_NORMAL);
        EXPECT_EQ(frame(), std::pair(true, true));
    }
    controls::setKeyReader({});
}

TEST_F(KeyCommandsTest, MSwitchesTheSoundOffAndOn)
{
    // M mutes all sound and says so; held, it does not switch again; a second M brings the sound back.
    soundOn = true;
    press(GLFW_KEY_M);
    press(GLFW_KEY_M, GLFW_REPEAT);
    EXPECT_FALSE(soundOn);
    EXPECT_EQ(ui::currentMessage(), "toggle Sound: 0");
    press(GLFW_KEY_M);
    EXPECT_TRUE(soundOn);
    EXPECT_EQ(ui::currentMessage(), "toggle Sound: 1");
}
