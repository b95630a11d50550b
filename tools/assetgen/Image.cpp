#include "tools/assetgen/Image.h"

#include <algorithm>
#include <cmath>

#include <FreeImage.h>

namespace frostline {

Image::Image(int width, int height, glm::vec4 colour)
    : w(width), h(height), pixels(static_cast<std::size_t>(width) * height, colour)
{
}

void Image::blend(int x, int y, glm::vec4 colour, float coverage)
{
    if (x < 0 || y < 0 || x >= w || y >= h) {
        return;
    }
    const float a = std::clamp(colour.a * coverage, 0.0f, 1.0f);
    glm::vec4& dst = at(x, y);
    const float outAlpha = a + dst.a * (1.0f - a);
    if (outAlpha <= 0.0f) {
        return;
    }
    const glm::vec3 rgb = (glm::vec3(colour) * a + glm::vec3(dst) * dst.a * (1.0f - a)) / outAlpha;
    dst = glm::vec4(rgb, outAlpha);
}

void Image::fillRoundedRect(float x0, float y0, float x1, float y1, float r, glm::vec4 colour)
{
    for (int y = std::max(0, int(y0)); y < std::min(h, int(std::ceil(y1))); ++y) {
        for (int x = std::max(0, int(x0)); x < std::min(w, int(std::ceil(x1))); ++x) {
            // Signed distance to the rounded rectangle, measured at the pixel centre.
            const glm::vec2 p(x + 0.5f, y + 0.5f);
            const glm::vec2 centre((x0 + x1) * 0.5f, (y0 + y1) * 0.5f);
            const glm::vec2 half((x1 - x0) * 0.5f - r, (y1 - y0) * 0.5f - r);
            const glm::vec2 q = glm::abs(p - centre) - half;
            const float distance = glm::length(glm::max(q, 0.0f)) + std::min(std::max(q.x, q.y), 0.0f) - r;
            blend(x, y, colour, std::clamp(0.5f - distance, 0.0f, 1.0f));
        }
    }
}

bool Image::savePng(const std::string& path) const
{
    return save(path, true);
}

bool Image::saveJpg(const std::string& path) const
{
    return save(path, false);
}

bool Image::save(const std::string& path, bool withAlpha) const
{
    FIBITMAP* bitmap = FreeImage_Allocate(w, h, withAlpha ? 32 : 24);
    if (!bitmap) {
        return false;
    }
    const int bytes = withAlpha ? 4 : 3;
    for (int y = 0; y < h; ++y) {
        // FreeImage keeps the bottom row first.
        BYTE* line = FreeImage_GetScanLine(bitmap, h - 1 - y);
        for (int x = 0; x < w; ++x) {
            const glm::vec4 c = glm::clamp(at(x, y), 0.0f, 1.0f);
            BYTE* p = line + x * bytes;
            p[FI_RGBA_RED] = static_cast<BYTE>(std::lround(c.r * 255.0f));
            p[FI_RGBA_GREEN] = static_cast<BYTE>(std::lround(c.g * 255.0f));
            p[FI_RGBA_BLUE] = static_cast<BYTE>(std::lround(c.b * 255.0f));
            if (withAlpha) {
                p[FI_RGBA_ALPHA] = static_cast<BYTE>(std::lround(c.a * 255.0f));
            }
        }
    }
    const bool saved = withAlpha ? FreeImage_Save(FIF_PNG, bitmap, path.c_str(), PNG_DEFAULT)
                                 : FreeImage_Save(FIF_JPEG, bitmap, path.c_str(), JPEG_QUALITYSUPERB);
    FreeImage_Unload(bitmap);
    return saved;
}

}  // namespace frostline
