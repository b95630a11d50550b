#include "tools/assetgen/Textures.h"

#include <cmath>
#include <vector>

#include "tools/assetgen/Shapes.h"
#include "tools/assetgen/TextPainter.h"

namespace frostline {

namespace {

const std::string boldFont = std::string(dejaVuFolder) + "DejaVuSans-Bold.ttf";
const std::string regularFont = std::string(dejaVuFolder) + "DejaVuSans.ttf";
const std::string monoBoldFont = std::string(dejaVuFolder) + "DejaVuSansMono-Bold.ttf";

/// Value noise that repeats every period pixels in x and y (lattice cells of cell pixels).
float tiledNoise(int x, int y, int cell, int period, unsigned seed)
{
    const int cells = period / cell;
    const float fx = static_cast<float>(x) / cell, fy = static_cast<float>(y) / cell;
    const int ix = static_cast<int>(std::floor(fx)), iy = static_cast<int>(std::floor(fy));
    const float tx = fx - ix, ty = fy - iy;
    const float sx = tx * tx * (3 - 2 * tx), sy = ty * ty * (3 - 2 * ty);
    auto lattice = [&](int a, int b) {
        return latticeNoise((a % cells + cells) % cells, (b % cells + cells) % cells, 0, seed);
    };
    const float top = glm::mix(lattice(ix, iy), lattice(ix + 1, iy), sx);
    const float bottom = glm::mix(lattice(ix, iy + 1), lattice(ix + 1, iy + 1), sx);
    return glm::mix(top, bottom, sy);
}

glm::vec4 rgba(float r, float g, float b, float a = 1.0f)
{
    return {r, g, b, a};
}

}  // namespace

Image makeSnowTexture()
{
    constexpr int size = 256;
    Image image(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            // Nearly neutral white (the lit shader balances it against the sun): very soft
            // drifts, whose tiling would show, and fine grain, which hides it; rare glints
            // that sparkle up close and fade into the grain with the mipmaps.
            const float drift =
                tiledNoise(x, y, 128, size, 3u) * 0.5f + tiledNoise(x, y, 32, size, 4u) * 0.5f;
            const float grain = tiledNoise(x, y, 4, size, 5u) * 0.5f + tiledNoise(x, y, 2, size, 6u) * 0.3f +
                                latticeNoise(x, y, 0, 8u) * 0.2f;
            const float shade = 0.87f + 0.025f * drift + 0.13f * (grain - 0.5f);
            glm::vec3 colour(shade - 0.012f, shade - 0.004f, std::min(shade + 0.01f, 1.0f));
            if (latticeNoise(x, y, 1, 7u) > 0.993f) {
                colour = glm::vec3(1.0f);
            }
            image.at(x, y) = glm::vec4(colour, 1.0f);
        }
    }
    return image;
}

Image makeBillboardTexture()
{
    constexpr int width = 640, height = 256;
    Image image(width, height);
    // Sky, a sun and a mountain range behind the lettering.
    for (int y = 0; y < height; ++y) {
        const float t = static_cast<float>(y) / height;
        for (int x = 0; x < width; ++x) {
            image.at(x, y) =
                glm::vec4(glm::mix(glm::vec3(0.08f, 0.28f, 0.62f), glm::vec3(0.55f, 0.80f, 0.98f), t), 1.0f);
        }
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const float d = glm::length(glm::vec2(x - 520.0f, y - 70.0f));
            image.blend(x, y, rgba(1.0f, 0.55f, 0.15f), glm::clamp(42.0f - d, 0.0f, 1.0f));
        }
    }
    const float peaks[][3] = {{90, 120, 120}, {250, 95, 150}, {420, 130, 130}, {580, 110, 120}};
    for (int x = 0; x < width; ++x) {
        float ridge = height;
        float snowLine = height;
        for (const auto& p : peaks) {
            const float h = p[1] + std::abs(x - p[0]) * p[1] / p[2] * 0.9f;
            if (h < ridge) {
                ridge = h;
                snowLine = p[1] + 30.0f + 8.0f * std::sin(x * 0.21f);
            }
        }
        for (int y = static_cast<int>(ridge); y < height; ++y) {
            const bool snow = y < snowLine;
            image.at(x, y) = snow ? rgba(0.96f, 0.97f, 1.0f) : rgba(0.42f, 0.50f, 0.62f);
        }
    }
    const TextPainter bold(boldFont);
    if (bold.valid()) {
        bold.drawCentred(image, "FROSTLINE", 104, width * 0.5f, 150, rgba(1, 1, 1), 5,
                         rgba(0.75f, 0.08f, 0.06f));
        bold.drawCentred(image, "DOWNHILL RACE", 40, width * 0.5f, 222, rgba(1.0f, 0.85f, 0.1f), 3,
                         rgba(0.05f, 0.1f, 0.25f));
    }
    return image;
}

