#include "scene/Terrain.h"

#include <string>

#include "app/FatalError.h"
#include "physics/PhysicsWorld.h"
#include "scene/StaticShape.h"

namespace frostline::scene {

Terrain::Terrain(ShaderProgram* program, ShaderProgram* motionBlurProgram, Material* material)
    : Shape(program, motionBlurProgram)
{
    const std::shared_ptr<const aiScene> model = importModel(modelPath);
    buildMeshes(*model);
    // The body is the course's own surface, cooked once for the physics and the eye.
    actor =
        PhysicsWorld::instance().createStaticActor(TriangleMeshGeometry{meshes->front().surface}, *material);
    if (!actor) {
        fatalError(std::string("Could not build the collision mesh of ") + modelPath);
    }
    actor->setName("Terrain");
    actor->userData = static_cast<Shape*>(this);
}

Terrain::~Terrain()
{
    if (actor) {
        actor->release();
        actor = nullptr;
    }
}

std::unique_ptr<Shape> Terrain::takeSurroundings(ShaderProgram* program, ShaderProgram* motionBlurProgram)
{
    auto surroundings = std::make_unique<Shape>(program, motionBlurProgram);
    if (meshes->size() > 1) {
        // The entries change hands: the shape's list releases their buffers from now on.
        surroundings->meshes->assign(meshes->begin() + 1, meshes->end());
        meshes->resize(1);
    }
    surroundings->boundingRadius = boundingRadius;
    return surroundings;
}

void Terrain::rotateX(float degrees)
{
    actor->setGlobalPose(turnedPose(actor->getGlobalPose(), vec3(1.0f, 0.0f, 0.0f), degrees), true);
}

void Terrain::rotateY(float degrees)
{
    actor->setGlobalPose(turnedPose(actor->getGlobalPose(), vec3(0.0f, 1.0f, 0.0f), degrees), true);
}

void Terrain::rotateZ(float degrees)
{
    actor->setGlobalPose(turnedPose(actor->getGlobalPose(), vec3(0.0f, 0.0f, 1.0f), degrees), true);
}

vec3 Terrain::getPosition()
{
    return actor->getGlobalPose().p;
}

Actor* Terrain::getActor()
{
    return actor;
}

void Terrain::update(float /*dt*/)
{
    const Pose pose = actor->getGlobalPose();
    modelMatrix = poseMatrix(pose.q, pose.p);
}

void Terrain::setPosition(float x, float y, float z)
{
    actor->setGlobalPose(Pose(vec3(x, y, z)), true);
}

}  // namespace frostline::scene
