// The sled on the real level: start, slope, obstacles, gates, pick-ups, respawn.
#include <gtest/gtest.h>

#include <cmath>

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include "physics/PhysicsWorld.h"
#include "scene/Collectable.h"
#include "scene/InvisibleWall.h"
#include "scene/Terrain.h"
#include "tests/level/RaceHarness.h"
#include "tests/support/GlTestContext.h"

using namespace frostline;

namespace {

constexpr float frameTime = 1.0f / 60.0f;
const vec3 startPosition(-70.0f, 150.0f, 96.0f);

class SledTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(test::ensureGlContext(), nullptr);
        race = std::make_unique<test::RaceHarness>();
        sled = race->sled;
    }

    /// The level object at position (world units) whose actor carries name.
    scene::Shape* objectAt(const char* name, vec3 position) const
    {
        for (scene::SceneObject* object : race->world->objects) {
            auto* shape = dynamic_cast<scene::Shape*>(object);
            Actor* actor = shape ? shape->getActor() : nullptr;
            if (actor && actor->getName() && std::string(actor->getName()) == name &&
                length(shape->getPosition() - position) < 0.01f) {
                return shape;
            }
        }
        return nullptr;
    }

    /// Puts the sled at position facing heading (unit, horizontal) with speed, as a player would
    /// find it when riding there; the next update moves it.
    void placeSled(vec3 position, float headingDegrees, float speed)
    {
        sled->setPosition(position.x, position.y, position.z);
        sled->rotateY(headingDegrees - sled->yaw);
        sled->speed = speed;
    }

    std::unique_ptr<test::RaceHarness> race;
    scene::ControllerShape* sled = nullptr;
};

void expectNear(vec3 actual, vec3 expected, float tolerance)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

}  // namespace

TEST_F(SledTest, TheLevelHoldsEverythingInItsPlace)
{
    // 17 scenery objects, 5 gates with their number signs, 15 pick-ups, the sled and its two parts.
    EXPECT_EQ(race->world->objects.size(), 45u);
    // 12 scenery bodies (five trees are drawn only), 5 gates, 15 pick-ups, the sled's own
    // and the sixteen pieces of border wall (four sides, three round each corner), which
    // have a body and nothing to draw.
    EXPECT_EQ(PhysicsWorld::instance().scene->getActorCount(), 49u);
    int walls = 0;
    for (const auto& object : race->world->levelObjects) {
        if (auto* wall = dynamic_cast<scene::InvisibleWall*>(object.get())) {
            ++walls;
            EXPECT_STREQ(wall->getActor()->getName(), "border wall");
            EXPECT_EQ(wall->getActor()->getScene(), PhysicsWorld::instance().scene);
            EXPECT_EQ(race->world->objects.count(wall), 0u);
        }
    }
    EXPECT_EQ(walls, 16);
    // Gates 1 to 5 stand where the race needs them, in order.
    const vec3 gatePositions[] = {{0.0f, 119.4f, 81.0f}, {-44.0f, 111.0f, 24.0f}, {75.0f, 85.1f, 26.0f},
                                  {-61.0f, 43.0f, -97.0f}, {61.0f, 6.5f, -97.0f}};
    for (int id = 1; id <= 5; ++id) {
        ASSERT_NE(race->gate(id), nullptr) << "gate " << id;
        expectNear(race->gate(id)->getPosition(), gatePositions[id - 1], 1e-4f);
    }
    EXPECT_EQ(race->gate(6), nullptr);
    // Three cows and twelve snowflakes.
    EXPECT_EQ(race->totalPickUpPoints(), 2100);
    // The sled is called by its name.
    EXPECT_STREQ(sled->getActor()->getName(), "Player");
}

