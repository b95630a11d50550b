#include "render/Texture.h"

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "tests/support/GlTestContext.h"
#include "tests/support/TestFiles.h"

using namespace frostline;
using frostline::test::TempDir;

namespace {

class TextureTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_NE(test::ensureGlContext(), nullptr); }

    /// Writes a width x height image of the given bit depth filled with one grey level.
    std::string writeImage(const std::string& name, int bpp, FREE_IMAGE_FORMAT format, BYTE level)
    {
        FIBITMAP* image = FreeImage_Allocate(8, 4, bpp);
        if (bpp == 8) {
            RGBQUAD* palette = FreeImage_GetPalette(image);
            for (int i = 0; i < 256; ++i) {
                palette[i].rgbRed = palette[i].rgbGreen = palette[i].rgbBlue = static_cast<BYTE>(i);
            }
        }
        const unsigned pitch = FreeImage_GetPitch(image);
        for (unsigned y = 0; y < FreeImage_GetHeight(image); ++y) {
            BYTE* row = FreeImage_GetScanLine(image, static_cast<int>(y));
            for (unsigned x = 0; x < pitch; ++x) {
                row[x] = level;
            }
        }
        const std::string path = (dir.path() / name).string();
        EXPECT_TRUE(FreeImage_Save(format, image, path.c_str(), 0));
        FreeImage_Unload(image);
        return path;
    }

    static GLint filterOf(const Texture& texture, GLenum parameter)
    {
        GLint value = 0;
        glBindTexture(GL_TEXTURE_2D, texture.textureName);
        glGetTexParameteriv(GL_TEXTURE_2D, parameter, &value);
        return value;
    }

    TempDir dir;
};

}  // namespace

TEST_F(TextureTest, DecodesEightTwentyFourAndThirtyTwoBitImages)
{
    // Palette, RGB and RGBA sources all arrive as 8 x 4 RGBA textures.
    for (const auto& [bpp, format, name] :
         {std::tuple{8, FIF_BMP, "grey8.bmp"}, std::tuple{24, FIF_PNG, "rgb24.png"},
          std::tuple{32, FIF_PNG, "rgba32.png"}}) {
        Texture texture(writeImage(name, bpp, format, 200));
        ASSERT_TRUE(texture.load()) << name;
        GLint width = 0;
        GLint height = 0;
        glBindTexture(GL_TEXTURE_2D, texture.textureName);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
        EXPECT_EQ(width, 8) << name;
        EXPECT_EQ(height, 4) << name;
        EXPECT_EQ(filterOf(texture, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
        EXPECT_EQ(filterOf(texture, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    }
}

TEST_F(TextureTest, UnitNumbersCountConstructionsAndTheLogNamesThem)
{
    const int first = nextTextureUnit;
    Texture a("nowhere-a.png");
    Texture b("nowhere-b.png");
    EXPECT_EQ(a.unit, first);
    EXPECT_EQ(b.unit, first + 1);
    EXPECT_EQ(nextTextureUnit, first + 2);

    // A missing file still prints both lines, then reports failure.
    testing::internal::CaptureStdout();
    EXPECT_FALSE(a.load());
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_EQ(log,
              "Loading Texture: nowhere-a.png\nbinding texture to unit: " + std::to_string(first) + "\n");
}

TEST_F(TextureTest, UnreadableFilesFailWithoutEnteringTheRegistry)
{
    const size_t before = textureRegistry.size();
    Texture garbage(dir.write("garbage.png", "this is not an image at all"));
    Texture truncated(dir.write("truncated.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)));
    Texture missing((dir.path() / "missing.jpg").string());
    std::filesystem::create_directory(dir.path() / "folder.png");
    Texture folder((dir.path() / "folder.png").string());
    // A good image one texel wider than the driver's largest texture (GL would refuse it).
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    FIBITMAP* wide = FreeImage_Allocate(largest + 1, 1, 24);
    const std::string widePath = (dir.path() / "wide.png").string();
    ASSERT_TRUE(FreeImage_Save(FIF_PNG, wide, widePath.c_str(), 0));
    FreeImage_Unload(wide);
    Texture tooWide(widePath);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(garbage.load());
    EXPECT_FALSE(truncated.load());
    EXPECT_FALSE(missing.load());
    EXPECT_FALSE(folder.load());
    EXPECT_FALSE(tooWide.load());
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(textureRegistry.size(), before);
}

TEST_F(TextureTest, FilterCyclesReachEveryRegisteredTexture)
{
    testing::internal::CaptureStdout();
    auto a = std::make_unique<Texture>(writeImage("a.png", 32, FIF_PNG, 10));
    auto b = std::make_unique<Texture>(writeImage("b.png", 24, FIF_PNG, 20));
    ASSERT_TRUE(a->load());
    ASSERT_TRUE(b->load());
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(samplingQuality, SamplingBilinear);
    ASSERT_EQ(mipmapMode, MipmapLinear);

    // Sampling quality toggles nearest and back to linear magnification.
    cycleSamplingQuality();
    EXPECT_EQ(filterModeNames.at(samplingQuality), "NEAREST_NEIGHBOR");
    EXPECT_EQ(filterOf(*a, GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    EXPECT_EQ(filterOf(*b, GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    cycleSamplingQuality();
    EXPECT_EQ(filterModeNames.at(samplingQuality), "BILINEAR");
    EXPECT_EQ(filterOf(*a, GL_TEXTURE_MAG_FILTER), GL_LINEAR);

    // Mipmapping steps LINEAR -> NEAREST_NEIGHBOR -> OFF -> LINEAR.
    const std::pair<const char*, GLint> steps[] = {{"NEAREST_NEIGHBOR", GL_NEAREST_MIPMAP_NEAREST},
                                                    {"OFF", GL_LINEAR},
                                                    {"LINEAR", GL_LINEAR_MIPMAP_LINEAR}};
    for (const auto& [name, filter] : steps) {
        cycleMipmapMode();
        EXPECT_EQ(filterModeNames.at(mipmapMode), name);
        EXPECT_EQ(filterOf(*a, GL_TEXTURE_MIN_FILTER), filter) << name;
        EXPECT_EQ(filterOf(*b, GL_TEXTURE_MIN_FILTER), filter) << name;
    }

    // A texture loaded after a change (a race built again) takes the filter chosen.
    cycleSamplingQuality();
    testing::internal::CaptureStdout();
    Texture late(writeImage("late.png", 32, FIF_PNG, 30));
    ASSERT_TRUE(late.load());
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(filterOf(late, GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    cycleSamplingQuality();

    // A destroyed texture leaves the registry, so the cycles never touch a deleted name.
    const size_t count = textureRegistry.size();
    b.reset();
    EXPECT_EQ(textureRegistry.size(), count - 1);
}

TEST_F(TextureTest, OpaqueOnlyWhenEveryTexelHasFullAlpha)
{
    // Sources without alpha are opaque; an RGBA source is opaque only at alpha 255.
    for (const auto& [bpp, format, level, name, opaque] :
         {std::tuple{8, FIF_BMP, BYTE{10}, "grey8.bmp", true},
          std::tuple{24, FIF_PNG, BYTE{10}, "rgb24.png", true},
          std::tuple{32, FIF_PNG, BYTE{255}, "full.png", true},
          std::tuple{32, FIF_PNG, BYTE{254}, "almost.png", false}}) {
        Texture texture(writeImage(name, bpp, format, level));
        ASSERT_TRUE(texture.load()) << name;
        EXPECT_EQ(texture.opaque, opaque) << name;
    }
}
