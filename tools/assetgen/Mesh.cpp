#include "tools/assetgen/Mesh.h"

#include <algorithm>
#include <cmath>

#include <glm/gtc/matrix_transform.hpp>

namespace frostline {

Mesh::Mesh(std::string name, std::string material) : name(std::move(name)), material(std::move(material)) {}

void Mesh::addTriangle(glm::vec3 a, glm::vec3 b, glm::vec3 c, glm::vec2 uv)
{
    const glm::vec3 cross = glm::cross(b - a, c - a);
    const float area = glm::length(cross);
    if (area < 1e-9f) {
        return;  // degenerate corners would only give Assimp a zero normal
    }
    const glm::vec3 normal = cross / area;
    const std::uint32_t first = addVertex({a, normal, uv});
    addVertex({b, normal, uv});
    addVertex({c, normal, uv});
    addIndices(first, first + 1, first + 2);
}

void Mesh::addQuad(glm::vec3 a, glm::vec3 b, glm::vec3 c, glm::vec3 d, glm::vec2 uv)
{
    addTriangle(a, b, c, uv);
    addTriangle(a, c, d, uv);
}

std::uint32_t Mesh::addVertex(const MeshVertex& vertex)
{
    vertices.push_back(vertex);
    return static_cast<std::uint32_t>(vertices.size() - 1);
}

void Mesh::addIndices(std::uint32_t a, std::uint32_t b, std::uint32_t c)
{
    indices.insert(indices.end(), {a, b, c});
}

void Mesh::append(const Mesh& part, const glm::mat4& transform)
{
    const glm::mat3 normalMatrix = glm::transpose(glm::inverse(glm::mat3(transform)));
    // A mirroring transform turns the winding inside out; swap two corners back.
    const bool mirrored = glm::determinant(glm::mat3(transform)) < 0.0f;
    const auto base = static_cast<std::uint32_t>(vertices.size());
    for (const MeshVertex& v : part.vertices) {
        vertices.push_back({glm::vec3(transform * glm::vec4(v.position, 1.0f)),
                            glm::normalize(normalMatrix * v.normal), v.uv});
    }
    for (std::size_t i = 0; i + 2 < part.indices.size(); i += 3) {
        if (mirrored) {
            addIndices(base + part.indices[i], base + part.indices[i + 2], base + part.indices[i + 1]);
        } else {
            addIndices(base + part.indices[i], base + part.indices[i + 1], base + part.indices[i + 2]);
        }
    }
}

glm::vec3 Mesh::halfExtents() const
{
    glm::vec3 extents(0.0f);
    for (const MeshVertex& v : vertices) {
        extents = glm::max(extents, glm::abs(v.position));
    }
    return extents;
}

float Mesh::radius() const
{
    float largest = 0.0f;
    for (const MeshVertex& v : vertices) {
        largest = std::max(largest, glm::length(v.position));
    }
    return largest;
}

glm::mat4 placeAt(glm::vec3 offset)
{
    return glm::translate(glm::mat4(1.0f), offset);
}

glm::mat4 placeAt(glm::vec3 offset, glm::vec3 axis, float degrees)
{
    return glm::rotate(placeAt(offset), glm::radians(degrees), glm::normalize(axis));
}

}  // namespace frostline
