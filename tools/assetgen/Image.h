// RGBA images as the generator paints them (rows top-down, straight alpha,
// channels 0..1) and their output through FreeImage.
#pragma once

#include <string>
#include <vector>

#include <glm/glm.hpp>

namespace frostline {

class Image {
public:
    /// A width x height image (pixels) filled with colour.
    Image(int width, int height, glm::vec4 colour = glm::vec4(0.0f));

    int width() const { return w; }
    int height() const { return h; }
    /// Pixel at column x, row y counted from the top.
    glm::vec4& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * w + x]; }
    const glm::vec4& at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * w + x]; }
    /// Lays colour over the pixel with coverage 0..1 (source-over); ignores pixels outside.
    void blend(int x, int y, glm::vec4 colour, float coverage = 1.0f);
    /// Fills a rectangle with rounded corners (pixels), anti-aliased at the edges.
    void fillRoundedRect(float x0, float y0, float x1, float y1, float cornerRadius, glm::vec4 colour);

    /// Writes a 32-bit PNG with alpha; false when FreeImage cannot write it.
    bool savePng(const std::string& path) const;
    /// Writes a 24-bit JPEG (alpha dropped); false when FreeImage cannot write it.
    bool saveJpg(const std::string& path) const;

private:
    bool save(const std::string& path, bool withAlpha) const;

    int w;
    int h;
    std::vector<glm::vec4> pixels;
};

}  // namespace frostline
