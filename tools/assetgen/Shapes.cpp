#include "tools/assetgen/Shapes.h"

#include <cmath>

#include <glm/gtc/constants.hpp>

namespace frostline {

Mesh makeBox(glm::vec3 h, glm::vec2 uv)
{
    Mesh mesh("box", "");
    const glm::vec3 p[8] = {{-h.x, -h.y, -h.z}, {h.x, -h.y, -h.z}, {h.x, h.y, -h.z}, {-h.x, h.y, -h.z},
                            {-h.x, -h.y, h.z},  {h.x, -h.y, h.z},  {h.x, h.y, h.z},  {-h.x, h.y, h.z}};
    mesh.addQuad(p[4], p[5], p[6], p[7], uv);  // +z
    mesh.addQuad(p[1], p[0], p[3], p[2], uv);  // -z
    mesh.addQuad(p[5], p[1], p[2], p[6], uv);  // +x
    mesh.addQuad(p[0], p[4], p[7], p[3], uv);  // -x
    mesh.addQuad(p[7], p[6], p[2], p[3], uv);  // +y
    mesh.addQuad(p[0], p[1], p[5], p[4], uv);  // -y
    return mesh;
}

Mesh makeFrustum(float bottomRadius, float topRadius, float height, int sides, glm::vec2 sideUv,
                 glm::vec2 capUv, float phaseDegrees)
{
    Mesh mesh("frustum", "");
    const glm::vec3 bottomCentre(0.0f), topCentre(0.0f, height, 0.0f);
    for (int i = 0; i < sides; ++i) {
        const float a0 = glm::radians(phaseDegrees) + 2.0f * glm::pi<float>() * i / sides;
        const float a1 = glm::radians(phaseDegrees) + 2.0f * glm::pi<float>() * (i + 1) / sides;
        // Going round counter-clockwise seen from above keeps the sides facing out.
        const glm::vec3 d0(std::cos(a0), 0.0f, -std::sin(a0)), d1(std::cos(a1), 0.0f, -std::sin(a1));
        const glm::vec3 b0 = d0 * bottomRadius, b1 = d1 * bottomRadius;
        const glm::vec3 t0 = topCentre + d0 * topRadius, t1 = topCentre + d1 * topRadius;
        if (topRadius > 0.0f) {
            mesh.addQuad(b0, b1, t1, t0, sideUv);
            mesh.addTriangle(topCentre, t0, t1, capUv);
        } else {
            mesh.addTriangle(b0, b1, topCentre, sideUv);
        }
        if (bottomRadius > 0.0f) {
            mesh.addTriangle(bottomCentre, b1, b0, capUv);
        }
    }
    return mesh;
}

Mesh makeLimb(glm::vec3 a, glm::vec3 b, float ra, float rb, int sides, glm::vec2 uv)
{
    const glm::vec3 axis = b - a;
    const float length = glm::length(axis);
    const glm::vec3 y = axis / length;
    // Any unit vector not parallel to the axis gives the limb's own frame.
    const glm::vec3 helper = std::abs(y.y) < 0.9f ? glm::vec3(0, 1, 0) : glm::vec3(1, 0, 0);
    const glm::vec3 x = glm::normalize(glm::cross(helper, y));
    const glm::vec3 z = glm::cross(x, y);
    const glm::mat4 frame(glm::vec4(x, 0), glm::vec4(y, 0), glm::vec4(z, 0), glm::vec4(a, 1));
    Mesh limb("limb", "");
    limb.append(makeFrustum(ra, rb, length, sides, uv, uv, 45.0f), frame);
    return limb;
}

Mesh makeEllipsoid(glm::vec3 radii, int rings, int segments, glm::vec2 uv, float jitter, unsigned seed)
{
    // Corners on a latitude / longitude grid, each pushed in or out a little.
    std::vector<glm::vec3> corners((rings + 1) * segments);
    for (int r = 0; r <= rings; ++r) {
        const float polar = glm::pi<float>() * r / rings;
        for (int s = 0; s < segments; ++s) {
            const float azimuth = 2.0f * glm::pi<float>() * (s + 0.5f * (r % 2)) / segments;
            glm::vec3 d(std::sin(polar) * std::cos(azimuth), std::cos(polar),
                        -std::sin(polar) * std::sin(azimuth));
            const bool pole = r == 0 || r == rings;
            const float push = 1.0f + jitter * (2.0f * latticeNoise(pole ? 0 : s, r, 7, seed) - 1.0f);
            corners[r * segments + s] = d * radii * push;
        }
    }
    Mesh mesh("ellipsoid", "");
    for (int r = 0; r < rings; ++r) {
        for (int s = 0; s < segments; ++s) {
            const int s1 = (s + 1) % segments;
            const glm::vec3 a = corners[r * segments + s], b = corners[r * segments + s1];
            const glm::vec3 c = corners[(r + 1) * segments + s1], d = corners[(r + 1) * segments + s];
            if (r == 0) {
                mesh.addTriangle(a, d, c, uv);
            } else if (r == rings - 1) {
                mesh.addTriangle(a, d, b, uv);
            } else {
                mesh.addTriangle(a, d, c, uv);
                mesh.addTriangle(a, c, b, uv);
            }
        }
    }
    return mesh;
}

void paintTriangles(Mesh& mesh, const std::function<bool(glm::vec3, glm::vec3, glm::vec2&)>& painter)
{
    for (std::size_t i = 0; i + 2 < mesh.indices.size(); i += 3) {
        MeshVertex& a = mesh.vertices[mesh.indices[i]];
        MeshVertex& b = mesh.vertices[mesh.indices[i + 1]];
        MeshVertex& c = mesh.vertices[mesh.indices[i + 2]];
        const glm::vec3 centroid = (a.position + b.position + c.position) / 3.0f;
        const glm::vec3 normal = glm::normalize(glm::cross(b.position - a.position, c.position - a.position));
        glm::vec2 uv = a.uv;
        if (painter(centroid, normal, uv)) {
            a.uv = b.uv = c.uv = uv;
        }
    }
}

float latticeNoise(int x, int y, int z, unsigned seed)
{
    std::uint32_t h = seed * 0x9E3779B9u;
    h ^= static_cast<std::uint32_t>(x) * 0x85EBCA6Bu;
    h = (h << 13) | (h >> 19);
    h ^= static_cast<std::uint32_t>(y) * 0xC2B2AE35u;
    h = (h << 17) | (h >> 15);
    h ^= static_cast<std::uint32_t>(z) * 0x27D4EB2Fu;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return static_cast<float>(h & 0xFFFFFFu) / static_cast<float>(0xFFFFFF);
}

float valueNoise(glm::vec3 p, unsigned seed)
{
    const glm::vec3 cell = glm::floor(p);
    const glm::vec3 f = p - cell;
    const glm::vec3 w = f * f * (3.0f - 2.0f * f);
    const int x = static_cast<int>(cell.x), y = static_cast<int>(cell.y), z = static_cast<int>(cell.z);
    auto n = [&](int dx, int dy, int dz) { return latticeNoise(x + dx, y + dy, z + dz, seed); };
    const float x00 = glm::mix(n(0, 0, 0), n(1, 0, 0), w.x), x10 = glm::mix(n(0, 1, 0), n(1, 1, 0), w.x);
    const float x01 = glm::mix(n(0, 0, 1), n(1, 0, 1), w.x), x11 = glm::mix(n(0, 1, 1), n(1, 1, 1), w.x);
    return glm::mix(glm::mix(x00, x10, w.y), glm::mix(x01, x11, w.y), w.z);
}

}  // namespace frostline
