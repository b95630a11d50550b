#include "tools/assetgen/Palette.h"

namespace frostline {

namespace {

constexpr int swatchColumns = 8;
constexpr int swatchPixels = 16;

/// Linear 0..1 colours, in the order of Swatch.
constexpr glm::vec3 swatchColours[] = {
    {0.95f, 0.97f, 1.00f}, {0.80f, 0.86f, 0.95f}, {0.07f, 0.23f, 0.15f}, {0.11f, 0.31f, 0.19f},
    {0.18f, 0.40f, 0.24f}, {0.35f, 0.22f, 0.12f}, {0.22f, 0.14f, 0.08f}, {0.80f, 0.64f, 0.42f},
    {0.60f, 0.43f, 0.25f}, {0.34f, 0.35f, 0.38f}, {0.48f, 0.49f, 0.52f}, {0.62f, 0.63f, 0.65f},
    {0.92f, 0.12f, 0.08f}, {0.97f, 0.97f, 0.97f}, {1.00f, 0.80f, 0.05f}, {0.06f, 0.06f, 0.07f},
    {0.94f, 0.93f, 0.89f}, {0.93f, 0.60f, 0.62f}, {0.86f, 0.80f, 0.64f}, {0.62f, 0.84f, 1.00f},
    {0.88f, 0.96f, 1.00f}, {0.78f, 0.10f, 0.07f}, {0.72f, 0.50f, 0.27f}, {0.55f, 0.57f, 0.62f},
    {0.10f, 0.36f, 0.82f}, {0.06f, 0.20f, 0.52f}, {0.16f, 0.16f, 0.24f}, {0.94f, 0.74f, 0.60f},
    {1.00f, 0.74f, 0.08f}, {0.26f, 0.16f, 0.10f}, {0.55f, 0.40f, 0.25f}, {0.86f, 0.14f, 0.20f},
    {0.11f, 0.11f, 0.13f},
};
static_assert(sizeof(swatchColours) / sizeof(swatchColours[0]) == static_cast<int>(Swatch::Count));

}  // namespace

glm::vec2 swatchUv(Swatch swatch)
{
    const int index = static_cast<int>(swatch);
    const float size = static_cast<float>(swatchColumns);
    return {(index % swatchColumns + 0.5f) / size, 1.0f - (index / swatchColumns + 0.5f) / size};
}

Image paletteImage()
{
    Image image(swatchColumns * swatchPixels, swatchColumns * swatchPixels, glm::vec4(1.0f));
    for (int i = 0; i < static_cast<int>(Swatch::Count); ++i) {
        const int x0 = (i % swatchColumns) * swatchPixels, y0 = (i / swatchColumns) * swatchPixels;
        for (int y = 0; y < swatchPixels; ++y) {
            for (int x = 0; x < swatchPixels; ++x) {
                image.at(x0 + x, y0 + y) = glm::vec4(swatchColours[i], 1.0f);
            }
        }
    }
    return image;
}

}  // namespace frostline
