// Our own kinematic capsule character controller, "collide and slide" on
// Bullet's sweep and contact tests. A move is split along the up direction into
// an up pass (the step offset), a side pass that slides along what it touches
// and a down pass that lands on the ground; steep faces that rise above the step
// offset act as walls.
#pragma once

#include <cstdint>

#include <glm/glm.hpp>

#include "physics/Geometry.h"
#include "scene/Math.h"

class btCapsuleShapeX;
class btCollisionObject;

namespace frostline {

class Actor;
class ControllerManager;
class HitReport;
struct Material;

/// Bits of the result of CapsuleController::move.
enum CollisionFlag : std::uint32_t {
    collisionSides = 1,  ///< the side pass touched something
    collisionUp = 2,     ///< the up pass touched something (a ceiling)
    collisionDown = 4,   ///< the down pass touched something (the ground)
};
/// A combination of CollisionFlag bits.
using CollisionFlags = std::uint32_t;

/// How a capsule controller is made; the defaults are the sled's values.
struct CapsuleControllerSettings {
    glm::dvec3 position{0.0};             ///< centre of the capsule (world units)
    vec3 upDirection{0.0f, 1.0f, 0.0f};   ///< unit up direction
    float slopeLimit = 0.5f;              ///< cosine of the steepest walkable slope (0.5: 60 degrees)
    float contactOffset = 0.1f;           ///< gap kept to every surface (world units)
    float stepOffset = 0.1f;              ///< highest step climbed without a slope (world units)
    float radius = 0.5f;                  ///< capsule radius (world units)
    float height = 1.0f;                  ///< length of the cylinder part (world units)
    Material* material = nullptr;         ///< kept with the controller's actor
    HitReport* report = nullptr;          ///< receives the contacts, may be null
};

class CapsuleController {
public:
    CapsuleController(const CapsuleController&) = delete;
    CapsuleController& operator=(const CapsuleController&) = delete;

    /// Moves by displacement (world units), sliding along what it touches and
    /// reporting every contact to the hit report. Motion shorter than minDist
    /// (world units) is dropped. elapsedTime (s) is accepted for the caller's
    /// convenience; a static world needs no time. Returns the CollisionFlag bits.
    CollisionFlags move(vec3 displacement, float minDist, float elapsedTime);

    /// Puts the centre at position (world units) without a sweep; an overlap
    /// there is resolved at the start of the next move.
    void setPosition(const glm::dvec3& position);
    /// The capsule's centre (world units, double precision).
    glm::dvec3 getPosition() const { return position; }

    /// Sets the up direction (normalised here; a zero vector is ignored). It
    /// splits the next moves and turns the capsule's axis.
    void setUpDirection(vec3 up);
    /// The unit up direction.
    vec3 getUpDirection() const { return upDirection; }

    /// The controller's own kinematic actor. Its pose: rotation = shortest arc
    /// from (1, 0, 0) (the capsule's axis) to the up direction, position = centre.
    Actor* getActor() const { return actor; }
    /// The settings the controller was made with (position and up as at creation).
    const CapsuleControllerSettings& getSettings() const { return settings; }

    /// Removes the controller and its actor from the scene and deletes both.
    void release();

private:
    friend class ControllerManager;

    struct Sweep;

    CapsuleController(ControllerManager& manager, Actor& actor, const CapsuleControllerSettings& settings);
    ~CapsuleController();

    // one attempt of a move; the redo for a steep face runs it again without the up pass
    CollisionFlags moveOnce(vec3 displacement, float minDist, bool stepUp, bool& hitSteepFace);
    // one pass: up to maxIterations sweeps along motion, sliding on each hit
    bool slide(vec3 motion, float minDist, int maxIterations, bool flattenNormals, Sweep* lastHit);
    // sweeps the capsule from the current position; false when nothing is touched
    bool sweep(vec3 direction, float distance, Sweep& hit);
    // pushes the capsule out of whatever it overlaps; true when it had to move
    bool recoverFromOverlap();
    // the touched face is steeper than the slope limit and rises above the step offset
    bool isSteepFace(const Sweep& hit, const glm::dvec3& startPosition) const;
    void report(const Sweep& hit, vec3 direction, float length);
    void syncActor();

    ControllerManager& manager;
    Actor* actor = nullptr;
    CapsuleControllerSettings settings;
    glm::dvec3 position{0.0};
    vec3 upDirection{0.0f, 1.0f, 0.0f};
    vec4 rotation{0.0f, 0.0f, 0.0f, 1.0f};  ///< shortest arc from (1, 0, 0) to upDirection
    bool mayOverlap = true;                  ///< check for overlaps before the next move
    std::uint64_t sceneRevision = 0;         ///< actors added since the last overlap check
    btCapsuleShapeX* sweepShape = nullptr;   ///< the actor's capsule, swept along the motion
    btCapsuleShapeX* grownShape = nullptr;   ///< the capsule grown by the contact offset
};

}  // namespace frostline
