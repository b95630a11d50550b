#include "physics/PhysicsWorld.h"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <new>

#include <assimp/scene.h>
#include <btBulletCollisionCommon.h>

#include "app/FatalError.h"
#include "physics/TriangleMesh.h"

namespace frostline {

namespace {

// The Bullet shape for a geometry; a mesh shape is shared with (and keeps alive) its mesh.
std::shared_ptr<btCollisionShape> createShape(const Geometry& geometry)
{
    if (const auto* box = std::get_if<BoxGeometry>(&geometry)) {
        // Bullet keeps the box's margin inside the half extents, so the box is exact.
        const vec3& h = box->halfExtents;
        return std::shared_ptr<btCollisionShape>(new btBoxShape(btVector3(h.x, h.y, h.z)));
    }
    if (const auto* capsule = std::get_if<CapsuleGeometry>(&geometry)) {
        return std::shared_ptr<btCollisionShape>(
            new btCapsuleShapeX(capsule->radius, 2.0f * capsule->halfHeight));
    }
    const auto& mesh = std::get<TriangleMeshGeometry>(geometry).mesh;
    if (!mesh) {
        return nullptr;
    }
    return std::shared_ptr<btCollisionShape>(mesh, mesh->getShape());
}

}  // namespace

PhysicsWorld& PhysicsWorld::instance()
{
    static PhysicsWorld world;
    return world;
}

PhysicsWorld::PhysicsWorld()
{
    std::cout << "Initialize PhysX" << std::endl;
    physics = new MaterialStore();
}

PhysicsWorld::~PhysicsWorld()
{
    // 1. Controllers, each with its own actor.
    delete controllerManager;
    controllerManager = nullptr;
    // 2. Every other actor, in the scene or not; a mesh goes with its last actor or geometry.
    while (!actors.empty()) {
        releaseActor(**actors.begin());
    }
    // 3. The scene, then the materials.
    delete scene;
    scene = nullptr;
    delete physics;
    physics = nullptr;
}

void PhysicsWorld::initPhysicsScene()
{
    if (scene) {
        return;
    }
    std::cout << "Initialize PhysX scene" << std::endl;
    scene = new (std::nothrow) Scene();
    if (!scene) {
        fatalError("createScene failed!");
    }
    scene->setGravity(vec3(0.0f, -9.81f, 0.0f));
    controllerManager = new ControllerManager(*this, *scene);
}

CapsuleController* PhysicsWorld::createCapsuleController(const CapsuleGeometry& size,
                                                         const glm::dvec3& position, Material* material,
                                                         HitReport* report)
{
    if (!controllerManager) {
        return nullptr;
    }
    CapsuleControllerSettings settings;
    settings.position = position;
    settings.upDirection = vec3(0.0f, 1.0f, 0.0f);
    settings.slopeLimit = std::cos(1.0471976f);  // 60 degrees
    settings.contactOffset = 0.1f;
    settings.stepOffset = 0.1f;
    settings.radius = size.radius;
    settings.height = 2.0f * size.halfHeight;
    settings.material = material;
    settings.report = report;
    return controllerManager->createController(settings);
}

Actor* PhysicsWorld::createStaticActor(const Geometry& geometry, Material& material)
{
    return createActor(geometry, nullptr, &material, Pose());
}

Actor* PhysicsWorld::cloneStatic(const Pose& pose, const Actor& source)
{
    Actor* clone = createActor(source.geometry, source.shape, source.material, pose);
    clone->setName(source.getName());
    return clone;
}

BoxGeometry PhysicsWorld::boxGeometryFromMesh(const aiScene& model)
{
    BoxGeometry box;
    if (model.mNumMeshes == 0) {
        return box;
    }
    const aiMesh& mesh = *model.mMeshes[0];
    for (unsigned i = 0; i < mesh.mNumVertices; ++i) {
        const aiVector3D& v = mesh.mVertices[i];
        box.halfExtents = glm::max(box.halfExtents, vec3(std::abs(v.x), std::abs(v.y), std::abs(v.z)));
    }
    return box;
}

TriangleMeshGeometry PhysicsWorld::triangleMeshGeometryFromMesh(const aiScene& model)
{
    if (model.mNumMeshes == 0) {
        std::cout << "Triangle mesh not built: the model has no mesh" << std::endl;
        return {};
    }
    return TriangleMeshGeometry{TriangleMesh::build(*model.mMeshes[0])};
}

Actor* PhysicsWorld::createActor(const Geometry& geometry, std::shared_ptr<btCollisionShape> shape,
                                 Material* material, const Pose& pose)
{
    if (!shape) {
        shape = createShape(geometry);
        if (!shape) {
            return nullptr;
        }
    }
    Actor* actor = new Actor(*this, geometry, std::move(shape), material, pose);
    actors.insert(actor);
    return actor;
}

void PhysicsWorld::releaseActor(Actor& actor)
{
    if (actor.scene) {
        actor.scene->removeActor(actor);
    }
    actors.erase(&actor);
    delete &actor;
}

}  // namespace frostline
