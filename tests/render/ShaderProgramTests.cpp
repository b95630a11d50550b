#include "render/ShaderProgram.h"

#include <gtest/gtest.h>

#include "tests/support/GlTestContext.h"
#include "tests/support/TestFiles.h"

using frostline::ShaderProgram;
using frostline::test::TempDir;

namespace {

const char* const vertexSource = R"(#version 330 core
in vec2 vPosition;
void main() { gl_Position = vec4(vPosition, 0.0, 1.0); }
)";

const char* const twoOutputFragment = R"(#version 330 core
out vec4 fragColor;
out vec2 velocity;
void main() { fragColor = vec4(1.0, 0.5, 0.25, 1.0); velocity = vec2(0.25, -0.5); }
)";

class ShaderProgramTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_NE(frostline::test::ensureGlContext(), nullptr); }
    TempDir dir;
};

}  // namespace

TEST_F(ShaderProgramTest, LinksWithColourAndVelocityOutputsOnFixedNumbers)
{
    const auto vert = dir.write("ok.vert", vertexSource);
    const auto frag = dir.write("ok.frag", twoOutputFragment);
    ShaderProgram program(vert, frag);
    EXPECT_NE(program.program, 0u);
    EXPECT_TRUE(glIsShader(program.vertexShader));
    EXPECT_TRUE(glIsShader(program.fragmentShader));
    EXPECT_EQ(glGetFragDataLocation(program.program, "fragColor"), 0);
    EXPECT_EQ(glGetFragDataLocation(program.program, "velocity"), 1);
}

TEST_F(ShaderProgramTest, FragmentWithOnlyColourRendersIntoFirstAttachment)
{
    const auto vert = dir.write("ok.vert", vertexSource);
    const auto frag = dir.write("colour.frag", R"(#version 330 core
out vec4 fragColor;
void main() { fragColor = vec4(0.0, 1.0, 0.0, 1.0); }
)");
    ShaderProgram program(vert, frag);
    EXPECT_EQ(glGetFragDataLocation(program.program, "fragColor"), 0);

    // A full-screen triangle pair drawn with it turns the window green.
    const float quad[] = {-1, -1, 1, -1, -1, 1, -1, 1, 1, -1, 1, 1};
    GLuint vao = 0;
    GLuint vbo = 0;
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    glGenBuffers(1, &vbo);
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glBufferData(GL_ARRAY_BUFFER, sizeof(quad), quad, GL_STATIC_DRAW);
    const GLint location = glGetAttribLocation(program.program, "vPosition");
    glEnableVertexAttribArray(static_cast<GLuint>(location));
    glVertexAttribPointer(static_cast<GLuint>(location), 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDisable(GL_DEPTH_TEST);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glUseProgram(program.program);
    glDrawArrays(GL_TRIANGLES, 0, 6);
    const auto pixel = frostline::test::readPixel(512, 384);
    EXPECT_EQ(pixel.g, 255);
    EXPECT_EQ(pixel.r, 0);
    glDeleteBuffers(1, &vbo);
    glDeleteVertexArrays(1, &vao);
}

TEST_F(ShaderProgramTest, EveryFailureEndsWithItsMessageAndStatus255)
{
    const auto vert = dir.write("ok.vert", vertexSource);
    const auto frag = dir.write("ok.frag", twoOutputFragment);
    const auto empty = dir.write("empty.frag", "");
    const auto broken = dir.write("broken.frag", "#version 330 core\nvoid main() { this is not glsl }\n");
    // Compiles on its own, but a program needs a main function in every stage.
    const auto noMain = dir.write("nomain.frag", R"(#version 330 core
out vec4 fragColor;
void shade() { fragColor = vec4(1.0); }
)");
    const std::string missing = (dir.path() / "missing.vert").string();

    // Both files missing: only the vertex stage is reported, it comes first.
    EXPECT_FATAL_EXIT(ShaderProgram(missing, (dir.path() / "nope.frag").string()),
                      "Failed to open shader file: .*missing\\.vert");
    // An empty file reads like a missing one.
    EXPECT_FATAL_EXIT(ShaderProgram(vert, empty), "Failed to open shader file: .*empty\\.frag");
    // A compile error line starts with the path as passed.
    EXPECT_FATAL_EXIT(ShaderProgram(vert, broken), "broken\\.frag - Failed to compile shader: ");
    // A stage without main fails at link time.
    EXPECT_FATAL_EXIT(ShaderProgram(vert, noMain), "Failed to link shader program\n");
    // An included file is read from the stage's folder: missing, it is named; broken,
    // the stage's compile error tells what is wrong in it.
    const auto including = dir.write("including.frag", "#version 330 core\n#include \"shared.glsl\"\n" +
                                                           std::string(twoOutputFragment).substr(18));
    EXPECT_FATAL_EXIT(ShaderProgram(vert, including), "Failed to open shader file: .*shared\\.glsl");
    dir.write("shared.glsl", "float shared() { return nothing; }\n");
    EXPECT_FATAL_EXIT(ShaderProgram(vert, including),
                      "including\\.frag - Failed to compile shader: .*nothing");
}
