// The snow slope of the level: a smooth surface through the ground under every
// object and along the race route (a thin-plate spline on the level's trend),
// small bumps away from both, and ridges around the border.
#pragma once

#include <string>
#include <vector>

#include <glm/glm.hpp>

#include "level/CourseArea.h"
#include "tools/assetgen/Mesh.h"

namespace frostline {

/// A point the surface must pass through (world units).
struct GroundAnchor {
    glm::vec2 xz;       ///< position on the ground plane
    float height;       ///< snow height there
    float smoothing;    ///< 0: exact; above 0: the surface may miss it a little for smoothness
    std::string label;  ///< what put it there, for the generator's report
};

/// The playable area inside the border ridges (world units); the level walls in the ridges' tops.
using PlayArea = CourseArea;

class TerrainShaper {
public:
    /// Collects the anchors from the level layout and the race route and fits the surface.
    TerrainShaper();

    /// Snow height at (x, z), world units: the fitted surface, the bumps and the border ridges.
    float height(float x, float z) const;
    /// The terrain mesh: a grid over the play area and its ridges, smooth normals, tiled snow uvs.
    Mesh buildMesh(const std::string& material) const;

    /// The anchors the surface was fitted through.
    const std::vector<GroundAnchor>& anchors() const { return points; }
    /// The border of the play area.
    const PlayArea& playArea() const { return area; }

    /// Grid cells of the mesh along x and z.
    static constexpr int cellsX = 104;
    static constexpr int cellsZ = 120;
    /// How far the mesh reaches beyond the play area on every side (world units).
    static constexpr float margin = 16.0f;
    /// Height the border ridges rise to above the surface (world units).
    static constexpr float ridgeHeight = CourseArea::bankHeight;
    /// Horizontal run over which a ridge rises (world units).
    static constexpr float ridgeRun = CourseArea::bankRun;
    /// Snow texture repeat (world units per texture tile).
    static constexpr float snowTile = 8.0f;
    /// The course's walls: height above the slope, half width of their flat top, and the run of
    /// their sides (world units): steeper than a sled can climb even over one cell of the mesh.
    static constexpr float wallHeight = 6.0f;
    static constexpr float wallTop = 1.5f;
    static constexpr float wallRun = 2.5f;

private:
    void collectObjectAnchors();
    void collectRouteAnchors();
    void addIfFree(const GroundAnchor& anchor, float minimumSpacing);
    void fitSpline();
    float splineHeight(glm::vec2 xz) const;
    float bumps(glm::vec2 xz) const;
    float ridges(glm::vec2 xz) const;
    float walls(glm::vec2 xz) const;
    float nearestObjectAnchor(glm::vec2 xz) const;

    PlayArea area;
    std::vector<GroundAnchor> points;
    /// Where the gates' feet and middles stand (x, z): each has a vertex of the mesh of its
    /// own, so that its height is exact whatever the ground beside it does.
    std::vector<glm::vec2> pins;
    std::vector<double> weights;  ///< one per anchor, then the affine part a0 + a1 x + a2 z
    std::size_t objectAnchorCount = 0;
};

}  // namespace frostline
