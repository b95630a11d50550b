// The one process-wide owner of the physics objects: materials, the collision
// scene, the controller manager, every actor and the cooked meshes.
#pragma once

#include <cstddef>
#include <unordered_set>

#include <glm/glm.hpp>

#include "physics/Actor.h"
#include "physics/CapsuleController.h"
#include "physics/ControllerManager.h"
#include "physics/Geometry.h"
#include "physics/HitReport.h"
#include "physics/MaterialStore.h"
#include "physics/Pose.h"
#include "physics/Scene.h"

struct aiScene;

namespace frostline {

class PhysicsWorld {
public:
    /// The game's physics world, made on the first call ("Initialize PhysX") and
    /// destroyed at process exit.
    static PhysicsWorld& instance();

    /// Prints "Initialize PhysX". The game uses instance(); tests make their own.
    PhysicsWorld();
    /// Releases controllers, actors, the scene and the materials, in this order.
    ~PhysicsWorld();
    PhysicsWorld(const PhysicsWorld&) = delete;
    PhysicsWorld& operator=(const PhysicsWorld&) = delete;

    /// Prints "Initialize PhysX scene" and makes scene (gravity (0, -9.81, 0)) and
    /// controllerManager; later calls do nothing.
    void initPhysicsScene();

    /// The sled's capsule controller with the game's settings (slope limit 0.5,
    /// contact and step offset 0.1, up (0, 1, 0)); size in world units, position
    /// of the centre in world units. Needs initPhysicsScene.
    CapsuleController* createCapsuleController(const CapsuleGeometry& size, const glm::dvec3& position,
                                               Material* material, HitReport* report);

    /// A static actor with geometry at the identity pose, not yet in the scene;
    /// null for a triangle-mesh geometry without a mesh.
    Actor* createStaticActor(const Geometry& geometry, Material& material);
    /// A new static actor at pose with source's shape, material and name and no
    /// user data, not yet in the scene.
    Actor* cloneStatic(const Pose& pose, const Actor& source);

    /// Box around the model's origin: half extents = the largest |x|, |y|, |z|
    /// over the vertices of mesh 0 ((0, 0, 0) without vertices).
    static BoxGeometry boxGeometryFromMesh(const aiScene& model);
    /// Mesh 0 of the model cooked into a triangle mesh; a geometry without a mesh
    /// when it cannot be built (no triangles, non-finite coordinates, bad indices).
    static TriangleMeshGeometry triangleMeshGeometryFromMesh(const aiScene& model);

    /// Number of actors alive, in the scene or not (controllers' actors included).
    std::size_t getActorCount() const { return actors.size(); }

    MaterialStore* physics = nullptr;                ///< finds or creates the materials
    Scene* scene = nullptr;                          ///< null until initPhysicsScene
    ControllerManager* controllerManager = nullptr;  ///< null until initPhysicsScene

private:
    friend class Actor;
    friend class ControllerManager;

    // shape null: made from geometry
    Actor* createActor(const Geometry& geometry, std::shared_ptr<btCollisionShape> shape, Material* material,
                       const Pose& pose);
    void releaseActor(Actor& actor);

    std::unordered_set<Actor*> actors;  ///< every actor alive
};

}  // namespace frostline
