#include "physics/TriangleMesh.h"

#include <cmath>
#include <iostream>

#include <assimp/mesh.h>
#include <btBulletCollisionCommon.h>

namespace frostline {

std::shared_ptr<TriangleMesh> TriangleMesh::build(const aiMesh& mesh)
{
    std::shared_ptr<TriangleMesh> cooked(new TriangleMesh());

    // Vertices: every coordinate must be a finite number.
    cooked->vertices.reserve(std::size_t(mesh.mNumVertices) * 3);
    for (unsigned i = 0; i < mesh.mNumVertices; ++i) {
        const aiVector3D& v = mesh.mVertices[i];
        if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z)) {
            std::cout << "Triangle mesh not built: vertex " << i << " has a non-finite coordinate"
                      << std::endl;
            return nullptr;
        }
        cooked->vertices.insert(cooked->vertices.end(), {v.x, v.y, v.z});
    }

    // Triangles: the first three corners of each face; points and lines have no area.
    cooked->indices.reserve(std::size_t(mesh.mNumFaces) * 3);
    for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
        const aiFace& face = mesh.mFaces[f];
        if (face.mNumIndices < 3) {
            continue;
        }
        for (int corner = 0; corner < 3; ++corner) {
            const unsigned index = face.mIndices[corner];
            if (index >= mesh.mNumVertices) {
                std::cout << "Triangle mesh not built: face " << f << " uses vertex " << index << " of "
                          << mesh.mNumVertices << std::endl;
                return nullptr;
            }
            cooked->indices.push_back(static_cast<std::int32_t>(index));
        }
    }
    if (cooked->indices.empty()) {
        std::cout << "Triangle mesh not built: the mesh has no triangles" << std::endl;
        return nullptr;
    }

    // Bullet reads our arrays in place.
    btIndexedMesh part;
    part.m_numTriangles = static_cast<int>(cooked->getTriangleCount());
    part.m_triangleIndexBase = reinterpret_cast<const unsigned char*>(cooked->indices.data());
    part.m_triangleIndexStride = 3 * sizeof(std::int32_t);
    part.m_numVertices = static_cast<int>(cooked->getVertexCount());
    part.m_vertexBase = reinterpret_cast<const unsigned char*>(cooked->vertices.data());
    part.m_vertexStride = 3 * sizeof(float);
    part.m_indexType = PHY_INTEGER;
    part.m_vertexType = PHY_FLOAT;
    cooked->meshInterface = std::make_unique<btTriangleIndexVertexArray>();
    cooked->meshInterface->addIndexedMesh(part, PHY_INTEGER);

    cooked->shape = std::make_unique<btBvhTriangleMeshShape>(cooked->meshInterface.get(), false, true);
    return cooked;
}

TriangleMesh::~TriangleMesh()
{
    // The shape reads the arrays through the interface: it goes first.
    shape.reset();
    meshInterface.reset();
}

vec3 TriangleMesh::getCorner(std::uint32_t triangle, int corner) const
{
    const std::size_t vertex = static_cast<std::size_t>(indices[std::size_t(triangle) * 3 + corner]);
    return vec3(vertices[vertex * 3], vertices[vertex * 3 + 1], vertices[vertex * 3 + 2]);
}

}  // namespace frostline
