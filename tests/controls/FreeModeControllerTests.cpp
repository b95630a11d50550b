// The free camera: keys move it, the mouse turns it.
#include <gtest/gtest.h>

#include <set>

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include "controls/FreeModeController.h"
#include "controls/KeyInput.h"
#include "scene/Camera.h"
#include "tests/support/GlTestContext.h"

using namespace frostline;

namespace {

class FreeModeTest : public testing::Test {
protected:
    void SetUp() override
    {
        window = test::ensureGlContext();
        ASSERT_NE(window, nullptr);
        controls::setKeyReader([this](GLFWwindow*, int key) { return held.count(key) > 0; });
        glfwSetCursorPos(window, 500.0, 400.0);
        glfwGetCursorPos(window, &cursorX, &cursorY);
    }
    void TearDown() override { controls::setKeyReader({}); }

    GLFWwindow* window = nullptr;
    std::set<int> held;
    double cursorX = 0.0;
    double cursorY = 0.0;
    scene::Camera camera;
};

}  // namespace

TEST_F(FreeModeTest, KeysFlyTheCameraThirtyUnitsASecond)
{
    testing::internal::CaptureStdout();
    controls::FreeModeController controller(cursorX, cursorY, camera);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Initializing FreeModeController\n");
    // The view on entering is kept for leaving.
    EXPECT_EQ(camera.savedState.position, camera.position);

    // W at 60 frames a second: half a unit a frame along the view.
    held = {GLFW_KEY_W};
    controller.update(window, 1.0f / 60.0f);
    EXPECT_NEAR(camera.position.z, 5.0f - 0.5f, 1e-5f);

    // D and left Control together: right and up.
    held = {GLFW_KEY_D, GLFW_KEY_LEFT_CONTROL};
    controller.update(window, 0.1f);
    EXPECT_NEAR(camera.position.x, 3.0f, 1e-5f);
    EXPECT_NEAR(camera.position.y, 5.0f, 1e-5f);

    // S, A and left Alt together: back, left and down.
    held = {GLFW_KEY_S, GLFW_KEY_A, GLFW_KEY_LEFT_ALT};
    controller.update(window, 0.1f);
    EXPECT_NEAR(camera.position.x, 0.0f, 1e-5f);
    EXPECT_NEAR(camera.position.y, 2.0f, 1e-5f);
    EXPECT_NEAR(camera.position.z, 7.5f, 1e-5f);

    // The mouse stood still all the time: the view did not turn.
    EXPECT_EQ(camera.yaw, 0.0f);
    EXPECT_EQ(camera.pitch, -30.0f);
}

TEST_F(FreeModeTest, TheMouseTurnsTheViewOneDegreeAPixel)
{
    controls::FreeModeController controller(cursorX, cursorY, camera);
    // Ten pixels to the left and five up: ten degrees left, five degrees up.
    glfwSetCursorPos(window, cursorX - 10.0, cursorY - 5.0);
    controller.update(window, 1.0f / 60.0f);
    EXPECT_NEAR(camera.yaw, 10.0f, 1e-4f);
    EXPECT_NEAR(camera.pitch, -25.0f, 1e-4f);
    // Still again: no further turn.
    controller.update(window, 1.0f / 60.0f);
    EXPECT_NEAR(camera.yaw, 10.0f, 1e-4f);
}
