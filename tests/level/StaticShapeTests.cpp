// Static shapes, pick-ups and gates: placing, turning and copying their bodies.
#include <gtest/gtest.h>

#include "tests/level/SmallLevel.h"
#include "tests/support/GlTestContext.h"

using namespace frostline;

namespace {

class StaticShapeTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(test::ensureGlContext(), nullptr);
        level = std::make_unique<test::SmallLevel>();
    }

    std::unique_ptr<scene::StaticShape> rock(scene::CollisionKind kind = scene::CollisionKind::Box)
    {
        return std::make_unique<scene::StaticShape>(level->basic.get(), level->motionBlur.get(),
                                                    level->cubePath, level->material, "rock", kind);
    }

    std::unique_ptr<test::SmallLevel> level;
};

void expectMatrixNear(const mat4& actual, const mat4& expected)
{
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            EXPECT_NEAR(actual[c][r], expected[c][r], 1e-5f) << "column " << c << " row " << r;
        }
    }
}

mat4 drawnPose(Actor& actor)
{
    const Pose pose = actor.getGlobalPose();
    return poseMatrix(pose.q, pose.p);
}

}  // namespace

TEST_F(StaticShapeTest, GatesAreNumberedInTheOrderTheyAreMadeCopiesIncluded)
{
    scene::nextCheckpointId = 1;
    scene::Checkpoint& first = level->gate(vec3(0.0f));
    auto copy = std::make_unique<scene::Checkpoint>(first);
    scene::Checkpoint& third = level->gate(vec3(5.0f, 0.0f, 0.0f));
    EXPECT_EQ(first.id, 1);
    EXPECT_EQ(copy->id, 2);
    EXPECT_EQ(third.id, 3);
    EXPECT_EQ(scene::nextCheckpointId, 4);
    // The copy's body carries the gate's name and leads back to the copy.
    EXPECT_STREQ(copy->getActor()->getName(), "Checkpoint");
    EXPECT_EQ(copy->getActor()->userData, static_cast<scene::Shape*>(copy.get()));
}

TEST_F(StaticShapeTest, ACopiedPickUpIsWorthTheSameAndIsItsOwnBody)
{
    scene::Collectable& cow = level->pickUp(scene::Cow, 500, vec3(1.0f, 2.0f, 3.0f));
    scene::Collectable copy(cow);
    EXPECT_EQ(copy.points, 500);
    EXPECT_EQ(copy.kind, scene::Cow);
    EXPECT_STREQ(copy.getActor()->getName(), "Cow");
    EXPECT_EQ(copy.getActor()->userData, static_cast<scene::Shape*>(&copy));
    EXPECT_EQ(cow.getActor()->userData, static_cast<scene::Shape*>(&cow));
    // Same meshes on the GPU, a body of its own at the source's place.
    EXPECT_EQ(copy.meshes, cow.meshes);
    EXPECT_NE(copy.getActor(), cow.getActor());
    EXPECT_EQ(copy.getPosition(), vec3(1.0f, 2.0f, 3.0f));
    // Kinds are named for the hit report.
    EXPECT_STREQ(scene::collectableNames.at(scene::Snowflake), "Snowflake");
    EXPECT_STREQ(scene::collectableNames.at(scene::Star), "Star");
}

TEST_F(StaticShapeTest, PlacingForgetsTurnsAndTurningKeepsThePlace)
{
    auto shape = rock();
    shape->setPosition(4.0f, 5.0f, 6.0f);
    shape->rotateY(45.0f);
    EXPECT_EQ(shape->getPosition(), vec3(4.0f, 5.0f, 6.0f));
    // Turned: the drawn matrix shows the body's pose.
    expectMatrixNear(shape->modelMatrix, drawnPose(*shape->getActor()));
    EXPECT_NEAR(shape->modelMatrix[0][2], -std::sin(45.0f * degreesToRadians), 1e-5f);

    // A new place is unturned.
    shape->setPosition(1.0f, 2.0f, 3.0f);
    expectMatrixNear(shape->modelMatrix, translate(mat4(1.0f), vec3(1.0f, 2.0f, 3.0f)));

    // Turns about the body's own axes: a turn about Y then Z equals the matrix turns in that order.
    shape->rotateY(90.0f);
    shape->rotateZ(20.0f);
    mat4 expected = translate(mat4(1.0f), vec3(1.0f, 2.0f, 3.0f));
    expected = rotate(rotate(expected, vec3(0, 1, 0), 90.0f), vec3(0, 0, 1), 20.0f);
    expectMatrixNear(shape->modelMatrix, expected);
    EXPECT_EQ(shape->getPosition(), vec3(1.0f, 2.0f, 3.0f));
}

