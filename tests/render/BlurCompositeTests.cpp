// The motion-blur composite on pictures and motions written straight into the scene
// target: what it smears, what it leaves alone and what it reads past the edges.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

#include "app/Globals.h"
#include "render/RenderTargets.h"
#include "render/World.h"
#include "tests/support/GlTestContext.h"

using namespace frostline;

namespace {

class BlurCompositeTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(test::ensureGlContext(), nullptr);
        world = std::make_unique<World>(LevelContent::Empty);
        world->blurScale = 1.0f;
        motionBlur = true;
        wireframe = false;
    }

    void TearDown() override { world.reset(); }

    /// Fills the scene image with grey levels given per pixel.
    void paintImage(const std::function<unsigned char(int x, int y)>& grey)
    {
        std::vector<unsigned char> rgb(static_cast<size_t>(windowWidth) * windowHeight * 3);
        for (int y = 0; y < windowHeight; ++y) {
            for (int x = 0; x < windowWidth; ++x) {
                const size_t i = (static_cast<size_t>(y) * windowWidth + x) * 3;
                rgb[i] = rgb[i + 1] = rgb[i + 2] = grey(x, y);
            }
        }
        glBindTexture(GL_TEXTURE_2D, world->sceneTarget->imageTexture);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, windowWidth, windowHeight, GL_RGB, GL_UNSIGNED_BYTE,
                        rgb.data());
    }

    /// The same motion (in pixels) for every pixel of the velocity image, stored as the
    /// scene pass stores it (motion * 2 + 0.5, within 0 and 1).
    void setMotion(vec2 pixels)
    {
        const vec2 units = pixels / vec2(static_cast<float>(windowWidth), static_cast<float>(windowHeight));
        const vec2 stored = glm::clamp(units * 2.0f + velocityAtRest, 0.0f, 1.0f);
        std::vector<vec2> motion(static_cast<size_t>(windowWidth) * windowHeight, stored);
        glBindTexture(GL_TEXTURE_2D, world->sceneTarget->velocityTexture);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, windowWidth, windowHeight, GL_RG, GL_FLOAT, motion.data());
    }

    /// The composite's grey levels, row by row from the bottom.
    std::vector<unsigned char> composite()
    {
        world->renderPostProcess();
        glFinish();
        std::vector<unsigned char> rgba(static_cast<size_t>(windowWidth) * windowHeight * 4);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, windowWidth, windowHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        std::vector<unsigned char> grey(rgba.size() / 4);
        for (size_t i = 0; i < grey.size(); ++i) {
            grey[i] = rgba[i * 4];
        }
        return grey;
    }

    unsigned char at(const std::vector<unsigned char>& grey, int x, int y) const
    {
        return grey[static_cast<size_t>(y) * windowWidth + x];
    }

    std::unique_ptr<World> world;
};

}  // namespace

TEST_F(BlurCompositeTest, AStillPictureComesThroughUnchanged)
{
    // Every pixel different from its neighbours: a still picture must not be filtered.
    // Neither may a motion below half a pixel, nor any motion under a blur strength
    // that is not a number or endless.
    const auto pattern = [](int x, int y) { return static_cast<unsigned char>((x * 7 + y * 13) % 256); };
    paintImage(pattern);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float endless = std::numeric_limits<float>::infinity();
    const struct {
        vec2 motion;
        float strength;
    } cases[] = {{vec2(0.0f), 1.0f},
                 {vec2(0.3f, -0.3f), 1.0f},
                 {vec2(20.0f, 2.0f), nan},
                 {vec2(20.0f, 0.0f), endless}};
    for (const auto& [motion, strength] : cases) {
        world->blurScale = strength;
        setMotion(motion);
        const std::vector<unsigned char> grey = composite();
        int changed = 0;
        for (int y = 0; y < windowHeight; ++y) {
            for (int x = 0; x < windowWidth; ++x) {
                changed += at(grey, x, y) != pattern(x, y);
            }
        }
        EXPECT_EQ(changed, 0) << "motion " << motion.x << ", " << motion.y;
    }
}

