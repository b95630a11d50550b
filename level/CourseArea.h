// The ground the race is run on: the play area that holds the race route, the
// gates and the pick-ups, and the border banks that rise around it. The asset
// generator raises the banks from this description, the level stands its border
// walls on the banks' inner top, and the tests measure the sled's rests against it.
#pragma once

#include <algorithm>
#include <cmath>

#include <glm/glm.hpp>

namespace frostline {

struct CourseArea {
    /// The play area: the snow inside the banks (world units, x and z).
    float minX = -84.0f, maxX = 124.0f, minZ = -138.0f, maxZ = 110.0f;

    /// Height a bank rises to above the slope (world units).
    static constexpr float bankHeight = 18.0f;
    /// Horizontal run over which a bank rises, from the play area outward (world units).
    static constexpr float bankRun = 10.0f;
    /// Distance beyond the play area at which a bank's steep face ends and its flat rim
    /// begins (world units). A bank rises as bankHeight * smoothstep(0, bankRun, d); its
    /// slope, 1.8 * 6t(1 - t) at t = d / bankRun, is steeper than a sled can climb (60
    /// degrees) from t = 0.2 to t = 0.8. The border walls' inner faces stand on this line.
    static constexpr float bankTopDistance = 0.8f * bankRun;

    /// How far (x, z) lies outside the play area (world units): 0 inside it, otherwise
    /// the distance to its nearest point.
    float distanceOutside(glm::vec2 xz) const
    {
        const float dx = std::max({minX - xz.x, xz.x - maxX, 0.0f});
        const float dz = std::max({minZ - xz.y, xz.y - maxZ, 0.0f});
        return std::sqrt(dx * dx + dz * dz);
    }

    /// True when (x, z) is on ground the race uses: the play area and the banks up to
    /// their top. Beyond it lies only the rim, which no race needs.
    bool contains(glm::vec2 xz) const { return distanceOutside(xz) <= bankTopDistance; }
};

}  // namespace frostline
