// A triangle mesh cooked for collision: Bullet's BVH mesh shape over our own
// copy of the vertices and indices, with internal-edge information so that
// contacts on shared edges of a smooth surface get the surface's normal.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "scene/Math.h"

struct aiMesh;
class btBvhTriangleMeshShape;
class btTriangleIndexVertexArray;
struct btTriangleInfoMap;

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
    std::unique_ptr<btTriangleInfoMap> edgeInfo;
};

}  // namespace frostline
