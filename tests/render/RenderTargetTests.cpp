#include "render/RenderTargets.h"

#include <gtest/gtest.h>

#include "app/Globals.h"
#include "tests/support/GlTestContext.h"

using namespace frostline;

namespace {

class RenderTargetTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_NE(test::ensureGlContext(), nullptr); }
    void TearDown() override { glBindFramebuffer(GL_FRAMEBUFFER, 0); }

    static GLenum statusOf(GLuint framebuffer)
    {
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        return status;
    }

    static GLint textureLevelSize(GLuint texture, GLenum parameter)
    {
        GLint value = 0;
        glBindTexture(GL_TEXTURE_2D, texture);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, parameter, &value);
        return value;
    }
};

}  // namespace

TEST_F(RenderTargetTest, SceneAndVelocityTargetsAreCompleteAtTheWindowSize)
{
    // The scene pass can draw colour and velocity at 1024 x 768.
    ASSERT_EQ(windowWidth, 1024);
    ASSERT_EQ(windowHeight, 768);
    SceneTarget scene;
    ASSERT_TRUE(scene.create());
    EXPECT_EQ(statusOf(scene.framebuffer), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    EXPECT_EQ(textureLevelSize(scene.imageTexture, GL_TEXTURE_WIDTH), 1024);
    EXPECT_EQ(textureLevelSize(scene.velocityTexture, GL_TEXTURE_HEIGHT), 768);
    EXPECT_EQ(textureLevelSize(scene.velocityTexture, GL_TEXTURE_INTERNAL_FORMAT), GL_RG16);

    VelocityTarget velocity;
    ASSERT_TRUE(velocity.create());
    EXPECT_EQ(statusOf(velocity.framebuffer), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    // The spare velocity target holds every level of its chain, down to 1 x 1 at level 10.
    GLint smallest[2] = {0, 0};
    glBindTexture(GL_TEXTURE_2D, velocity.texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 10, GL_TEXTURE_WIDTH, &smallest[0]);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 10, GL_TEXTURE_HEIGHT, &smallest[1]);
    EXPECT_EQ(smallest[0], 1);
    EXPECT_EQ(smallest[1], 1);

    // Clearing gives the sky in the image and no motion in the velocity image.
    glBindFramebuffer(GL_FRAMEBUFFER, scene.framebuffer);
    glViewport(0, 0, 1024, 768);
    glClearColor(0.3f, 0.3f, 0.3f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);  // both attachments grey first
    clearSceneTarget(0.49f, 0.73f, 1.0f);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    const test::Rgba sky = test::readPixel(512, 384);
    EXPECT_NEAR(sky.r, 125, 1);
    EXPECT_NEAR(sky.g, 186, 1);
    EXPECT_EQ(sky.b, 255);
    float motion[2] = {1.0f, 1.0f};
    glReadBuffer(GL_COLOR_ATTACHMENT1);
    glReadPixels(512, 384, 1, 1, GL_RG, GL_FLOAT, motion);
    EXPECT_NEAR(motion[0], velocityAtRest, 1e-4f);
    EXPECT_NEAR(motion[1], velocityAtRest, 1e-4f);
    GLint drawBuffer1 = 0;
    glGetIntegerv(GL_DRAW_BUFFER1, &drawBuffer1);
    EXPECT_EQ(drawBuffer1, GL_COLOR_ATTACHMENT1);  // both attachments drawn to again

    // The window's own framebuffer (motion blur off) gets the sky too, without GL errors.
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    while (glGetError() != GL_NO_ERROR) {
    }
    clearSceneTarget(0.49f, 0.73f, 1.0f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    const test::Rgba window = test::readPixel(512, 384);
    EXPECT_NEAR(window.r, 125, 1);
    EXPECT_NEAR(window.g, 186, 1);
    EXPECT_EQ(window.b, 255);

    // Release is safe twice and leaves no names behind.
    const GLuint image = scene.imageTexture;
    scene.release();
    scene.release();
    velocity.release();
    velocity.release();
    EXPECT_FALSE(glIsTexture(image));
    EXPECT_EQ(scene.framebuffer, 0u);
}

TEST_F(RenderTargetTest, TheSunsDepthMapIsCompleteAt8000By4000)
{
    // llvmpipe takes the full-size shadow map.
    ShadowTarget shadow;
    testing::internal::CaptureStdout();
    const bool complete = shadow.create();
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(complete) << output;
    EXPECT_EQ(output, "");
    EXPECT_EQ(statusOf(shadow.framebuffer), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    EXPECT_EQ(textureLevelSize(shadow.depthTexture, GL_TEXTURE_WIDTH), 8000);
    EXPECT_EQ(textureLevelSize(shadow.depthTexture, GL_TEXTURE_HEIGHT), 4000);
    GLint compareMode = 0;
    glBindTexture(GL_TEXTURE_2D, shadow.depthTexture);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, &compareMode);
    EXPECT_EQ(compareMode, GL_COMPARE_REF_TO_TEXTURE);
    shadow.release();
    shadow.release();
    EXPECT_EQ(shadow.depthTexture, 0u);
}
