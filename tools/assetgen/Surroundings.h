// The world around the course: snowy banks beyond the border ridges, forests of
// firs on the ridges and the banks, and mountains rising all round to the
// horizon. They become further meshes of the terrain model, after its first mesh
// (the course, the only one the sled rides on): nothing here can be reached.
#pragma once

#include <vector>

#include <glm/glm.hpp>

#include "tools/assetgen/Image.h"
#include "tools/assetgen/Mesh.h"

namespace frostline {

class TerrainShaper;

/// Material names of the surroundings in the terrain's .mtl file.
inline constexpr const char* mountainMaterial = "mountains";
/// The least distance between the play area and a branch of the forest (world units).
inline constexpr float forestClearance = 1.5f;
/// The widest branches of a forest fir at its own size (world units; makeForestFir).
inline constexpr float forestFirRadius = 2.9f;

class Surroundings {
public:
    /// Shapes the land around course (the terrain's first mesh, a grid of
    /// (TerrainShaper::cellsX + 1) x (cellsZ + 1) vertices) so that it meets the course's
    /// outer edge vertex for vertex.
    Surroundings(const TerrainShaper& terrain, const Mesh& course);

    /// The banks right beyond the course's edge, in the course's tiled snow (material snowMaterial).
    Mesh buildBanks(const std::string& snowMaterial) const;
    /// Groups of firs on the border ridges (beyond the sled's reach) and the banks, all in
    /// one mesh, standing on course and banks.
    Mesh buildForest(const Mesh& course, const Mesh& banks) const;
    /// The mountains beyond the banks, textured by mountainTexture.
    Mesh buildMountains() const;
    /// The mountains' colours seen from above (snow, rock on the steep faces, forest
    /// lower down), laid over them by x and z.
    Image mountainTexture() const;

    /// Height of the land at (x, z) beyond the course (world units).
    float height(glm::vec2 xz) const;
    /// The same, also giving the distance beyond the course's edge and the edge's height there.
    float height(glm::vec2 xz, float& distance, float& edgeBase) const;

    /// Distance of each ring of the surroundings outward from the course's edge, along
    /// the ray from the course's centre (world units); the last ring is the horizon.
    static const std::vector<float>& ringDistances();
    /// The ring from which on the mountains' mesh takes over from the banks'.
    static constexpr int firstMountainRing = 7;

private:
    /// Vertex count of ring k (the course's edge count divided by a power of two).
    int ringSize(int ring) const;
    /// Point t (0..edge count, by edge vertex index) on ring k.
    glm::vec2 ringPoint(int ring, float t) const;
    /// Builds rings from..to (inclusive) into mesh, with normals from the heights.
    void addRings(Mesh& mesh, int from, int to, bool tiledSnow) const;
    /// The course's edge height near q (on the edge), averaged over width either way (world units).
    float edgeHeight(glm::vec2 q, float width) const;
    /// Nearest point on the course's outer edge and the distance to it.
    glm::vec2 nearestEdgePoint(glm::vec2 xz, float& distance) const;
    glm::vec3 normalAt(glm::vec2 xz) const;
    /// Texture coordinate of a mountain point.
    glm::vec2 mountainUv(glm::vec2 xz) const;

    const TerrainShaper& terrain;
    std::vector<MeshVertex> edge;     ///< the course's outer edge vertices, counter-clockwise seen from above
    std::vector<float> edgeArc;       ///< arc length along the edge up to each vertex
    std::vector<double> edgeIntegral; ///< integral of the edge height along the arc up to each vertex
    glm::vec2 low{0.0f}, high{0.0f};  ///< the course's extent on the ground
    glm::vec2 centre{0.0f};
    glm::vec2 textureLow{0.0f};
    float textureSize = 1.0f;
};

}  // namespace frostline
