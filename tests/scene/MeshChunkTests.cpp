#include "scene/MeshChunks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include <glm/gtc/matrix_transform.hpp>

using namespace frostline;
using scene::MeshChunk;

namespace {

/// A rolling height field of n x n quads, two triangles each, over x and z in [0, 80].
struct Field {
    std::vector<vec3> positions;
    std::vector<std::uint32_t> indices;
};

Field heightField(int n)
{
    Field field;
    for (int j = 0; j <= n; ++j) {
        for (int i = 0; i <= n; ++i) {
            const float x = 80.0f * static_cast<float>(i) / static_cast<float>(n);
            const float z = 80.0f * static_cast<float>(j) / static_cast<float>(n);
            field.positions.emplace_back(x, 3.0f * std::sin(x * 0.2f) * std::cos(z * 0.15f), z);
        }
    }
    const auto at = [n](int i, int j) { return static_cast<std::uint32_t>(j * (n + 1) + i); };
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < n; ++i) {
            field.indices.insert(field.indices.end(), {at(i, j), at(i + 1, j), at(i, j + 1)});
            field.indices.insert(field.indices.end(), {at(i + 1, j), at(i + 1, j + 1), at(i, j + 1)});
        }
    }
    return field;
}

using Triangle = std::array<std::uint32_t, 3>;

std::vector<Triangle> triangles(const std::vector<std::uint32_t>& indices, std::uint32_t first,
                                std::uint32_t count)
{
    std::vector<Triangle> result;
    for (std::uint32_t i = first; i + 3 <= first + count; i += 3) {
        result.push_back({indices[i], indices[i + 1], indices[i + 2]});
    }
    return result;
}

/// A camera at (40, 10, 90) looking towards -z over the field, 60 degrees high.
mat4 cameraOverTheField()
{
    return perspective(glm::radians(60.0f), 4.0f / 3.0f, 0.5f, 500.0f) *
           lookAt(vec3(40.0f, 10.0f, 90.0f), vec3(40.0f, 0.0f, 40.0f), vec3(0.0f, 1.0f, 0.0f));
}

}  // namespace

TEST(MeshChunks, EveryTriangleLandsInExactlyOneChunkThatHoldsItWhole)
{
    Field field = heightField(32);
    const std::vector<std::uint32_t> original = field.indices;
    const std::vector<MeshChunk> chunks = scene::sortIntoChunks(field.positions, field.indices, 8);

    // 64 cells over the two long sides (x and z), every one of them used.
    ASSERT_EQ(chunks.size(), 64u);
    std::uint32_t expectedFirst = 0;
    std::vector<Triangle> gathered;
    for (const MeshChunk& chunk : chunks) {
        // Chunks follow one another in the buffer without gaps.
        EXPECT_EQ(chunk.firstIndex, expectedFirst);
        EXPECT_EQ(chunk.indexCount % 3, 0u);
        expectedFirst += chunk.indexCount;
        for (const Triangle& t : triangles(field.indices, chunk.firstIndex, chunk.indexCount)) {
            for (std::uint32_t index : t) {
                const vec3& p = field.positions[index];
                EXPECT_TRUE(glm::all(glm::greaterThanEqual(p, chunk.boxMin)) &&
                            glm::all(glm::lessThanEqual(p, chunk.boxMax)))
                    << "a vertex of a chunk's triangle lies outside its box";
            }
            gathered.push_back(t);
        }
    }
    EXPECT_EQ(expectedFirst, original.size());

    // The same triangles, each with its corners in the same order (the facing is kept).
    std::vector<Triangle> before = triangles(original, 0, static_cast<std::uint32_t>(original.size()));
    std::sort(before.begin(), before.end());
    std::sort(gathered.begin(), gathered.end());
    EXPECT_EQ(gathered, before);

    // Within a chunk the file's order holds: the first chunk's triangles come in the
    // order they had before.
    const std::vector<Triangle> firstChunk =
        triangles(field.indices, chunks[0].firstIndex, chunks[0].indexCount);
    std::vector<size_t> places;
    const std::vector<Triangle> all = triangles(original, 0, static_cast<std::uint32_t>(original.size()));
    for (const Triangle& t : firstChunk) {
        places.push_back(static_cast<size_t>(std::find(all.begin(), all.end(), t) - all.begin()));
    }
    EXPECT_TRUE(std::is_sorted(places.begin(), places.end()));
}