TEST_F(StaticShapeTest, MovingOnlyTheDrawnMatrixLastsUntilTheNextPlacement)
{
    auto shape = rock();
    shape->setPosition(1.0f, 0.0f, 0.0f);
    shape->translate(0.0f, 10.0f, 0.0f);
    shape->scale(2.0f, 2.0f, 2.0f);
    // The picture moved, the body did not.
    EXPECT_FLOAT_EQ(shape->modelMatrix[3][1], 10.0f);
    EXPECT_EQ(shape->getPosition(), vec3(1.0f, 0.0f, 0.0f));
    // The next turn shows the body's pose again.
    shape->rotateX(0.0f);
    expectMatrixNear(shape->modelMatrix, translate(mat4(1.0f), vec3(1.0f, 0.0f, 0.0f)));
}

TEST_F(StaticShapeTest, APickUpSpinsWhileItsBodyStays)
{
    scene::Collectable& snowflake = level->pickUp(scene::Snowflake, 50, vec3(0.0f, 3.0f, 0.0f));
    const Pose before = snowflake.getActor()->getGlobalPose();
    // One second at 60 frames a second: a quarter turn.
    for (int frame = 0; frame < 60; ++frame) {
        snowflake.update(1.0f / 60.0f);
    }
    expectMatrixNear(snowflake.modelMatrix,
                     rotate(translate(mat4(1.0f), vec3(0.0f, 3.0f, 0.0f)), vec3(0, 1, 0), 90.0f));
    const Pose after = snowflake.getActor()->getGlobalPose();
    EXPECT_EQ(after.q, before.q);
    EXPECT_EQ(after.p, before.p);
}

TEST_F(StaticShapeTest, BodiesAreBoxesOrCookedMeshesOfTheModel)
{
    auto box = rock(scene::CollisionKind::Box);
    const auto* boxGeometry = std::get_if<BoxGeometry>(&box->getActor()->getGeometry());
    ASSERT_NE(boxGeometry, nullptr);
    EXPECT_EQ(boxGeometry->halfExtents, vec3(1.0f));

    testing::internal::CaptureStdout();
    auto mesh = rock(scene::CollisionKind::TriangleMesh);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("creating trianglemesh\n"), std::string::npos);
    const auto* meshGeometry = std::get_if<TriangleMeshGeometry>(&mesh->getActor()->getGeometry());
    ASSERT_NE(meshGeometry, nullptr);
    EXPECT_NE(meshGeometry->mesh, nullptr);
    EXPECT_STREQ(mesh->getActor()->getName(), "rock");
}

TEST_F(StaticShapeTest, AReleasedBodyIsForgotten)
{
    std::size_t bodies = level->actorsInScene();
    {
        auto shape = rock();
        PhysicsWorld::instance().scene->addActor(*shape->getActor());
        EXPECT_EQ(level->actorsInScene(), bodies + 1);
        shape->releaseActor();
        EXPECT_EQ(shape->getActor(), nullptr);
        EXPECT_EQ(level->actorsInScene(), bodies);
        // Releasing again, placing and turning a shape without a body change nothing.
        shape->releaseActor();
        shape->setPosition(1.0f, 1.0f, 1.0f);
        shape->rotateY(30.0f);
    }
    // The destructor released nothing twice.
    EXPECT_EQ(level->actorsInScene(), bodies);
    const std::size_t alive = PhysicsWorld::instance().getActorCount();
    { auto shape = rock(); }
    EXPECT_EQ(PhysicsWorld::instance().getActorCount(), alive);
}

TEST_F(StaticShapeTest, AMeshThatCannotBeCookedStopsTheStartUpNamingTheModel)
{
    const std::string broken =
        level->folder.write("broken.obj", "o broken\nv 0 0 0\nv 1e39 0 0\nv 0 0 1\nf 1 2 3\n");
    EXPECT_FATAL_EXIT(scene::StaticShape(level->basic.get(), level->motionBlur.get(), broken, level->material,
                                         "rock", scene::CollisionKind::TriangleMesh),
                      "collision mesh of broken\\.obj");
}
