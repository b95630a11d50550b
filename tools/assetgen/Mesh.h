// Triangle meshes as the generator builds them: positions, normals and texture
// coordinates per vertex, wound counter-clockwise seen from outside.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <glm/glm.hpp>

namespace frostline {

/// One corner of a triangle: model-space position, unit normal, texture coordinate.
struct MeshVertex {
    glm::vec3 position;
    glm::vec3 normal;
    glm::vec2 uv;
};

/// A named mesh with one material; becomes one object of a Wavefront file.
class Mesh {
public:
    /// An empty mesh with an object name and a material name.
    Mesh(std::string name, std::string material);

    /// Appends a flat-shaded triangle (counter-clockwise seen from outside), one uv for all corners.
    void addTriangle(glm::vec3 a, glm::vec3 b, glm::vec3 c, glm::vec2 uv);
    /// Appends a flat-shaded quad a-b-c-d (counter-clockwise seen from outside).
    void addQuad(glm::vec3 a, glm::vec3 b, glm::vec3 c, glm::vec3 d, glm::vec2 uv);
    /// Appends a vertex and returns its index.
    std::uint32_t addVertex(const MeshVertex& vertex);
    /// Appends a triangle of existing vertex indices.
    void addIndices(std::uint32_t a, std::uint32_t b, std::uint32_t c);
    /// Appends every triangle of part, moved by transform (normals by its inverse transpose).
    void append(const Mesh& part, const glm::mat4& transform);

    /// Largest |x|, |y| and |z| over the vertices (the half extents of a box body).
    glm::vec3 halfExtents() const;
    /// Largest distance of a vertex from the model origin.
    float radius() const;

    std::string name;                    ///< object name in the file
    std::string material;                ///< material name in the .mtl file
    std::vector<MeshVertex> vertices;    ///< corners
    std::vector<std::uint32_t> indices;  ///< three per triangle
};

/// Model-space transform helpers for placing parts (degrees).
glm::mat4 placeAt(glm::vec3 offset);
/// Turn about an axis through the origin by degrees, then move by offset.
glm::mat4 placeAt(glm::vec3 offset, glm::vec3 axis, float degrees);

}  // namespace frostline
