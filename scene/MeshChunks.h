#pragma once
// Large meshes split into runs of nearby triangles, so that a pass can leave out
// the runs that lie wholly outside the view. The terrain is the one large mesh:
// most of it is behind or beside the camera, and every triangle handed to a
// processor-drawn screen costs vertex and set-up work even when it shows nothing.

#include <cstdint>
#include <vector>

#include "scene/Math.h"

namespace frostline::scene {

/// One run of triangles in a chunk-ordered index buffer, with the model-space box
/// around their vertices.
struct MeshChunk {
    std::uint32_t firstIndex = 0;  ///< first of the run's indices (three a triangle)
    std::uint32_t indexCount = 0;  ///< indices in the run
    vec3 boxMin{0.0f};
    vec3 boxMax{0.0f};
};

/// Meshes with fewer triangles are drawn whole: splitting them would save less than
/// the extra draws cost.
inline constexpr std::uint32_t chunkedMeshMinFaces = 4096;
/// Cells along each of the mesh's two longest sides.
inline constexpr int chunkCellsPerSide = 8;

/// Reorders the triangles of indices (three a triangle, into positions) by the cell
/// of a cellsPerSide x cellsPerSide grid over the two longest sides of the mesh's box
/// that holds each triangle's centre, keeping the file's order within a cell, and
/// returns one chunk for every cell that holds a triangle, in index order. Indices
/// past the end of positions count as the origin (they draw nothing useful anyway).
std::vector<MeshChunk> sortIntoChunks(const std::vector<vec3>& positions, std::vector<std::uint32_t>& indices,
                                      int cellsPerSide);

/// True when every point of the model-space box lies outside one and the same plane
/// of the clip volume of mvp: nothing in the box can reach the screen. Decided with a
/// margin, so that rounding never drops a box that touches the view.
bool boxOutsideView(const mat4& mvp, const vec3& boxMin, const vec3& boxMax);

}  // namespace frostline::scene
