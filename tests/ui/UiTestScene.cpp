#include "tests/ui/UiTestScene.h"

#include <cstdlib>

#include <FreeImage.h>
#include <GL/glew.h>

#include "ui/Hud.h"
#include "ui/Panel.h"
#include "ui/TextLabel.h"

namespace frostline::test {

bool writeImage(const std::string& path, int width, int height,
                const std::function<ImagePixel(int x, int y)>& pixel)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    FIBITMAP* image = FreeImage_Allocate(width, height, 32);
    if (!image) {
        return false;
    }
    for (int y = 0; y < height; ++y) {
        // FreeImage keeps the bottom row first.
        BYTE* row = FreeImage_GetScanLine(image, height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const ImagePixel p = pixel(x, y);
            row[x * 4 + FI_RGBA_RED] = p.r;
            row[x * 4 + FI_RGBA_GREEN] = p.g;
            row[x * 4 + FI_RGBA_BLUE] = p.b;
            row[x * 4 + FI_RGBA_ALPHA] = p.a;
        }
    }
    const bool saved = FreeImage_Save(FIF_PNG, image, path.c_str(), 0);
    FreeImage_Unload(image);
    return saved;
}

Image readImage(const std::string& path)
{
    Image result;
    FIBITMAP* loaded = FreeImage_Load(FreeImage_GetFileType(path.c_str(), 0), path.c_str(), 0);
    if (!loaded) {
        return result;
    }
    FIBITMAP* image = FreeImage_ConvertTo32Bits(loaded);
    FreeImage_Unload(loaded);
    result.width = static_cast<int>(FreeImage_GetWidth(image));
    result.height = static_cast<int>(FreeImage_GetHeight(image));
    result.pixels.resize(static_cast<size_t>(result.width) * result.height);
    for (int y = 0; y < result.height; ++y) {
        const BYTE* row = FreeImage_GetScanLine(image, result.height - 1 - y);
        for (int x = 0; x < result.width; ++x) {
            result.pixels[static_cast<size_t>(y) * result.width + x] =
                ImagePixel{row[x * 4 + FI_RGBA_RED], row[x * 4 + FI_RGBA_GREEN], row[x * 4 + FI_RGBA_BLUE],
                           row[x * 4 + FI_RGBA_ALPHA]};
        }
    }
    FreeImage_Unload(image);
    return result;
}

ImagePixel testGlyphColor(char c, bool upperHalf)
{
    const int code = static_cast<unsigned char>(c);
    return ImagePixel{static_cast<uint8_t>(2 * code), static_cast<uint8_t>(255 - code),
                      static_cast<uint8_t>(upperHalf ? 200 : 50), 255};
}

bool writeTestFont(const std::string& path)
{
    return writeImage(path, 1024, 1024, [](int x, int y) {
        // Cell of the usual ASCII grid (codes 0-15 in the top row); inside it, only
        // columns 15..47 and the lower 63 rows belong to the glyph.
        const int code = (y / 64) * 16 + x / 64;
        const int cellX = x % 64;
        const int cellY = y % 64;
        if (cellX < 15 || cellX >= 48 || cellY == 0) {
            return testFontMargin;
        }
        return testGlyphColor(static_cast<char>(code), cellY < 32);
    });
}

UiTestFolder::UiTestFolder(bool withFont, bool withPanels) : previous(std::filesystem::current_path())
{
    ensureGlContext();
    // Start from nothing shared, so that the resources come from this folder.
    ui::shutdownUserInterface();
    std::filesystem::create_directory_symlink(previous / "Shader", dir.path() / "Shader");
    std::filesystem::create_directories(dir.path() / "models");
    std::filesystem::create_directory_symlink("models", dir.path() / "Models");
    if (withFont) {
        writeTestFont((dir.path() / "Models/font1.png").string());
    }
    if (withPanels) {
        const auto solid = [](ImagePixel color) { return [color](int, int) { return color; }; };
        writeImage((dir.path() / "models/help.png").string(), 90, 90, solid(testHelpColor));
        writeImage((dir.path() / "models/wintext.png").string(), 66, 11, solid(testWinColor));
        writeImage((dir.path() / "models/failtext.png").string(), 70, 10, solid(testFailColor));
    }
    std::filesystem::current_path(dir.path());
}

UiTestFolder::~UiTestFolder()
{
    ui::shutdownUserInterface();
    std::filesystem::current_path(previous);
}

void clearForUiTest()
{
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void saveScreenshot(const std::string& name)
{
    if (const char* folder = std::getenv("FROSTLINE_SCREENSHOT_DIR")) {
        savePixelsPng(std::string(folder) + "/" + name + ".png");
    }
}

}  // namespace frostline::test
