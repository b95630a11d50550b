#include "scene/StaticShape.h"

#include <cmath>
#include <iostream>

#include "app/FatalError.h"
#include "physics/PhysicsWorld.h"

namespace frostline::scene {

Pose turnedPose(const Pose& pose, vec3 axis, float degrees)
{
    // r = (axis * sin(half), cos(half)); q * r applies r in the actor's own frame.
    const double half = degrees * degreesToRadians * 0.5f;
    const float s = static_cast<float>(std::sin(half));
    const vec4 r(axis.x * s, axis.y * s, axis.z * s, static_cast<float>(std::cos(half)));
    const vec4& q = pose.q;
    const vec4 product(q.w * r.x + q.x * r.w + q.y * r.z - q.z * r.y,
                       q.w * r.y - q.x * r.z + q.y * r.w + q.z * r.x,
                       q.w * r.z + q.x * r.y - q.y * r.x + q.z * r.w,
                       q.w * r.w - q.x * r.x - q.y * r.y - q.z * r.z);
    return Pose(pose.p, product);
}

StaticShape::StaticShape(ShaderProgram* program, ShaderProgram* motionBlurProgram,
                         const std::string& modelPath, Material* material, const char* name,
                         CollisionKind collisionKind)
    : Shape(program, motionBlurProgram)
{
    const std::shared_ptr<const aiScene> model = importModel(modelPath);
    buildMeshes(*model);

    // The body from the model's first mesh.
    PhysicsWorld& physicsWorld = PhysicsWorld::instance();
    if (collisionKind == CollisionKind::Box) {
        actor = physicsWorld.createStaticActor(PhysicsWorld::boxGeometryFromMesh(*model), *material);
    } else {
        std::cout << "creating trianglemesh" << std::endl;
        actor = physicsWorld.createStaticActor(PhysicsWorld::triangleMeshGeometryFromMesh(*model), *material);
    }
    if (!actor) {
        fatalError("Could not build the collision mesh of " + modelPath);
    }
    actor->setName(name);
    actor->userData = static_cast<Shape*>(this);
}

StaticShape::StaticShape(const StaticShape& source) : Shape(source)
{
    actor = PhysicsWorld::instance().cloneStatic(source.actor->getGlobalPose(), *source.actor);
    actor->setName(source.actor->getName());
    actor->userData = static_cast<Shape*>(this);
}

StaticShape::~StaticShape()
{
    releaseActor();
}

void StaticShape::rotateX(float degrees)
{
    turnActor(vec3(1.0f, 0.0f, 0.0f), degrees);
}

void StaticShape::rotateY(float degrees)
{
    turnActor(vec3(0.0f, 1.0f, 0.0f), degrees);
}

void StaticShape::rotateZ(float degrees)
{
    turnActor(vec3(0.0f, 0.0f, 1.0f), degrees);
}

vec3 StaticShape::getPosition()
{
    return actor ? actor->getGlobalPose().p : vec3(modelMatrix[3]);
}

Actor* StaticShape::getActor()
{
    return actor;
}

void StaticShape::setPosition(float x, float y, float z)
{
    if (actor) {
        actor->setGlobalPose(Pose(vec3(x, y, z)), true);
        syncFromActor();
    }
}

void StaticShape::releaseActor()
{
    if (actor) {
        actor->release();
        actor = nullptr;
    }
}

void StaticShape::syncFromActor()
{
    if (actor) {
        const Pose pose = actor->getGlobalPose();
        modelMatrix = poseMatrix(pose.q, pose.p);
    }
}

void StaticShape::turnActor(vec3 axis, float degrees)
{
    if (actor) {
        actor->setGlobalPose(turnedPose(actor->getGlobalPose(), axis, degrees), true);
        syncFromActor();
    }
}

}  // namespace frostline::scene
