// The shapes a physics actor can have. Plain values: copying a geometry copies
// its sizes, and a triangle-mesh geometry shares its cooked mesh.
#pragma once

#include <memory>
#include <variant>

#include "scene/Math.h"

namespace frostline {

class TriangleMesh;

/// A box centred on the actor's origin, aligned with its local axes.
struct BoxGeometry {
    vec3 halfExtents{0.0f};  ///< half sizes along local x, y and z (world units)
};

/// A capsule centred on the actor's origin; its axis is the actor's local X axis.
struct CapsuleGeometry {
    float radius = 0.0f;      ///< radius of the rounded ends and the cylinder (world units)
    float halfHeight = 0.0f;  ///< half the length of the cylinder part (world units)
};

/// A cooked triangle mesh in the actor's local frame, shared by every actor made from it.
struct TriangleMeshGeometry {
    std::shared_ptr<const TriangleMesh> mesh;  ///< null when the mesh could not be built
};

/// Any shape an actor can have.
using Geometry = std::variant<BoxGeometry, CapsuleGeometry, TriangleMeshGeometry>;

}  // namespace frostline
