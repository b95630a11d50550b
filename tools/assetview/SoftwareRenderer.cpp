#include "tools/assetview/SoftwareRenderer.h"

#include <algorithm>
#include <cmath>

#include <FreeImage.h>

namespace frostline {

glm::vec4 SampledTexture::sample(glm::vec2 uv) const
{
    if (texels.empty()) {
        return glm::vec4(1.0f);
    }
    const float x = uv.x * width - 0.5f, y = uv.y * height - 0.5f;
    const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    const float fx = x - x0, fy = y - y0;
    auto texel = [&](int tx, int ty) {
        tx = ((tx % width) + width) % width;
        ty = ((ty % height) + height) % height;
        return texels[static_cast<std::size_t>(ty) * width + tx];
    };
    return glm::mix(glm::mix(texel(x0, y0), texel(x0 + 1, y0), fx),
                    glm::mix(texel(x0, y0 + 1), texel(x0 + 1, y0 + 1), fx), fy);
}

SampledTexture loadTexture(const std::string& path)
{
    SampledTexture texture;
    const FREE_IMAGE_FORMAT format = FreeImage_GetFileType(path.c_str(), 0);
    FIBITMAP* image = format == FIF_UNKNOWN ? nullptr : FreeImage_Load(format, path.c_str(), 0);
    if (!image) {
        return texture;
    }
    FIBITMAP* pixels = FreeImage_ConvertTo32Bits(image);
    texture.width = static_cast<int>(FreeImage_GetWidth(pixels));
    texture.height = static_cast<int>(FreeImage_GetHeight(pixels));
    for (int y = 0; y < texture.height; ++y) {
        const BYTE* line = FreeImage_GetScanLine(pixels, y);
        for (int x = 0; x < texture.width; ++x) {
            const BYTE* p = line + 4 * x;
            texture.texels.emplace_back(p[FI_RGBA_RED] / 255.0f, p[FI_RGBA_GREEN] / 255.0f,
                                        p[FI_RGBA_BLUE] / 255.0f, p[FI_RGBA_ALPHA] / 255.0f);
        }
    }
    FreeImage_Unload(pixels);
    FreeImage_Unload(image);
    return texture;
}

SoftwareRenderer::SoftwareRenderer(int width, int height)
    : w(width), h(height), colour(width, height, glm::vec4(0.49f, 0.73f, 1.0f, 1.0f)),
      depth(static_cast<std::size_t>(width) * height, 1.0f)
{
}

void SoftwareRenderer::drawTriangles(const std::vector<glm::vec3>& positions,
                                     const std::vector<glm::vec3>& normals, const std::vector<glm::vec2>& uvs,
                                     const std::vector<unsigned>& indices, const glm::mat4& model,
                                     const std::function<glm::vec3(const Fragment&)>& shade)
{
    const glm::mat3 normalMatrix = glm::transpose(glm::inverse(glm::mat3(model)));
    for (std::size_t t = 0; t + 2 < indices.size(); t += 3) {
        glm::vec4 clip[3];
        glm::vec2 screen[3];
        Fragment corner[3];
        bool behind = false;
        for (int k = 0; k < 3; ++k) {
            const unsigned i = indices[t + k];
            const glm::vec4 world = model * glm::vec4(positions[i], 1.0f);
            clip[k] = viewProj * world;
            behind = behind || clip[k].w <= 0.05f;
            corner[k] = {glm::vec3(world), normals.empty() ? glm::vec3(0, 1, 0) : normalMatrix * normals[i],
                         uvs.empty() ? glm::vec2(0.0f) : uvs[i]};
            screen[k] = {(clip[k].x / clip[k].w * 0.5f + 0.5f) * w,
                         (0.5f - clip[k].y / clip[k].w * 0.5f) * h};
        }
        if (behind) {
            continue;
        }
        // Screen y grows downwards, so a counter-clockwise front face has a negative signed area here.
        const float area = (screen[1].x - screen[0].x) * (screen[2].y - screen[0].y) -
                           (screen[2].x - screen[0].x) * (screen[1].y - screen[0].y);
        if (area >= 0.0f) {
            continue;
        }
        const int minX =
            std::max(0, static_cast<int>(std::floor(std::min({screen[0].x, screen[1].x, screen[2].x}))));
        const int maxX =
            std::min(w - 1, static_cast<int>(std::ceil(std::max({screen[0].x, screen[1].x, screen[2].x}))));
        const int minY =
            std::max(0, static_cast<int>(std::floor(std::min({screen[0].y, screen[1].y, screen[2].y}))));
        const int maxY =
            std::min(h - 1, static_cast<int>(std::ceil(std::max({screen[0].y, screen[1].y, screen[2].y}))));
        for (int y = minY; y <= maxY; ++y) {
            for (int x = minX; x <= maxX; ++x) {
                const glm::vec2 p(x + 0.5f, y + 0.5f);
                float b[3];
                for (int k = 0; k < 3; ++k) {
                    const glm::vec2 a = screen[(k + 1) % 3], c = screen[(k + 2) % 3];
                    b[k] = ((c.x - a.x) * (p.y - a.y) - (p.x - a.x) * (c.y - a.y)) / area;
                }
                if (b[0] < 0.0f || b[1] < 0.0f || b[2] < 0.0f) {
                    continue;
                }
                // Perspective-correct weights and the depth of the pixel.
                float weights[3], sum = 0.0f, z = 0.0f;
                for (int k = 0; k < 3; ++k) {
                    weights[k] = b[k] / clip[k].w;
                    sum += weights[k];
                    z += b[k] * clip[k].z / clip[k].w;
                }
                float& stored = depth[static_cast<std::size_t>(y) * w + x];
                if (z < -1.0f || z >= stored) {
                    continue;
                }
                Fragment f{glm::vec3(0.0f), glm::vec3(0.0f), glm::vec2(0.0f)};
                for (int k = 0; k < 3; ++k) {
                    const float wk = weights[k] / sum;
                    f.position += corner[k].position * wk;
                    f.normal += corner[k].normal * wk;
                    f.uv += corner[k].uv * wk;
                }
                f.normal = glm::normalize(f.normal);
                stored = z;
                colour.at(x, y) = glm::vec4(shade(f), 1.0f);
            }
        }
    }
}

}  // namespace frostline
