// The generated pictures as FreeImage reads them: the glyph grid of the font,
// the panels with their sizes and transparency, and the white fallback.
#include <string>

#include <FreeImage.h>
#include <gtest/gtest.h>

namespace frostline::test {

namespace {

/// A decoded 32-bit image, released on destruction; pixels addressed top-down.
class Picture {
public:
    explicit Picture(const std::string& path)
    {
        FIBITMAP* decoded = FreeImage_Load(FreeImage_GetFileType(path.c_str(), 0), path.c_str(), 0);
        if (decoded) {
            bitmap = FreeImage_ConvertTo32Bits(decoded);
            FreeImage_Unload(decoded);
        }
    }
    ~Picture()
    {
        if (bitmap) {
            FreeImage_Unload(bitmap);
        }
    }
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    bool loaded() const { return bitmap != nullptr; }
    int width() const { return static_cast<int>(FreeImage_GetWidth(bitmap)); }
    int height() const { return static_cast<int>(FreeImage_GetHeight(bitmap)); }
    /// Channel value 0..255 (FI_RGBA_RED, ...) of column x, row y counted from the top.
    int channel(int x, int y, int which) const
    {
        return FreeImage_GetScanLine(bitmap, height() - 1 - y)[4 * x + which];
    }
    int alpha(int x, int y) const { return channel(x, y, FI_RGBA_ALPHA); }

private:
    FIBITMAP* bitmap = nullptr;
};

}  // namespace

TEST(GeneratedImages, FontGridHoldsEachGlyphInItsCell)
{
    // Text drawn with the font shows each character from its own cell, with no ink outside the part of the
    // cell that the text renderer samples, so neighbours never bleed into a label.
    const Picture font("Models/font1.png");
    ASSERT_TRUE(font.loaded());
    ASSERT_EQ(font.width(), 1024);
    ASSERT_EQ(font.height(), 1024);
    const std::string shown = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ!#,-./:_";
    for (int code = 0; code < 256; ++code) {
        const int cellX = (code % 16) * 64, cellY = (code / 16) * 64;
        int inkInside = 0, inkOutside = 0, tinted = 0;
        for (int y = 0; y < 64; ++y) {
            for (int x = 0; x < 64; ++x) {
                const int a = font.alpha(cellX + x, cellY + y);
                if (a == 0) {
                    continue;
                }
                const bool used = x >= 15 && x < 48 && y >= 1 && y < 63;
                (used ? inkInside : inkOutside) += 1;
                tinted += font.channel(cellX + x, cellY + y, FI_RGBA_RED) < 250;
            }
        }
        EXPECT_EQ(inkOutside, 0) << "code " << code;
        EXPECT_EQ(tinted, 0) << "code " << code << " is not white";
        if (shown.find(static_cast<char>(code)) != std::string::npos) {
            EXPECT_GT(inkInside, 40) << "character '" << static_cast<char>(code) << "' has no glyph";
        }
    }
    int spaceInk = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            spaceInk += font.alpha(x, 2 * 64 + y) > 0;  // code 32: column 0, row 2
        }
    }
    EXPECT_EQ(spaceInk, 0) << "space is blank";
}

TEST(GeneratedImages, PanelsHaveTheirScreenSizesAndTransparentSurroundings)
{
    // The help, win and fail panels fill exactly their rectangles, see-through around their cards.
    struct Expected {
        const char* path;
        int width, height;
    };
    for (const Expected& panel :
         {Expected{"models/help.png", 900, 900}, Expected{"models/wintext.png", 664, 109},
          Expected{"models/failtext.png", 703, 102}}) {
        SCOPED_TRACE(panel.path);
        const Picture image(panel.path);
        ASSERT_TRUE(image.loaded());
        EXPECT_EQ(image.width(), panel.width);
        EXPECT_EQ(image.height(), panel.height);
        EXPECT_EQ(image.alpha(0, 0), 0) << "corner is transparent";
        EXPECT_GT(image.alpha(panel.width / 2, panel.height / 2), 200) << "centre is solid";
    }
    // On a 768-row screen the 900-row help panel loses 66 rows at top and bottom: nothing is drawn there.
    const Picture help("models/help.png");
    ASSERT_TRUE(help.loaded());
    for (int y : {0, 30, 65, 835, 870, 899}) {
        for (int x = 0; x < 900; ++x) {
            ASSERT_EQ(help.alpha(x, y), 0) << "row " << y;
        }
    }
}

TEST(GeneratedImages, FallbackTextureIsWhite)
{
    // A mesh without its texture is drawn plain white.
    const Picture white("models/white.jpg");
    ASSERT_TRUE(white.loaded());
    for (int y = 0; y < white.height(); ++y) {
        for (int x = 0; x < white.width(); ++x) {
            EXPECT_GE(white.channel(x, y, FI_RGBA_GREEN), 250);
        }
    }
}

}  // namespace frostline::test