TEST_F(BlurCompositeTest, AnEdgeSmearsAlongItsMotionOnlyAndNoFurtherThanTheStreak)
{
    // Black left half, white right half, moving 24 pixels sideways.
    const int edge = windowWidth / 2;
    paintImage([edge](int x, int) { return static_cast<unsigned char>(x < edge ? 0 : 255); });
    setMotion(vec2(24.0f, 0.0f));
    const std::vector<unsigned char> grey = composite();
    const int row = windowHeight / 2;

    // Half the streak (12 pixels) either side of the edge is a mix, beyond it untouched.
    EXPECT_EQ(at(grey, edge - 14, row), 0);
    EXPECT_EQ(at(grey, edge + 13, row), 255);
    int mixedSum = 0;
    for (int x = edge - 4; x < edge + 4; ++x) {
        mixedSum += at(grey, x, row);
    }
    EXPECT_GT(mixedSum / 8, 60);
    EXPECT_LT(mixedSum / 8, 195);
    // Darker towards the black side: the streak is a ramp, not a copy of the edge.
    EXPECT_LT(at(grey, edge - 8, row) + at(grey, edge - 7, row),
              at(grey, edge + 6, row) + at(grey, edge + 7, row));

    // Moving along the edge, every tap reads the same column: the edge stays sharp.
    setMotion(vec2(0.0f, 24.0f));
    const std::vector<unsigned char> upDown = composite();
    EXPECT_EQ(at(upDown, edge - 1, row), 0);
    EXPECT_EQ(at(upDown, edge, row), 255);
}

TEST_F(BlurCompositeTest, TapsPastTheScreensEdgesReadThePictureMirroredBack)
{
    // A white picture stays white everywhere, corners included, however the taps
    // overshoot the edges: nothing outside the image may be read as black.
    paintImage([](int, int) { return static_cast<unsigned char>(255); });
    for (const vec2 motion : {vec2(40.0f, 30.0f), vec2(-40.0f, 30.0f), vec2(5000.0f, -5000.0f)}) {
        setMotion(motion);
        const std::vector<unsigned char> grey = composite();
        const auto darkest = std::min_element(grey.begin(), grey.end());
        EXPECT_EQ(*darkest, 255) << "motion " << motion.x << ", " << motion.y << " at pixel "
                                 << (darkest - grey.begin()) % windowWidth << ", "
                                 << (darkest - grey.begin()) / windowWidth;
    }

    // A bright band along the left edge is read back in from past the edge: moving
    // sideways, the first pixel sees mostly band (mirrored), not the dark rest.
    paintImage([](int x, int) { return static_cast<unsigned char>(x < 16 ? 255 : 0); });
    setMotion(vec2(24.0f, 0.0f));
    const std::vector<unsigned char> grey = composite();
    EXPECT_EQ(at(grey, 0, windowHeight / 2), 255);
    EXPECT_EQ(at(grey, 40, windowHeight / 2), 0);
}

TEST_F(BlurCompositeTest, AHugeMotionIsCutToTheLongestStreak)
{
    // The longest streak is 0.06 of the image: about 61 pixels across 1024, so 31 a side.
    const int edge = windowWidth / 2;
    paintImage([edge](int x, int) { return static_cast<unsigned char>(x < edge ? 0 : 255); });
    setMotion(vec2(static_cast<float>(windowWidth) * 2.0f, 0.0f));
    const std::vector<unsigned char> grey = composite();
    const int row = windowHeight / 3;
    const int half = static_cast<int>(0.03f * static_cast<float>(windowWidth)) + 2;
    EXPECT_EQ(at(grey, edge - half, row), 0);
    EXPECT_EQ(at(grey, edge + half, row), 255);
    EXPECT_GT(at(grey, edge + half / 2, row), at(grey, edge - half / 2, row));
}