TEST_F(SledTest, StartsOnTheSummitHeadingEastAndSlidesOnlyAsTheSlopeMakesIt)
{
    // Before the first frame: at the start, heading along +x.
    expectNear(sled->getPosition(), startPosition, 1e-4f);
    expectNear(sled->heading, vec3(1.0f, 0.0f, 0.0f), 1e-6f);
    expectNear(sled->respawnPosition, startPosition, 1e-4f);

    // During the countdown and after it, without a key: each frame the speed changes
    // by exactly the slope term, the heading stays and nothing leans.
    for (int frame = 0; frame < 300; ++frame) {
        const float expected = sled->speed + sled->slopeAcceleration * frameTime;
        race->frame(frameTime);
        ASSERT_FLOAT_EQ(sled->speed, expected) << "frame " << frame;
    }
    EXPECT_GT(sled->speed, 1.0f);  // downhill
    expectNear(sled->heading, vec3(1.0f, 0.0f, 0.0f), 1e-6f);
    EXPECT_GT(sled->getPosition().x, startPosition.x + 5.0f);
    EXPECT_LT(sled->getPosition().y, startPosition.y);
    EXPECT_TRUE(sled->grounded);
    EXPECT_FALSE(sled->leftSprayActive || sled->rightSprayActive);
}

TEST_F(SledTest, ARockTouchedSidewaysHalvesTheSpeedOncePerMove)
{
    // Ride east at a rock (the first one), from 8 units before it.
    const vec3 rock(-65.0f, 117.0f, 41.0f);
    ASSERT_NE(objectAt("rock", rock), nullptr);
    race->finishCountdown(frameTime);
    placeSled(rock + vec3(-8.0f, 2.0f, 0.0f), -90.0f, 6.0f);

    int halvings = 0;
    for (int frame = 0; frame < 120 && halvings == 0; ++frame) {
        const float expected = sled->speed + sled->slopeAcceleration * frameTime;
        race->frame(frameTime);
        if (sled->speed != expected) {
            // One bump: exactly half, however many contacts the move reported.
            EXPECT_FLOAT_EQ(sled->speed, expected * 0.5f) << "frame " << frame;
            ++halvings;
        }
    }
    EXPECT_EQ(halvings, 1);
    EXPECT_LT(sled->getPosition().x, rock.x);
}

TEST_F(SledTest, RespawnReturnsToTheStartThenToTheLastGatePassed)
{
    race->finishCountdown(frameTime);
    for (int frame = 0; frame < 60; ++frame) {
        race->frame(frameTime);
    }
    // Before any gate, R puts the sled back on the summit, at rest, heading east.
    race->press(GLFW_KEY_R);
    race->frame(frameTime);
    race->releaseAll();
    EXPECT_NEAR(sled->getPosition().x, startPosition.x, 0.2f);
    EXPECT_NEAR(sled->getPosition().z, startPosition.z, 0.2f);
    expectNear(sled->heading, vec3(1.0f, 0.0f, 0.0f), 1e-6f);

    // Ride through gate 1, then on.
    while (race->race->nextCheckpoint == 1) {
        race->steerTowardNextGate();
        race->frame(frameTime);
        ASSERT_FALSE(race->race->gameOver);
    }
    const vec3 headingAtGate = sled->respawnHeading;
    for (int frame = 0; frame < 60; ++frame) {
        race->steerTowardNextGate();
        race->frame(frameTime);
    }
    // R now puts it back at gate 1, at rest, heading as it rode through.
    race->releaseAll();
    sled->respawn();
    expectNear(sled->getPosition(), race->gate(1)->getPosition(), 1e-4f);
    EXPECT_EQ(sled->speed, 0.0f);
    expectNear(sled->heading, headingAtGate, 1e-6f);
    expectNear(sled->chaseCamera->forward, headingAtGate, 1e-6f);
}

