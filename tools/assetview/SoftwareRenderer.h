// A small z-buffered triangle rasteriser for looking at the generated assets
// without a GPU: back faces culled (counter-clockwise fronts), textures sampled
// as the game uploads them (bottom row first), one sun light.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <glm/glm.hpp>

#include "tools/assetgen/Image.h"

namespace frostline {

/// A decoded texture, rows bottom first as OpenGL receives them.
struct SampledTexture {
    int width = 0, height = 0;
    std::vector<glm::vec4> texels;
    /// Bilinear sample with repeat wrapping; white when empty.
    glm::vec4 sample(glm::vec2 uv) const;
};

/// Loads an image file through FreeImage; an empty texture when it cannot be read.
SampledTexture loadTexture(const std::string& path);

/// What a pixel shader sees: interpolated world position, normal and texture coordinate.
struct Fragment {
    glm::vec3 position;
    glm::vec3 normal;
    glm::vec2 uv;
};

class SoftwareRenderer {
public:
    /// A width x height target (pixels) cleared to the sky colour.
    SoftwareRenderer(int width, int height);

    /// Sets the camera: view-projection matrix.
    void setViewProjection(const glm::mat4& viewProjection) { viewProj = viewProjection; }
    /// Draws indexed triangles moved by model; shade turns a fragment into a colour.
    void drawTriangles(const std::vector<glm::vec3>& positions, const std::vector<glm::vec3>& normals,
                       const std::vector<glm::vec2>& uvs, const std::vector<unsigned>& indices,
                       const glm::mat4& model, const std::function<glm::vec3(const Fragment&)>& shade);
    /// The picture so far.
    const Image& image() const { return colour; }

private:
    int w, h;
    glm::mat4 viewProj{1.0f};
    Image colour;
    std::vector<float> depth;
};

}  // namespace frostline
