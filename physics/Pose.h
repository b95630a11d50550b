// Where a physics actor stands: a rotation and a position in world space.
#pragma once

#include "scene/Math.h"

namespace frostline {

/// A rigid pose: unit quaternion q = (x, y, z, w) and position p (world units).
/// poseMatrix(q, p) of scene/Math.h turns it into the drawn model matrix.
struct Pose {
    /// The identity pose: no rotation, at the origin.
    Pose() = default;
    /// A pose at position p with rotation q (identity unless given).
    explicit Pose(vec3 position, vec4 rotation = vec4(0.0f, 0.0f, 0.0f, 1.0f)) : q(rotation), p(position) {}

    vec4 q{0.0f, 0.0f, 0.0f, 1.0f};  ///< unit quaternion (x, y, z, w)
    vec3 p{0.0f};                     ///< position (world units)
};

}  // namespace frostline
