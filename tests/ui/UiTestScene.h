// What the UI tests draw with: small generated images (a font whose cells say
// which character they hold, plain panels) in a temporary game folder, and
// reading back what reached the window.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/GlTestContext.h"
#include "tests/support/TestFiles.h"

namespace frostline::test {

/// One 8-bit RGBA pixel of an image file.
struct ImagePixel {
    uint8_t r = 0, g = 0, b = 0, a = 0;
};

/// Writes a PNG of width x height; pixel(x, y) gives each pixel with y counted
/// from the top row of the picture. False when FreeImage cannot write it.
bool writeImage(const std::string& path, int width, int height,
                const std::function<ImagePixel(int x, int y)>& pixel);

/// An image read back with FreeImage: pixels by (x, y) with y from the top row.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<ImagePixel> pixels;
    ImagePixel at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
/// Reads an image file; width 0 when it cannot be read.
Image readImage(const std::string& path);

/// Colour of the used part of character c's cell in the generated font:
/// red 2 * code, green 255 - code, blue 200 in the upper half and 50 in the lower.
ImagePixel testGlyphColor(char c, bool upperHalf);
/// Colour of the cell margins the glyphs must never show.
inline constexpr ImagePixel testFontMargin{255, 0, 255, 255};
/// Writes the generated 1024 x 1024 font.
bool writeTestFont(const std::string& path);

/// A temporary game folder to draw the UI from: "Shader/" of the real runtime
/// folder, a generated "Models/font1.png" and, on request, generated panels
/// "models/help.png" (blue), "models/wintext.png" (green) and "models/failtext.png"
/// (red). Makes it the working folder; on destruction releases everything the UI
/// made and returns to the previous folder.
class UiTestFolder {
public:
    explicit UiTestFolder(bool withFont = true, bool withPanels = true);
    ~UiTestFolder();
    UiTestFolder(const UiTestFolder&) = delete;
    UiTestFolder& operator=(const UiTestFolder&) = delete;

    /// The temporary folder.
    const std::filesystem::path& path() const { return dir.path(); }

private:
    TempDir dir;
    std::filesystem::path previous;
};

/// Solid panel colours of UiTestFolder.
inline constexpr ImagePixel testHelpColor{0, 0, 255, 255};
inline constexpr ImagePixel testWinColor{0, 255, 0, 255};
inline constexpr ImagePixel testFailColor{255, 0, 0, 255};

/// Clears the window to black with the game's blending and culling state.
void clearForUiTest();

/// Saves the window to <FROSTLINE_SCREENSHOT_DIR>/name.png when that variable is set.
void saveScreenshot(const std::string& name);

}  // namespace frostline::test
