#include "ui/TextLabel.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>

#include <GL/glew.h>
#include <gtest/gtest.h>

#include "app/Globals.h"
#include "tests/ui/UiTestScene.h"

using namespace frostline;
using namespace frostline::test;
using frostline::ui::TextLabel;

namespace {

/// Half a pixel in normalised device coordinates of the 1024 x 768 test window.
/// Labels placed by these offsets have every character edge on a whole pixel,
/// so that a 33 x 63 character maps texel for texel onto the window.
constexpr float halfPixelX = 1.0f / 1024.0f;
constexpr float halfPixelY = 1.0f / 768.0f;
/// The used part of a font cell: 33 x 63 texels.
constexpr float cellWidth = 33.0f;
constexpr float cellHeight = 63.0f;

/// Window rectangle (pixels, y up) covered by character i of a label of n characters.
struct PixelRect {
    int left, bottom, width, height;
};
PixelRect characterRect(const TextLabel& label, int i)
{
    const float n = static_cast<float>(label.text.size());
    const float sx = label.glyphWidth / static_cast<float>(windowWidth);
    const float centreX = label.x + 2.0f * sx * static_cast<float>(i) - n * sx;
    const float left = (centreX - sx + 1.0f) * 0.5f * static_cast<float>(windowWidth);
    const float bottom =
        (label.y + 1.0f) * 0.5f * static_cast<float>(windowHeight) - label.glyphHeight / 2.0f;
    return {static_cast<int>(std::lround(left)), static_cast<int>(std::lround(bottom)),
            static_cast<int>(label.glyphWidth), static_cast<int>(label.glyphHeight)};
}

bool near(uint8_t a, uint8_t b, int tolerance = 2)
{
    return std::abs(int(a) - int(b)) <= tolerance;
}

/// Compares the drawn character (white label over black) with the used part of its
/// font cell, texel for texel: the window shows the glyph's colour times its alpha.
/// Returns the number of pixels that differ.
int countMismatches(const PixelRect& rect, const Image& font, char c)
{
    const int code = static_cast<unsigned char>(c);
    const int cellLeft = (code % 16) * 64 + 15;
    const int cellTop = (code / 16) * 64 + 1;  // the cell's top picture row is not used
    int mismatches = 0;
    for (int dy = 0; dy < rect.height; ++dy) {
        for (int dx = 0; dx < rect.width; ++dx) {
            const ImagePixel texel = font.at(cellLeft + dx, cellTop + (rect.height - 1 - dy));
            const Rgba drawn = readPixel(rect.left + dx, rect.bottom + dy);
            const auto expected = [&](uint8_t channel) {
                return static_cast<uint8_t>((channel * texel.a + 127) / 255);
            };
            if (!near(drawn.r, expected(texel.r), 3) || !near(drawn.g, expected(texel.g), 3) ||
                !near(drawn.b, expected(texel.b), 3)) {
                ++mismatches;
            }
        }
    }
    return mismatches;
}

}  // namespace

TEST(GlyphTable, HoldsTheSeventyThreeCharactersInTheirAsciiCells)
{
    // The 71 of the font's first table, "+" for the race's messages ("+10 s", "+50") and
    // "%" for the render scale.
    const auto& cells = ui::glyphCells();
    EXPECT_EQ(cells.size(), 73u);
    for (const char c : std::string("0123456789azAZ !#%+,-./:_")) {
        ASSERT_TRUE(cells.count(c)) << c;
    }
    for (const char c : std::string("?'();=")) {
        EXPECT_FALSE(cells.count(c)) << c;
    }
    // 'A' is code 65: column 1 of the fifth row from the top, row 11 counted upwards.
    EXPECT_EQ(cells.at('A').column, 1.0f);
    EXPECT_EQ(cells.at('A').row, 11.0f);
    EXPECT_EQ(cells.at(' ').column, 0.0f);
    EXPECT_EQ(cells.at(' ').row, 13.0f);

    // The glyph is cut out of the cell: 15 pixels off the left, 16 off the right.
    const auto coords = ui::glyphTexCoords(cells.at('A'));
    EXPECT_FLOAT_EQ(coords[0].x, 79.0f / 1024.0f);
    EXPECT_FLOAT_EQ(coords[1].x, 112.0f / 1024.0f);
    EXPECT_FLOAT_EQ(coords[0].y, 704.0f / 1024.0f);
    EXPECT_FLOAT_EQ(coords[2].y, 767.0f / 1024.0f);
    EXPECT_EQ(coords[2], coords[3]);
    EXPECT_EQ(coords[1], coords[4]);
    EXPECT_EQ(coords[5], vec2(coords[1].x, coords[2].y));
}

