#include "tests/support/GlTestContext.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <FreeImage.h>
#include <gtest/gtest.h>

#include <vector>

#include "app/Application.h"
#include "app/Globals.h"

namespace frostline::test {

namespace {

/// The suite's window, made by the first ensureGlContext.
GLFWwindow* testWindow = nullptr;

}  // namespace

void releaseGlContext()
{
    if (!testWindow) {
        return;
    }
    glfwDestroyWindow(testWindow);
    glfwTerminate();
    testWindow = nullptr;
    frostline::window = nullptr;
}

GLFWwindow* ensureGlContext()
{
    GLFWwindow*& window = testWindow;
    if (window) {
        glfwMakeContextCurrent(window);
        return window;
    }
    if (!glfwInit()) {
        ADD_FAILURE() << "glfwInit failed: is DISPLAY set (run the tests through scripts/test.sh)?";
        return nullptr;
    }
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_OPENGL_FORWARD_COMPAT, GLFW_TRUE);
    window = glfwCreateWindow(1024, 768, "Frostline tests", nullptr, nullptr);
    if (!window) {
        ADD_FAILURE() << "no OpenGL 3.3 core context";
        return nullptr;
    }
    glfwMakeContextCurrent(window);
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) {
        ADD_FAILURE() << "glewInit failed";
        return nullptr;
    }
    glGetError();  // GLEW's core-profile probe leaves GL_INVALID_ENUM behind
    int width = 0;
    int height = 0;
    glfwGetFramebufferSize(window, &width, &height);
    frostline::windowWidth = width;
    frostline::windowHeight = height;
    frostline::window = window;
    glViewport(0, 0, width, height);
    return window;
}

void startLikeTheGame()
{
    setStartGlState();
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    motionBlur = true;
    frustumCulling = false;
    wireframe = false;
    deltaTime = 1.0f / 60.0f;
}

Rgba readPixel(int x, int y)
{
    Rgba pixel{};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &pixel);
    return pixel;
}

bool savePixelsPng(const std::string& path)
{
    const int width = frostline::windowWidth;
    const int height = frostline::windowHeight;
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
    FIBITMAP* image = FreeImage_ConvertFromRawBits(pixels.data(), width, height, width * 4, 32,
                                                   FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK,
                                                   FI_RGBA_BLUE_MASK, FALSE);
    if (!image) {
        return false;
    }
    const bool saved = FreeImage_Save(FIF_PNG, image, path.c_str(), 0);
    FreeImage_Unload(image);
    return saved;
}

}  // namespace frostline::test
