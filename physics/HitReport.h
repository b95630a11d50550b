// What the capsule controller tells its owner about the things it touched.
#pragma once

#include <cstdint>

#include <glm/glm.hpp>

#include "scene/Math.h"

namespace frostline {

class Actor;
class CapsuleController;

/// One contact found while a controller moved.
struct ControllerHit {
    CapsuleController* controller = nullptr;  ///< the controller that moved
    glm::dvec3 worldPos{0.0};                 ///< contact point (world units, world space)
    vec3 worldNormal{0.0f};                   ///< unit contact normal, pointing toward the controller
    vec3 dir{0.0f};                           ///< unit direction of the motion that touched
    float length = 0.0f;                      ///< length of that motion (world units)
};

/// A contact with an actor's shape (static actors: terrain, obstacles, pick-ups, gates).
struct ControllerShapeHit : ControllerHit {
    Actor* actor = nullptr;                   ///< the actor touched; valid during the call
    std::uint32_t triangleIndex = 0xffffffffu;  ///< touched triangle of a mesh, else all bits set
};

/// A contact with another controller's capsule.
struct ControllersHit : ControllerHit {
    CapsuleController* other = nullptr;  ///< the controller touched
};

/// A contact with a user obstacle. This layer has no obstacles, so none is ever
/// reported; the call is kept for owners written against the full interface.
struct ControllerObstacleHit : ControllerHit {
    const void* userData = nullptr;  ///< the obstacle's user data
};

/// Receives the contacts of a controller's move, synchronously inside move().
/// A call may come several times per move, also for the same actor. The receiver
/// may release the touched actor during onShapeHit (not the controller itself).
class HitReport {
public:
    virtual ~HitReport() = default;

    /// The controller touched an actor's shape.
    virtual void onShapeHit(const ControllerShapeHit& hit) = 0;
    /// The controller touched another controller.
    virtual void onControllerHit(const ControllersHit& hit) = 0;
    /// The controller touched a user obstacle (never happens in this layer).
    virtual void onObstacleHit(const ControllerObstacleHit& hit) = 0;
};

}  // namespace frostline
