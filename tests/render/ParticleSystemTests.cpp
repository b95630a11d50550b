#include "render/ParticleSystem.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "render/ShaderProgram.h"
#include "tests/support/GlTestContext.h"

using namespace frostline;

namespace {

class ParticleSystemTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(test::ensureGlContext(), nullptr);
        particles =
            std::make_unique<ShaderProgram>("Shader/particlesystem.vert", "Shader/particlesystem.frag");
        motionBlur = std::make_unique<ShaderProgram>("Shader/motionblur.vert", "Shader/motionblur.frag");
    }

    std::unique_ptr<scene::ParticleSystem> makeSpray()
    {
        return std::make_unique<scene::ParticleSystem>(particles.get(), motionBlur.get());
    }

    static std::vector<float> bufferContents(GLuint buffer, size_t floats)
    {
        std::vector<float> data(floats);
        glBindBuffer(GL_ARRAY_BUFFER, buffer);
        glGetBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(floats * sizeof(float)), data.data());
        return data;
    }

    std::unique_ptr<ShaderProgram> particles;
    std::unique_ptr<ShaderProgram> motionBlur;
};

}  // namespace

TEST_F(ParticleSystemTest, BothSpraysDrawFromOneSetOfParticles)
{
    // The left spray builds the particles; the right one reuses them untouched.
    auto left = makeSpray();
    const SharedParticleArrays built = sharedParticleArrays;
    ASSERT_TRUE(glIsVertexArray(built.vertexArray));
    const std::vector<float> velocities = bufferContents(built.velocityBuffer, particleCount * 3);
    const std::vector<float> startTimes = bufferContents(built.startTimeBuffer, particleCount);

    // The second construction neither reseeds the generator nor draws from it.
    std::srand(4242);
    std::rand();
    const int nextDraw = std::rand();
    std::srand(4242);
    std::rand();
    auto right = makeSpray();
    EXPECT_EQ(std::rand(), nextDraw);
    EXPECT_EQ(sharedParticleArrays.vertexArray, built.vertexArray);
    EXPECT_EQ(sharedParticleArrays.velocityBuffer, built.velocityBuffer);
    EXPECT_EQ(bufferContents(built.velocityBuffer, particleCount * 3), velocities);
    EXPECT_EQ(sharedParticleArrays.users, 2);

    // Start times 0.01 s apart, summed in single precision; every throw goes up at 10.
    EXPECT_EQ(startTimes[0], 0.0f);
    EXPECT_NEAR(startTimes[100], 1.0f, 1e-4f);
    EXPECT_NEAR(startTimes[9999], 99.993f, 2e-3f);
    EXPECT_NE(startTimes[9999], 99.99f);
    for (int i = 0; i < particleCount; ++i) {
        ASSERT_EQ(velocities[3 * i + 1], 10.0f);
        ASSERT_GE(velocities[3 * i], -5.0f);
        ASSERT_LE(velocities[3 * i], 5.0f);
        ASSERT_GE(velocities[3 * i + 2], 5.0f);
        ASSERT_LE(velocities[3 * i + 2], 15.0f);
    }

    // Each spray finds its own uniforms; neither is a model shape.
    EXPECT_GE(left->systemTimeLocation, 0);
    EXPECT_GE(left->factorLocation, 0);
    EXPECT_GE(left->mvpLocation, 0);
    EXPECT_GE(left->prevMvpLocation, 0);
    EXPECT_TRUE(left->meshes->empty());
    EXPECT_EQ(left->boundingRadius, 0.0f);

    // The first spray to go leaves the arrays to the other; the last one releases them.
    left.reset();
    EXPECT_TRUE(glIsVertexArray(built.vertexArray));
    EXPECT_TRUE(glIsBuffer(built.startTimeBuffer));
    right.reset();
    EXPECT_FALSE(glIsVertexArray(built.vertexArray));
    EXPECT_FALSE(glIsBuffer(built.velocityBuffer));
    EXPECT_FALSE(glIsBuffer(built.startTimeBuffer));
    EXPECT_EQ(sharedParticleArrays.users, 0);
}
