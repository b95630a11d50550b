// Our own kinematic capsule character controller, "collide and slide" on
// Bullet's sweep and contact tests. A move is split along the up direction into
// an up pass (the step offset), a side pass that slides along what it touches
// and a down pass that lands on the ground.
//
// A face steeper than the slope limit that rises above the step offset, met in
// the side or down pass, is a wall: the move is done again without the step
// offset, with a side motion that does not rise, sliding along walls level and
// falling down them rather than landing on them. A capsule whose up direction is
// itself that steep (the sled takes the last ground normal for its up) moves
// this way from the start.
//
// Slopes are judged against the world's up (the up direction the controller was
// made with), not against the current up direction: measured against an up that
// follows the ground, a bank that steepens bit by bit is never too steep, and the
// sled rode up the level's border ridges, over their crest and out of the world.
#pragma once

#include <cstdint>
#include <memory>

#include <glm/glm.hpp>

#include "physics/Geometry.h"
#include "scene/Math.h"

class btCapsuleShapeX;
class btCollisionObject;
class btConvexShape;

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
    /// there is resolved at the start of the next move. Not from inside a hit
    /// report: the running move would overwrite it.
    void setPosition(const glm::dvec3& position);
    /// The capsule's centre (world units, double precision).
    glm::dvec3 getPosition() const { return position; }

    /// Sets the up direction (normalised here; a zero vector is ignored). It
    /// splits the next moves and turns the capsule's axis; slopes are still
    /// judged against the up direction the controller was made with.
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
    struct PassResult {
        bool touched = false;           ///< a sweep of the pass hit something
        bool touchedSteepFace = false;  ///< ... and it was a steep face rising above the step offset
    };

    CapsuleController(ControllerManager& manager, Actor& actor, const CapsuleControllerSettings& settings);
    ~CapsuleController();

    // One attempt of a move: up pass, side pass, down pass. againstWalls (the redo
    // after a steep face, or a move from a wall): no step offset, a side motion
    // that does not rise, steep faces slid along level and fallen down.
    CollisionFlags moveOnce(vec3 displacement, float minDist, bool againstWalls, bool& touchedSteepFace);
    enum class Pass { up, side, down };
    // Up to maxIterations sweeps along motion, sliding along each surface hit. The
    // side and down passes test each face hit against the slope rule (feet at start);
    // with steepFacesAreWalls a steep face is slid along level, and the down pass
    // falls down it instead of landing on it.
    PassResult slide(vec3 motion, float minDist, int maxIterations, Pass pass, const glm::dvec3& start,
                     bool steepFacesAreWalls);
    // A face of this unit normal is no steeper than the slope limit.
    bool isWalkable(vec3 normal) const;
    // The side motion with its rise along the world's up taken out; on a slope it
    // then runs into the ground, which it still climbs where that is walkable.
    vec3 withoutRise(vec3 side) const;
    // The unit normal with its part along the world's up taken out (normal itself
    // when nothing is left): how a wall pushes back.
    vec3 levelPart(vec3 normal) const;
    // The unit direction straight down a face of this normal (against the world's
    // up); zero for a level face.
    vec3 fallLine(vec3 normal) const;
    // Sweeps the capsule distance (+ the contact offset) along direction; false without a hit.
    bool sweep(vec3 direction, float distance, Sweep& hit) const;
    // Pushes the capsule to the contact offset out of whatever it overlaps; true when it moved.
    bool recoverFromOverlap();
    // Lifts a centre that is inside the ground, under a mesh face straight above it
    // that faces away from it, out in front of that face; true when it moved. Bullet's
    // triangles are two-sided: pushed along its contacts, such a capsule would sink
    // further, through the world. Our meshes face outward, with solid behind.
    bool liftOutOfGround();
    // The face hit is steeper than the slope limit and (unless anyHeight) rises above
    // the step offset over the capsule's lowest point at startPosition, both against
    // the world's up.
    bool isSteepFace(const Sweep& hit, const glm::dvec3& startPosition, bool anyHeight) const;
    void report(const Sweep& hit, vec3 direction, float length);
    // The actor's pose and Bullet transform follow position and upDirection.
    void syncActor();

    ControllerManager& manager;
    Actor* actor = nullptr;
    CapsuleControllerSettings settings;
    glm::dvec3 position{0.0};
    vec3 upDirection{0.0f, 1.0f, 0.0f};
    vec3 worldUp{0.0f, 1.0f, 0.0f};             ///< unit; the up direction the controller was made with
    vec4 rotation{0.0f, 0.0f, 0.0f, 1.0f};      ///< shortest arc from (1, 0, 0) to upDirection
    bool mayOverlap = true;                      ///< check for overlaps before the next move
    bool recoveredThisMove = false;              ///< one overlap recovery per move at most
    std::uint64_t sceneRevision = 0;             ///< the scene's revision at the last overlap check
    btConvexShape* sweepShape = nullptr;         ///< the actor's capsule, swept along the motion
    std::unique_ptr<btCapsuleShapeX> grownShape; ///< the capsule grown by the contact offset
    std::unique_ptr<btCollisionObject> probe;    ///< carries grownShape into contact tests
};

}  // namespace frostline