TEST_F(SledTest, ASledFoundOutOfTheWorldIsBackAtTheLastGate)
{
    // Should the sled ever get past the border or fall far under the snow, the frame
    // that finds it there puts it back at the last gate, at rest, as R would.
    race->finishCountdown(frameTime);
    while (race->race->nextCheckpoint == 1) {
        race->steerTowardNextGate();
        race->frame(frameTime);
        ASSERT_FALSE(race->race->gameOver);
    }
    const vec3 gate = race->gate(1)->getPosition();
    const vec3 headingAtGate = sled->respawnHeading;
    struct Place {
        const char* what;
        vec3 position;
    };
    const Place outOfTheWorld[] = {
        {"past the east edge", {200.0f, 100.0f, 0.0f}},
        {"past the south edge", {0.0f, 60.0f, -220.0f}},
        {"past the north-west corner", {-150.0f, 160.0f, 170.0f}},
        // Too deep for the controller's lift out of the snow: it falls on.
        {"far under the finish", {61.0f, -1100.0f, -97.0f}},
    };
    for (const Place& place : outOfTheWorld) {
        SCOPED_TRACE(place.what);
        for (int frame = 0; frame < 30; ++frame) {
            race->steerTowardNextGate();
            race->frame(frameTime);
        }
        placeSled(place.position, sled->yaw + 30.0f, 20.0f);
        race->releaseAll();
        race->frame(frameTime);
        expectNear(sled->getPosition(), gate, 1e-4f);
        EXPECT_EQ(sled->speed, 0.0f);
        expectNear(sled->heading, headingAtGate, 1e-6f);
    }
    // From there the race goes on: the sled, in the world, is left alone to reach gate 2.
    for (int frame = 0; frame < 3600 && race->race->nextCheckpoint == 2; ++frame) {
        race->steerTowardNextGate();
        race->frame(frameTime);
    }
    EXPECT_EQ(race->race->nextCheckpoint, 3);
    EXPECT_FALSE(race->race->lost);
}

TEST_F(SledTest, ACowGivesThreeSecondsOfBoost)
{
    // Ride east into the third cow.
    const vec3 cow(-25.2f, 105.15f, 28.1f);
    auto* cowShape = dynamic_cast<scene::Collectable*>(objectAt("Cow", cow));
    ASSERT_NE(cowShape, nullptr);
    race->finishCountdown(frameTime);
    placeSled(cow + vec3(-5.0f, 0.0f, 0.0f), -90.0f, 4.0f);
    for (int frame = 0; frame < 120 && race->race->points == 0; ++frame) {
        race->frame(frameTime);
    }
    ASSERT_EQ(race->race->points, 500u);
    EXPECT_TRUE(cowShape->hidden);
    EXPECT_EQ(cowShape->getActor(), nullptr);
    EXPECT_FLOAT_EQ(sled->boostTime, 3.0f);

    // From the next frame on for three seconds: a quarter faster and half the blur reference.
    int boosted = 0;
    while (sled->boostTime > -1.0f) {
        race->frame(frameTime);
        if (sled->boostFactor == 1.25f) {
            EXPECT_EQ(blurReferenceRate, 30.0f);
            ++boosted;
        } else {
            EXPECT_EQ(blurReferenceRate, 60.0f);
        }
    }
    EXPECT_NEAR(boosted, 180, 1);
    EXPECT_EQ(sled->boostFactor, 1.0f);
    EXPECT_EQ(race->race->points, 500u);
}

TEST_F(SledTest, TheDrawnTerrainFollowsItsBodyAtTheNextUpdate)
{
    scene::Shape* terrain = objectAt("Terrain", vec3(0.0f));
    ASSERT_NE(terrain, nullptr);
    auto* slope = dynamic_cast<scene::Terrain*>(terrain);
    ASSERT_NE(slope, nullptr);
    EXPECT_EQ(terrain->getActor()->userData, terrain);

    // Moved down by 5: the body is there at once, the picture after the next update.
    slope->setPosition(0.0f, -5.0f, 0.0f);
    EXPECT_EQ(slope->getPosition(), vec3(0.0f, -5.0f, 0.0f));
    EXPECT_EQ(slope->modelMatrix[3], vec4(0.0f, 0.0f, 0.0f, 1.0f));
    slope->rotateY(30.0f);
    EXPECT_EQ(slope->modelMatrix[0], vec4(1.0f, 0.0f, 0.0f, 0.0f));
    slope->update(0.5f);
    const Pose pose = slope->getActor()->getGlobalPose();
    EXPECT_EQ(slope->modelMatrix, poseMatrix(pose.q, pose.p));
    EXPECT_EQ(slope->getPosition(), vec3(0.0f, -5.0f, 0.0f));
    EXPECT_NEAR(slope->modelMatrix[0][2], -std::sin(30.0f * degreesToRadians), 1e-5f);
}
