#include "tests/assets/TerrainProbe.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

namespace frostline::test {

TerrainProbe::TerrainProbe(const std::string& modelPath)
{
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(
        modelPath, aiProcess_JoinIdenticalVertices | aiProcess_Triangulate | aiProcess_GenSmoothNormals);
    if (!scene || scene->mNumMeshes == 0) {
        return;
    }
    const aiMesh* mesh = scene->mMeshes[0];
    auto vertex = [&](unsigned i) {
        return glm::vec3(mesh->mVertices[i].x, mesh->mVertices[i].y, mesh->mVertices[i].z);
    };
    low = glm::vec2(std::numeric_limits<float>::max());
    high = -low;
    for (unsigned i = 0; i < mesh->mNumVertices; ++i) {
        const glm::vec3 v = vertex(i);
        radius = std::max(radius, glm::length(v));
        low = glm::min(low, glm::vec2(v.x, v.z));
        high = glm::max(high, glm::vec2(v.x, v.z));
    }
    buckets.resize(static_cast<std::size_t>(cells) * cells);
    for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
        const aiFace& face = mesh->mFaces[f];
        const Triangle t{vertex(face.mIndices[0]), vertex(face.mIndices[1]), vertex(face.mIndices[2])};
        triangles.push_back(t);
        const glm::vec2 lo =
            glm::min(glm::min(glm::vec2(t.a.x, t.a.z), glm::vec2(t.b.x, t.b.z)), glm::vec2(t.c.x, t.c.z));
        const glm::vec2 hi =
            glm::max(glm::max(glm::vec2(t.a.x, t.a.z), glm::vec2(t.b.x, t.b.z)), glm::vec2(t.c.x, t.c.z));
        const glm::ivec2 first =
            glm::clamp(glm::ivec2((lo - low) / (high - low) * float(cells)), 0, cells - 1);
        const glm::ivec2 last =
            glm::clamp(glm::ivec2((hi - low) / (high - low) * float(cells)), 0, cells - 1);
        for (int j = first.y; j <= last.y; ++j) {
            for (int i = first.x; i <= last.x; ++i) {
                buckets[static_cast<std::size_t>(j) * cells + i].push_back(triangles.size() - 1);
            }
        }
    }
}

const TerrainProbe::Triangle* TerrainProbe::triangleAt(float x, float z, float& height) const
{
    height = std::numeric_limits<float>::quiet_NaN();
    if (triangles.empty() || x < low.x || z < low.y || x > high.x || z > high.y) {
        return nullptr;
    }
    const glm::ivec2 cell =
        glm::clamp(glm::ivec2((glm::vec2(x, z) - low) / (high - low) * float(cells)), 0, cells - 1);
    const Triangle* best = nullptr;
    for (std::size_t index : buckets[static_cast<std::size_t>(cell.y) * cells + cell.x]) {
        const Triangle& t = triangles[index];
        // Barycentric weights of (x, z) in the triangle's projection onto the ground plane.
        const glm::vec2 a(t.a.x, t.a.z), b(t.b.x, t.b.z), c(t.c.x, t.c.z), p(x, z);
        const float area = (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y);
        if (std::abs(area) < 1e-9f) {
            continue;
        }
        const float wb = ((p.x - a.x) * (c.y - a.y) - (c.x - a.x) * (p.y - a.y)) / area;
        const float wc = ((b.x - a.x) * (p.y - a.y) - (p.x - a.x) * (b.y - a.y)) / area;
        const float wa = 1.0f - wb - wc;
        constexpr float edge = -1e-5f;
        if (wa < edge || wb < edge || wc < edge) {
            continue;
        }
        const float y = wa * t.a.y + wb * t.b.y + wc * t.c.y;
        if (!best || y > height) {
            best = &t;
            height = y;
        }
    }
    return best;
}

float TerrainProbe::heightAt(float x, float z) const
{
    float height = 0.0f;
    triangleAt(x, z, height);
    return height;
}

float TerrainProbe::slopeAt(float x, float z) const
{
    float height = 0.0f;
    const Triangle* t = triangleAt(x, z, height);
    if (!t) {
        return std::numeric_limits<float>::quiet_NaN();
    }
    const glm::vec3 normal = glm::normalize(glm::cross(t->b - t->a, t->c - t->a));
    return glm::degrees(std::acos(std::min(std::abs(normal.y), 1.0f)));
}

}  // namespace frostline::test
