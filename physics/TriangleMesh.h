// A triangle mesh cooked for collision: Bullet's BVH mesh shape over our own
// copy of the vertices and indices.
//
// The tree is not quantized: it builds in about two thirds of the time (the
// terrain's 130,000 triangles are cooked at start-up) for four times the memory
// (16 MB for the terrain). No internal-edge information is generated: it took
// longer than the whole build, and the capsule controller, which sweeps its own
// way through meshes and pushes out along the deepest contact, never needs it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "scene/Math.h"

struct aiMesh;
class btBvhTriangleMeshShape;
class btTriangleIndexVertexArray;

namespace frostline {

class TriangleMesh {
public:
    /// Cooks the triangles of mesh (first three corners of each face; faces with
    /// fewer corners are skipped). Null, with the reason printed, when the mesh
    /// has no triangles, a non-finite coordinate or an index out of range.
    static std::shared_ptr<TriangleMesh> build(const aiMesh& mesh);

    ~TriangleMesh();
    TriangleMesh(const TriangleMesh&) = delete;
    TriangleMesh& operator=(const TriangleMesh&) = delete;

    /// Number of triangles.
    std::size_t getTriangleCount() const { return indices.size() / 3; }
    /// Number of vertices.
    std::size_t getVertexCount() const { return vertices.size() / 3; }
    /// Corner 0, 1 or 2 of a triangle, in the mesh's local frame (world units).
    vec3 getCorner(std::uint32_t triangle, int corner) const;

    /// The Bullet shape over this mesh; lives as long as the mesh.
    btBvhTriangleMeshShape* getShape() const { return shape.get(); }

private:
    TriangleMesh() = default;

    std::vector<float> vertices;          ///< x, y, z per vertex
    std::vector<std::int32_t> indices;    ///< three per triangle
    std::unique_ptr<btTriangleIndexVertexArray> meshInterface;
    std::unique_ptr<btBvhTriangleMeshShape> shape;
};

}  // namespace frostline
