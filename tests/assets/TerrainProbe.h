// Reads the generated terrain as the game imports it and answers where the snow
// is: the height and the slope of the triangle below a point.
#pragma once

#include <string>
#include <vector>

#include <glm/glm.hpp>

namespace frostline::test {

class TerrainProbe {
public:
    /// Imports the first mesh of the model (Assimp, the game's flags); empty when it cannot.
    explicit TerrainProbe(const std::string& modelPath);

    /// True when the model had a mesh.
    bool loaded() const { return !triangles.empty(); }
    /// Height of the highest surface triangle above (x, z), or NaN when none lies there (world units).
    float heightAt(float x, float z) const;
    /// Slope of that triangle in degrees (0 flat, 90 vertical), or NaN.
    float slopeAt(float x, float z) const;
    /// Number of triangles of the first mesh.
    std::size_t triangleCount() const { return triangles.size(); }
    /// Largest distance of a vertex from the origin (the game's bounding radius).
    float boundingRadius() const { return radius; }

private:
    struct Triangle {
        glm::vec3 a, b, c;
    };
    const Triangle* triangleAt(float x, float z, float& height) const;

    std::vector<Triangle> triangles;
    std::vector<std::vector<std::size_t>> buckets;  ///< triangles per cell of a coarse grid over x and z
    glm::vec2 low{0.0f}, high{0.0f};
    int cells = 64;
    float radius = 0.0f;
};

}  // namespace frostline::test