Image makeWhiteTexture()
{
    return Image(16, 16, glm::vec4(1.0f));
}

Image makeFontImage()
{
    Image image(fontImageSize, fontImageSize, glm::vec4(1.0f, 1.0f, 1.0f, 0.0f));
    const TextPainter mono(monoBoldFont);
    if (!mono.valid()) {
        return image;
    }
    // Every printable ASCII character; the ink stays inside columns 16..46 and rows 2..61 of its cell,
    // one pixel clear of what the text renderer samples, so filtering never bleeds a neighbour in.
    constexpr int baseline = 46, inkTop = 2, inkBottom = 62, usedLeft = fontInkLeft + 1,
                  usedRight = fontInkRight - 1;
    for (int code = 33; code < 127; ++code) {
        const std::string text(1, static_cast<char>(code));
        int size = 52;
        InkBox box = mono.measure(text, size);
        while (size > 20 && (box.width() > usedRight - usedLeft || baseline + box.top < inkTop ||
                             baseline + box.bottom > inkBottom)) {
            box = mono.measure(text, --size);
        }
        const int cellX = (code % 16) * fontCellSize, cellY = (code / 16) * fontCellSize;
        const float centre = cellX + (usedLeft + usedRight) * 0.5f;
        mono.draw(image, text, size, centre - (box.left + box.right) * 0.5f,
                  static_cast<float>(cellY + baseline), rgba(1, 1, 1));
    }
    return image;
}

namespace {

/// A banner panel: a rounded ribbon with a bold headline and a line below it.
Image makeBanner(int width, int height, glm::vec4 ribbon, glm::vec4 edge, const std::string& headline,
                 const std::string& line, glm::vec4 headlineColour)
{
    Image image(width, height, glm::vec4(1.0f, 1.0f, 1.0f, 0.0f));
    image.fillRoundedRect(2, 2, width - 2.0f, height - 2.0f, 24, edge);
    image.fillRoundedRect(7, 7, width - 7.0f, height - 7.0f, 19, ribbon);
    const TextPainter bold(boldFont), regular(regularFont);
    if (bold.valid() && regular.valid()) {
        // The largest headline that leaves a margin inside the ribbon.
        int size = 54;
        while (size > 16 && bold.measure(headline, size).width() > width - 80) {
            --size;
        }
        bold.drawCentred(image, headline, size, width * 0.5f, height * 0.58f, headlineColour, 3,
                         rgba(0.05f, 0.05f, 0.1f));
        regular.drawCentred(image, line, 19, width * 0.5f, height - 16.0f, rgba(1, 1, 1), 1,
                            rgba(0.05f, 0.05f, 0.1f));
    }
    return image;
}

/// The result banners' line: what races again and what leaves, on the keyboard or the gamepad.
std::string resultLine(bool gamepad)
{
    return gamepad ? "A: race again   Back twice: leave" : "Enter: race again   Esc: leave";
}

}  // namespace

Image makeWinPanel(bool gamepad)
{
    return makeBanner(winPanelWidth, winPanelHeight, rgba(0.08f, 0.45f, 0.22f, 0.92f),
                      rgba(1.0f, 0.82f, 0.1f, 1.0f), "YOU WON THE RACE!", resultLine(gamepad),
                      rgba(1.0f, 0.88f, 0.2f));
}