TEST(TextLabel, SharedResourcesAreMadeOnceByTheFirstLabel)
{
    UiTestFolder folder;
    testing::internal::CaptureStdout();
    TextLabel first(12.0f, 24.0f, vec3(1.0f), "one");
    TextLabel second(12.0f, 24.0f, vec3(1.0f), "two");
    TextLabel third(12.0f, 24.0f, vec3(1.0f), "");
    std::string output = testing::internal::GetCapturedStdout();
    EXPECT_EQ(output.find("init panel"), output.rfind("init panel")) << output;
    EXPECT_NE(output.find("init panel\nLoading Texture: Models/font1.png"), std::string::npos) << output;
    EXPECT_TRUE(ui::textResourcesReady());

    // An empty text is one space, also after setText.
    EXPECT_EQ(third.text, " ");
    first.setText("");
    EXPECT_EQ(first.text, " ");
    EXPECT_EQ(first.x, 0.0f);
    EXPECT_EQ(first.y, 0.0f);

    // Released twice without harm; the next label makes them again.
    ui::releaseTextResources();
    ui::releaseTextResources();
    EXPECT_FALSE(ui::textResourcesReady());
    testing::internal::CaptureStdout();
    TextLabel again(12.0f, 24.0f, vec3(1.0f), "again");
    output = testing::internal::GetCapturedStdout();
    EXPECT_NE(output.find("init panel"), std::string::npos);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(TextLabel, CharactersShowTheirFontCellsSideBySide)
{
    UiTestFolder folder;
    clearForUiTest();
    // "A7" in white, each character one cell of the font large: the player sees
    // the A cell, then the 7 cell right next to it, upright, with no cell margin.
    TextLabel label(cellWidth, cellHeight, vec3(1.0f), "A7");
    label.x = halfPixelX;
    label.y = halfPixelY;
    label.draw();
    saveScreenshot("text_a7_generated_font");

    const Image font = readImage("Models/font1.png");
    ASSERT_EQ(font.width, 1024);
    const PixelRect a = characterRect(label, 0);
    const PixelRect seven = characterRect(label, 1);
    // The line is centred half a character left of x: it spans 512.5 - 49.5 to 512.5 + 16.5.
    EXPECT_EQ(a.left, 463);
    EXPECT_EQ(seven.left, 496);
    EXPECT_EQ(countMismatches(a, font, 'A'), 0);
    EXPECT_EQ(countMismatches(seven, font, '7'), 0);

    // Upright: the upper half of the cell is at the top of the character.
    const Rgba top = readPixel(a.left + 16, a.bottom + a.height - 5);
    const Rgba bottom = readPixel(a.left + 16, a.bottom + 5);
    EXPECT_EQ(top.b, testGlyphColor('A', true).b);
    EXPECT_EQ(bottom.b, testGlyphColor('A', false).b);
    // Nothing beyond the line.
    EXPECT_EQ(readPixel(a.left - 2, a.bottom + 30).r, 0);
    EXPECT_EQ(readPixel(seven.left + 35, a.bottom + 30).r, 0);
}

TEST(TextLabel, PlacementColourAndUnknownCharacters)
{
    UiTestFolder folder;
    clearForUiTest();
    // A one-character label at x = 0 is centred at -sx: it ends exactly at the screen's middle.
    TextLabel single(12.0f, 24.0f, vec3(1.0f), "A");
    single.draw();
    EXPECT_NE(readPixel(506, 384).g, 0);
    EXPECT_EQ(readPixel(513, 384).g, 0);
    EXPECT_EQ(readPixel(498, 384).g, 0);

    // Characters 12 pixels wide are 12 pixels apart; a character the font does not
    // have leaves its place blank; the colour tints the glyph.
    clearForUiTest();
    TextLabel tinted(12.0f, 24.0f, vec3(0.0f, 1.0f, 0.0f), "a?b");
    tinted.y = 0.5f;
    tinted.draw();
    const int row = 576;
    const int first = 512 - 24 + 6;  // the line spans 488 to 524: places centred at 494, 506, 518
    const Rgba a = readPixel(first, row);
    const Rgba unknown = readPixel(first + 12, row);
    const Rgba b = readPixel(first + 24, row);
    EXPECT_EQ(a.r, 0);  // red removed by the tint
    EXPECT_TRUE(near(a.g, testGlyphColor('a', true).g)) << int(a.g);
    EXPECT_TRUE(near(b.g, testGlyphColor('b', true).g)) << int(b.g);
    EXPECT_EQ(unknown.g, 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(TextLabel, TheGameFontShowsEachCharacterFromItsCell)
{
    ensureGlContext();
    if (!std::filesystem::exists(ui::fontImagePath)) {
        GTEST_SKIP() << "the game's font has not been generated into the runtime folder";
    }
    const Image font = readImage(ui::fontImagePath);
    ASSERT_EQ(font.width, 1024);
    ASSERT_EQ(font.height, 1024);
    clearForUiTest();
    // The countdown digit, a capital and a small letter, as a player reads them.
    TextLabel label(cellWidth, cellHeight, vec3(1.0f), "3Fs");
    label.y = halfPixelY;
    label.draw();
    saveScreenshot("text_game_font");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(countMismatches(characterRect(label, i), font, label.text[i]), 0) << label.text[i];
    }
    ui::releaseTextResources();
}

TEST(TextLabelDeathTest, AMissingFontStopsTheGameNamingTheFile)
{
    // Without the font nothing can be told to the player: start-up ends with the file's name.
    UiTestFolder folder(false, false);
    EXPECT_FATAL_EXIT(TextLabel(12.0f, 24.0f, vec3(1.0f), "x"),
                      "Failed to load the font image: Models/font1.png");
}

TEST(TextLabel, ALineReachingPastTheEdgeIsMovedOntoTheScreen)
{
    // Boxes inside the screen stay; one past the left or bottom edge moves right or
    // up just enough; one wider than the screen keeps its start visible.
    EXPECT_EQ(ui::onScreenShift(-0.5f, 0.5f, -0.2f, 0.2f), vec2(0.0f, 0.0f));
    EXPECT_EQ(ui::onScreenShift(-1.25f, -0.5f, -1.125f, -0.875f), vec2(0.25f, 0.125f));
    EXPECT_EQ(ui::onScreenShift(0.5f, 1.5f, 0.75f, 1.25f), vec2(-0.5f, -0.25f));
    EXPECT_EQ(ui::onScreenShift(-1.5f, 1.5f, 0.0f, 0.5f), vec2(0.5f, 0.0f));

    // The race time sits near the top left corner in 64-pixel characters: on the
    // 1024-pixel-wide window "12.50" would start 90 pixels left of the screen.
    UiTestFolder folder;
    clearForUiTest();
    TextLabel time(64.0f, 96.0f, vec3(1.0f), "12.50");
    time.x = -0.8f;
    time.y = 0.85f;
    time.draw();
    saveScreenshot("text_time_at_edge");
    // The "1" is the first thing on the left edge, the "0" ends 320 pixels in.
    const int row = 710;
    EXPECT_TRUE(near(readPixel(1, row).r, testGlyphColor('1', true).r)) << int(readPixel(1, row).r);
    EXPECT_TRUE(near(readPixel(62, row).r, testGlyphColor('1', true).r));
    EXPECT_TRUE(near(readPixel(290, row).r, testGlyphColor('0', true).r));
    EXPECT_EQ(readPixel(322, row).r, 0);
}
