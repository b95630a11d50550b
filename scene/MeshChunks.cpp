#include "scene/MeshChunks.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace frostline::scene {

std::vector<MeshChunk> sortIntoChunks(const std::vector<vec3>& positions, std::vector<std::uint32_t>& indices,
                                      int cellsPerSide)
{
    const size_t faceCount = indices.size() / 3;
    if (faceCount == 0 || positions.empty() || cellsPerSide < 1) {
        return {};
    }
    const auto position = [&](std::uint32_t index) {
        return index < positions.size() ? positions[index] : vec3(0.0f);
    };

    // The grid lies over the two longest sides of the box around the vertices.
    vec3 low = positions.front();
    vec3 high = positions.front();
    for (const vec3& p : positions) {
        low = glm::min(low, p);
        high = glm::max(high, p);
    }
    const vec3 size = high - low;
    std::array<int, 3> axes = {0, 1, 2};
    std::sort(axes.begin(), axes.end(), [&](int a, int b) { return size[a] > size[b]; });
    const int u = axes[0];
    const int v = axes[1];
    const auto cellAlong = [&](float value, int axis) {
        if (size[axis] <= 0.0f || !std::isfinite(value)) {
            return 0;
        }
        const int cell =
            static_cast<int>((value - low[axis]) / size[axis] * static_cast<float>(cellsPerSide));
        return std::clamp(cell, 0, cellsPerSide - 1);
    };

    // Cells in rows, each row running the other way from the last: the cells a view
    // takes in tend to be neighbours in the buffer, and so one draw.
    const int cellCount = cellsPerSide * cellsPerSide;
    std::vector<int> faceCell(faceCount);
    std::vector<std::uint32_t> facesInCell(static_cast<size_t>(cellCount), 0);
    for (size_t f = 0; f < faceCount; ++f) {
        const vec3 centre =
            (position(indices[3 * f]) + position(indices[3 * f + 1]) + position(indices[3 * f + 2])) / 3.0f;
        const int row = cellAlong(centre[v], v);
        const int column = cellAlong(centre[u], u);
        faceCell[f] = row * cellsPerSide + ((row % 2 == 0) ? column : cellsPerSide - 1 - column);
        ++facesInCell[static_cast<size_t>(faceCell[f])];
    }

    // A stable counting sort of the faces by cell.
    std::vector<std::uint32_t> nextFace(static_cast<size_t>(cellCount), 0);
    for (int cell = 1; cell < cellCount; ++cell) {
        nextFace[static_cast<size_t>(cell)] =
            nextFace[static_cast<size_t>(cell - 1)] + facesInCell[static_cast<size_t>(cell - 1)];
    }
    std::vector<MeshChunk> chunks;
    for (int cell = 0; cell < cellCount; ++cell) {
        if (facesInCell[static_cast<size_t>(cell)] > 0) {
            MeshChunk chunk;
            chunk.firstIndex = 3 * nextFace[static_cast<size_t>(cell)];
            chunk.indexCount = 3 * facesInCell[static_cast<size_t>(cell)];
            chunk.boxMin = vec3(INFINITY);
            chunk.boxMax = vec3(-INFINITY);
            chunks.push_back(chunk);
        }
    }
    std::vector<std::uint32_t> sorted(indices.size());
    for (size_t f = 0; f < faceCount; ++f) {
        const std::uint32_t to = nextFace[static_cast<size_t>(faceCell[f])]++;
        std::copy_n(indices.begin() + static_cast<std::ptrdiff_t>(3 * f), 3,
                    sorted.begin() + static_cast<std::ptrdiff_t>(3 * to));
    }
    // A partial face at the end (fewer than three indices) stays where it was.
    std::copy(indices.begin() + static_cast<std::ptrdiff_t>(3 * faceCount), indices.end(),
              sorted.begin() + static_cast<std::ptrdiff_t>(3 * faceCount));
    indices.swap(sorted);

    // Each chunk's box holds its triangles whole, not just their centres' cell.
    for (MeshChunk& chunk : chunks) {
        for (std::uint32_t i = chunk.firstIndex; i < chunk.firstIndex + chunk.indexCount; ++i) {
            chunk.boxMin = glm::min(chunk.boxMin, position(indices[i]));
            chunk.boxMax = glm::max(chunk.boxMax, position(indices[i]));
        }
    }
    return chunks;
}

bool boxOutsideView(const mat4& mvp, const vec3& boxMin, const vec3& boxMax)
{
    // In clip space the view is -w <= x, y, z <= w. Each bound is linear in the model-space
    // point, so a box lies beyond one when all eight corners do.
    std::array<vec4, 8> corners;
    for (int c = 0; c < 8; ++c) {
        const vec3 p((c & 1) ? boxMax.x : boxMin.x, (c & 2) ? boxMax.y : boxMin.y,
                     (c & 4) ? boxMax.z : boxMin.z);
        corners[static_cast<size_t>(c)] = mvp * vec4(p, 1.0f);
    }
    // A corner counts as beyond a bound only by more than this share of its size.
    constexpr float margin = 1e-4f;
    for (int axis = 0; axis < 3; ++axis) {
        for (float side : {-1.0f, 1.0f}) {
            const bool allBeyond = std::all_of(corners.begin(), corners.end(), [&](const vec4& c) {
                // side * c[axis] > w, with room for rounding.
                const float beyond = side * c[axis] - c.w;
                return std::isfinite(beyond) && beyond > margin * (std::abs(c[axis]) + std::abs(c.w));
            });
            if (allBeyond) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace frostline::scene