TEST(MeshChunks, OddInputsGiveNoChunksOrKeepTheirIndices)
{
    // No triangles, or no positions: nothing to split.
    std::vector<std::uint32_t> none;
    EXPECT_TRUE(scene::sortIntoChunks({vec3(0.0f)}, none, 8).empty());
    std::vector<std::uint32_t> someIndices = {0, 1, 2};
    EXPECT_TRUE(scene::sortIntoChunks({}, someIndices, 8).empty());

    // A flat strip along x (no extent in y or z), an index past the positions and a
    // partial face at the end: every index is kept, the tail stays last.
    const std::vector<vec3> strip = {vec3(0, 0, 0), vec3(10, 0, 0), vec3(20, 0, 0), vec3(30, 0, 0)};
    std::vector<std::uint32_t> indices = {2, 3, 1, 0, 1, 99, 0, 1};
    const std::vector<MeshChunk> chunks = scene::sortIntoChunks(strip, indices, 4);
    ASSERT_FALSE(chunks.empty());
    std::uint32_t covered = 0;
    for (const MeshChunk& chunk : chunks) {
        covered += chunk.indexCount;
        EXPECT_TRUE(std::isfinite(chunk.boxMin.x) && std::isfinite(chunk.boxMax.x));
    }
    EXPECT_EQ(covered, 6u);
    ASSERT_EQ(indices.size(), 8u);
    EXPECT_EQ(indices[6], 0u);
    EXPECT_EQ(indices[7], 1u);
    // The face with the stray index counts as touching the origin: it sorts first.
    EXPECT_EQ(indices[0], 0u);
    EXPECT_EQ(indices[2], 99u);
}

TEST(MeshChunks, OnlyBoxesWhollyBeyondOneSideOfTheViewAreLeftOut)
{
    const mat4 mvp = cameraOverTheField();
    // In front of the camera, in the middle of the picture.
    EXPECT_FALSE(scene::boxOutsideView(mvp, vec3(35, -1, 30), vec3(45, 1, 40)));
    // Behind the camera, beside it on either hand, and past the far plane.
    EXPECT_TRUE(scene::boxOutsideView(mvp, vec3(35, -1, 95), vec3(45, 1, 120)));
    EXPECT_TRUE(scene::boxOutsideView(mvp, vec3(-200, -1, 60), vec3(-150, 1, 70)));
    EXPECT_TRUE(scene::boxOutsideView(mvp, vec3(230, -1, 60), vec3(280, 1, 70)));
    EXPECT_TRUE(scene::boxOutsideView(mvp, vec3(35, -1, -900), vec3(45, 1, -800)));
    // A box around the camera itself, and one reaching across the near plane into view.
    EXPECT_FALSE(scene::boxOutsideView(mvp, vec3(0, 0, 0), vec3(80, 20, 100)));
    EXPECT_FALSE(scene::boxOutsideView(mvp, vec3(39, 9, 85), vec3(41, 11, 95)));
    // Far to the left though ahead of the camera: beyond the left side only.
    EXPECT_TRUE(scene::boxOutsideView(mvp, vec3(-400, -1, -100), vec3(-300, 1, 0)));
    // A box that only touches the left edge of the view stays.
    const vec4 edge = glm::inverse(mvp) * vec4(-1.0f, 0.0f, 0.5f, 1.0f);
    const vec3 onEdge = vec3(edge) / edge.w;
    EXPECT_FALSE(scene::boxOutsideView(mvp, onEdge - vec3(5.0f, 0.5f, 0.5f), onEdge));
    // Not-a-number corners are never taken for outside.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_FALSE(scene::boxOutsideView(mvp, vec3(nan), vec3(nan)));
}

TEST(MeshChunks, AViewOverTheFieldLeavesOutTheChunksBehindAndBeside)
{
    Field field = heightField(64);
    const std::vector<MeshChunk> chunks = scene::sortIntoChunks(field.positions, field.indices, 8);
    const mat4 mvp = cameraOverTheField() * glm::translate(mat4(1.0f), vec3(0.0f, 0.0f, 60.0f));
    size_t outside = 0;
    for (const MeshChunk& chunk : chunks) {
        const bool left = scene::boxOutsideView(mvp, chunk.boxMin, chunk.boxMax);
        outside += left ? 1 : 0;
        // Every triangle of a chunk left out lies beyond the same side of the view.
        if (left) {
            for (std::uint32_t i = chunk.firstIndex; i < chunk.firstIndex + chunk.indexCount; ++i) {
                const vec4 c = mvp * vec4(field.positions[field.indices[i]], 1.0f);
                EXPECT_FALSE(c.w > 0.0f && std::abs(c.x) < c.w && std::abs(c.y) < c.w && std::abs(c.z) < c.w)
                    << "a vertex of a chunk left out is in view";
            }
        }
    }
    // The field moved 60 towards the camera: its near part is behind it.
    EXPECT_GT(outside, 8u);
    EXPECT_LT(outside, chunks.size());
}