Image makeFailPanel(bool gamepad)
{
    return makeBanner(failPanelWidth, failPanelHeight, rgba(0.55f, 0.06f, 0.06f, 0.92f),
                      rgba(0.98f, 0.98f, 1.0f, 1.0f), "RACE LOST - GAME OVER", resultLine(gamepad),
                      rgba(1.0f, 1.0f, 1.0f));
}

Image makeHelpPanel()
{
    Image image(helpPanelSize, helpPanelSize, glm::vec4(1.0f, 1.0f, 1.0f, 0.0f));
    // Only rows 66..834 show on a 768-row screen: the card and its text stay inside them.
    image.fillRoundedRect(40, 74, helpPanelSize - 40.0f, helpPanelSize - 74.0f, 28,
                          rgba(0.55f, 0.80f, 1.0f, 0.95f));
    image.fillRoundedRect(46, 80, helpPanelSize - 46.0f, helpPanelSize - 80.0f, 23,
                          rgba(0.04f, 0.09f, 0.20f, 0.88f));
    const TextPainter bold(boldFont), regular(regularFont);
    if (!bold.valid() || !regular.valid()) {
        return image;
    }
    const glm::vec4 white = rgba(1, 1, 1), key = rgba(1.0f, 0.82f, 0.2f), heading = rgba(0.55f, 0.82f, 1.0f);
    const glm::vec4 pad = rgba(0.55f, 0.95f, 0.6f);
    bold.drawCentred(image, "FROSTLINE", 60, helpPanelSize * 0.5f, 150, white, 2, rgba(0.6f, 0.08f, 0.06f));
    regular.drawCentred(image, "help - the race is paused until you press F1 (Start) again", 22,
                        helpPanelSize * 0.5f, 186, rgba(0.8f, 0.88f, 1.0f));
    // Columns (pixels): keys, the gamepad's buttons where it has them, what they do.
    constexpr float keyColumn = 100, padColumn = 274, whatColumn = 330, padWhatColumn = 506;
    float y = 232;
    auto section = [&](const std::string& title) {
        bold.draw(image, title, 25, 90, y, heading);
        y += 35;
    };
    auto row = [&](const std::string& keys, const std::string& what) {
        bold.draw(image, keys, 22, keyColumn, y, key);
        regular.draw(image, what, 22, whatColumn, y, white);
        y += 27;
    };
    auto padRow = [&](const std::string& keys, const std::string& buttons, const std::string& what) {
        bold.draw(image, keys, 22, keyColumn, y, key);
        bold.draw(image, buttons, 22, padColumn, y, pad);
        regular.draw(image, what, 22, padWhatColumn, y, white);
        y += 27;
    };
    // The keys of the race first; the switches for looking at the picture after them, apart.
    regular.draw(image, "gamepad", 20, padColumn, y, pad);
    section("RACE KEYS");
    padRow("Up arrow", "A / right trigger", "push off and speed up");
    padRow("Down arrow", "B / left trigger", "brake with both feet");
    padRow("Left / Right", "left stick / D-pad", "steer and drag a foot");
    padRow("R", "Y", "back to the last gate passed");
    padRow("Enter", "A", "race again once it is decided");
    padRow("F1", "Start", "this help; the race waits");
    padRow("M", "", "sound off and on");
    padRow("G", "", "ghost rider off and on");
    padRow("Esc", "Back twice", "quit");
    y += 8;
    section("THE RACE");
    row("Gates 1 to 5", "pass them in order; a wrong gate loses");
    row("Amber sign", "the next gate; the arrow points to it");
    row("Clock", "10 s at the start, +10 s for every gate");
    row("Pick-ups", "snowflake 50 points, cow 500 and a boost");
    row("Ghost rider", "the guide's line, then your best run");
    y += 8;
    section("INSPECTION SWITCHES");
    row("F", "free camera: W A S D, Ctrl, Alt, mouse");
    row("F2 / F3", "frame time / wireframe");
    row("F4 / F5", "texture filter / mipmapping");
    row("F6 / F8 / F9", "motion blur / culling / blending");
    return image;
}

}  // namespace frostline
