// A physics actor: one shape at a pose, with a name and a link back to the game
// object it belongs to. Static actors are made by PhysicsWorld; a capsule
// controller owns the kinematic actor it moves.
#pragma once

#include <memory>

#include "physics/Geometry.h"
#include "physics/Pose.h"

class btCollisionObject;
class btCollisionShape;

namespace frostline {

class CapsuleController;
class ControllerManager;
class PhysicsWorld;
class Scene;
struct Material;

class Actor {
public:
    Actor(const Actor&) = delete;
    Actor& operator=(const Actor&) = delete;

    /// The actor's pose in world space.
    Pose getGlobalPose() const { return pose; }
    /// Moves the actor to pose at once; wakeUp is accepted for the caller's
    /// convenience and changes nothing, since nothing in the scene sleeps.
    void setGlobalPose(const Pose& pose, bool wakeUp = true);

    /// The actor's name, or null; the pointer given to setName, not a copy.
    const char* getName() const { return name; }
    /// Keeps the pointer (pass a string that outlives the actor, e.g. a literal).
    void setName(const char* newName) { name = newName; }

    /// The actor's shape.
    const Geometry& getGeometry() const { return geometry; }
    /// The material given at creation (may be null for a controller's actor).
    Material* getMaterial() const { return material; }
    /// The scene the actor is in, or null.
    Scene* getScene() const { return scene; }
    /// The controller that moves this actor, or null for a static actor.
    CapsuleController* getController() const { return controller; }

    /// Removes the actor from its scene (if in one) and deletes it. Call it once
    /// and forget the pointer: a released actor is never reported again. A
    /// controller's actor is released with its controller, not on its own.
    void release();

    void* userData = nullptr;  ///< the game object behind the actor, or null

private:
    friend class PhysicsWorld;
    friend class Scene;
    friend class CapsuleController;
    friend class ControllerManager;

    Actor(PhysicsWorld& world, const Geometry& geometry, std::shared_ptr<btCollisionShape> shape,
          Material* material, const Pose& pose);
    ~Actor();

    PhysicsWorld& world;
    Geometry geometry;                        ///< sizes, and the shared mesh of a mesh shape
    std::shared_ptr<btCollisionShape> shape;  ///< shared with clones
    std::unique_ptr<btCollisionObject> object;
    Material* material = nullptr;
    Pose pose;
    const char* name = nullptr;
    Scene* scene = nullptr;
    CapsuleController* controller = nullptr;
};

}  // namespace frostline
