// The physics world: start-up messages, geometry from models, actors and their
// life in the scene, and the pose convention of the controller's actor.
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "physics/PhysicsWorld.h"
#include "physics/TriangleMesh.h"
#include "tests/physics/PhysicsTestWorld.h"

namespace frostline {
namespace {

using test::makeModel;
using test::Triangle;

TEST(PhysicsWorld, StartsOnceAndMakesItsSceneOnce)
{
    // The console shows each start-up line once, however often the world is reached.
    testing::internal::CaptureStdout();
    PhysicsWorld& first = PhysicsWorld::instance();
    PhysicsWorld& second = PhysicsWorld::instance();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Initialize PhysX\n");
    EXPECT_EQ(&first, &second);

    testing::internal::CaptureStdout();
    first.initPhysicsScene();
    first.initPhysicsScene();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Initialize PhysX scene\n");
    ASSERT_NE(first.scene, nullptr);
    ASSERT_NE(first.controllerManager, nullptr);
    EXPECT_EQ(first.scene->getGravity(), vec3(0.0f, -9.81f, 0.0f));

    // Stepping has nothing to integrate and always completes.
    first.scene->simulate(0.1f);
    EXPECT_TRUE(first.scene->fetchResults(true));
}

TEST(PhysicsWorld, BoxGeometryCoversTheModelAroundItsOrigin)
{
    // A model spanning x from -1 to 3 gets a box reaching 3 on both sides of its origin.
    const auto model = makeModel({{-1, 0.5f, -2}, {3, -0.25f, 1}, {0, 0, 0}}, {Triangle{0, 1, 2}});
    EXPECT_EQ(PhysicsWorld::boxGeometryFromMesh(*model).halfExtents, vec3(3.0f, 0.5f, 2.0f));

    // No vertices, or no mesh at all: an empty box.
    EXPECT_EQ(PhysicsWorld::boxGeometryFromMesh(*makeModel({}, {})).halfExtents, vec3(0.0f));
    const aiScene noMesh;
    EXPECT_EQ(PhysicsWorld::boxGeometryFromMesh(noMesh).halfExtents, vec3(0.0f));
}

TEST(PhysicsWorld, BrokenMeshesAreRefusedAndMakeNoActor)
{
    PhysicsWorld world;
    Material* material = world.physics->findOrCreateMaterial(0.5f, 0.5f, 0.5f);
    const float nan = std::numeric_limits<float>::quiet_NaN();

    // A model the game cannot collide with is refused with the reason, never half built.
    testing::internal::CaptureStdout();
    const TriangleMeshGeometry noFaces =
        PhysicsWorld::triangleMeshGeometryFromMesh(*makeModel({{0, 0, 0}}, {}));
    const TriangleMeshGeometry notFinite = PhysicsWorld::triangleMeshGeometryFromMesh(
        *makeModel({{0, 0, 0}, {1, 0, 0}, {0, nan, 1}}, {Triangle{0, 1, 2}}));
    const TriangleMeshGeometry badIndex = PhysicsWorld::triangleMeshGeometryFromMesh(
        *makeModel({{0, 0, 0}, {1, 0, 0}, {0, 0, 1}}, {Triangle{0, 1, 3}}));
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_EQ(noFaces.mesh, nullptr);
    EXPECT_EQ(notFinite.mesh, nullptr);
    EXPECT_EQ(badIndex.mesh, nullptr);
    EXPECT_NE(log.find("no triangles"), std::string::npos) << log;
    EXPECT_NE(log.find("non-finite"), std::string::npos) << log;
    EXPECT_NE(log.find("uses vertex 3 of 3"), std::string::npos) << log;
    EXPECT_EQ(world.createStaticActor(badIndex, *material), nullptr);
    EXPECT_EQ(world.getActorCount(), 0u);

    // Faces that are only points or lines carry no area and are left out.
    auto withLine = makeModel({{0, 0, 0}, {1, 0, 0}, {0, 0, 1}}, {Triangle{0, 1, 2}, Triangle{0, 1, 2}});
    withLine->mMeshes[0]->mFaces[1].mNumIndices = 2;
    const TriangleMeshGeometry good = PhysicsWorld::triangleMeshGeometryFromMesh(*withLine);
    ASSERT_NE(good.mesh, nullptr);
    EXPECT_EQ(good.mesh->getTriangleCount(), 1u);
    EXPECT_NE(world.createStaticActor(good, *material), nullptr);
}

TEST(PhysicsWorld, ActorsLiveInTheSceneUntilReleased)
{
    PhysicsWorld world;
    world.initPhysicsScene();
    Material* material = world.physics->findOrCreateMaterial(0.5f, 0.5f, 0.5f);
    Scene& scene = *world.scene;

    // A new static actor stands at the origin, unturned, outside the scene.
    Actor* rock = world.createStaticActor(BoxGeometry{vec3(1.0f, 2.0f, 3.0f)}, *material);
    ASSERT_NE(rock, nullptr);
    EXPECT_EQ(rock->getGlobalPose().p, vec3(0.0f));
    EXPECT_EQ(rock->getGlobalPose().q, vec4(0.0f, 0.0f, 0.0f, 1.0f));
    EXPECT_EQ(rock->getScene(), nullptr);
    EXPECT_EQ(rock->getMaterial(), material);

    // The name is the very string given; user data links back to the game object.
    static const char* const rockName = "rock";
    int gameObject = 0;
    rock->setName(rockName);
    rock->userData = &gameObject;
    rock->setGlobalPose(Pose(vec3(4.0f, 5.0f, 6.0f)));
    EXPECT_EQ(rock->getName(), rockName);

    // A clone stands at its own pose with the same shape and name and no user data.
    const Pose clonePose(vec3(-3.0f, 0.0f, 1.0f), vec4(0.0f, std::sin(0.5f), 0.0f, std::cos(0.5f)));
    Actor* copy = world.cloneStatic(clonePose, *rock);
    EXPECT_EQ(copy->getName(), rockName);
    EXPECT_EQ(copy->userData, nullptr);
    EXPECT_EQ(copy->getGlobalPose().p, clonePose.p);
    EXPECT_EQ(copy->getGlobalPose().q, clonePose.q);
    EXPECT_EQ(std::get<BoxGeometry>(copy->getGeometry()).halfExtents, vec3(1.0f, 2.0f, 3.0f));
    EXPECT_EQ(rock->getGlobalPose().p, vec3(4.0f, 5.0f, 6.0f));

    // Adding twice counts once; the controller's own actor is in the scene too.
    scene.addActor(*rock);
    scene.addActor(*rock);
    scene.addActor(*copy);
    CapsuleController* controller = world.createCapsuleController(
        CapsuleGeometry{0.5f, 0.01f}, glm::dvec3(0.0, 10.0, 0.0), material, nullptr);
    ASSERT_NE(controller, nullptr);
    EXPECT_EQ(scene.getActorCount(), 3u);
    EXPECT_EQ(controller->getActor()->getScene(), &scene);

    // A released actor leaves the scene and the world.
    rock->release();
    EXPECT_EQ(scene.getActorCount(), 2u);
    EXPECT_EQ(world.getActorCount(), 2u);

    // An actor not in the scene is released just as well; at exit the world
    // releases whatever is left (here the clone and the controller).
    Actor* spare = world.createStaticActor(BoxGeometry{vec3(1.0f)}, *material);
    spare->release();
    EXPECT_EQ(world.getActorCount(), 2u);
}

TEST(PhysicsWorld, InvalidControllersAreRefused)
{
    PhysicsWorld world;
    // Without a scene there is nowhere to put a controller.
    EXPECT_EQ(world.createCapsuleController(CapsuleGeometry{0.5f, 0.01f}, glm::dvec3(0.0), nullptr, nullptr),
              nullptr);
    world.initPhysicsScene();
    EXPECT_EQ(world.createCapsuleController(CapsuleGeometry{0.0f, 0.5f}, glm::dvec3(0.0), nullptr, nullptr),
              nullptr);
    EXPECT_EQ(world.createCapsuleController(CapsuleGeometry{0.5f, -1.0f}, glm::dvec3(0.0), nullptr, nullptr),
              nullptr);
    EXPECT_EQ(world.controllerManager->getControllerCount(), 0u);
    EXPECT_EQ(world.scene->getActorCount(), 0u);
}

TEST(PhysicsWorld, ControllerActorPoseFollowsTheUpDirection)
{
    PhysicsWorld world;
    world.initPhysicsScene();
    CapsuleController* controller = world.createCapsuleController(
        CapsuleGeometry{0.5f, 0.5f}, glm::dvec3(1.0, 2.0, 3.0), nullptr, nullptr);
    ASSERT_NE(controller, nullptr);
    const auto localXInWorld = [&] {
        const Pose pose = controller->getActor()->getGlobalPose();
        return vec3(poseMatrix(pose.q, pose.p) * vec4(1.0f, 0.0f, 0.0f, 0.0f));
    };

    // Upright, the capsule's axis (local X) stands along world Y, centred on the position.
    EXPECT_NEAR(glm::distance(localXInWorld(), vec3(0.0f, 1.0f, 0.0f)), 0.0f, 1e-6f);
    EXPECT_EQ(controller->getActor()->getGlobalPose().p, vec3(1.0f, 2.0f, 3.0f));

    // On a slope the axis follows the ground normal, and the centre moves with setPosition.
    const vec3 tilted = glm::normalize(vec3(0.5f, 1.0f, -0.25f));
    controller->setUpDirection(tilted * 3.0f);
    controller->setPosition(glm::dvec3(-4.0, 5.5, 0.25));
    EXPECT_NEAR(glm::distance(controller->getUpDirection(), tilted), 0.0f, 1e-6f);
    EXPECT_NEAR(glm::distance(localXInWorld(), tilted), 0.0f, 1e-6f);
    EXPECT_EQ(controller->getActor()->getGlobalPose().p, vec3(-4.0f, 5.5f, 0.25f));
    EXPECT_EQ(controller->getPosition(), glm::dvec3(-4.0, 5.5, 0.25));

    // Upside down is a half turn, not a degenerate rotation; a zero up is ignored.
    controller->setUpDirection(vec3(-1.0f, 0.0f, 0.0f));
    EXPECT_NEAR(glm::distance(localXInWorld(), vec3(-1.0f, 0.0f, 0.0f)), 0.0f, 1e-6f);
    controller->setUpDirection(vec3(0.0f));
    EXPECT_EQ(controller->getUpDirection(), vec3(-1.0f, 0.0f, 0.0f));

    // Released, the controller takes its actor out of the scene.
    controller->release();
    EXPECT_EQ(world.scene->getActorCount(), 0u);
    EXPECT_EQ(world.getActorCount(), 0u);
}

}  // namespace
}  // namespace frostline
