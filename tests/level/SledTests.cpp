// The sled on the real level: start, slope, obstacles, gates, pick-ups, respawn.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include "app/Globals.h"
#include "controls/KeyInput.h"
#include "physics/PhysicsWorld.h"
#include "scene/Camera.h"
#include "scene/Collectable.h"
#include "scene/InvisibleWall.h"
#include "scene/Terrain.h"
#include "tests/level/RaceHarness.h"
#include "tests/scene/TestModels.h"
#include "tests/support/GlTestContext.h"
#include "ui/Hud.h"

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

/// The game's sled alone on a flat snow field 400 units wide (a plane whose body is
/// named "Terrain", as the level's snow is), heading +x, with a race and the player's
/// controller reading scripted keys. The sled moves only through its own update.
class FlatFieldTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(test::ensureGlContext(), nullptr);
        blurReferenceRate = 60.0f;
        world = std::make_unique<World>(LevelContent::Empty);
        PhysicsWorld& physics = PhysicsWorld::instance();
        physics.initPhysicsScene();
        world->createPlayer(physics);
        sled = world->player;
        sled->raceState = &race;
        // No snow of the level: no edges of the world to keep the sled within.
        sled->boundsMin = vec3(std::numeric_limits<float>::lowest());
        sled->boundsMax = vec3(std::numeric_limits<float>::max());
        material = physics.physics->findOrCreateMaterial(0.5f, 0.5f, 0.5f);
        field = std::make_unique<scene::StaticShape>(world->basicProgram, world->motionBlurProgram,
                                                     files.write("field.obj", test::planeObj(200.0f)),
                                                     material, "Terrain", scene::CollisionKind::TriangleMesh);
        physics.scene->addActor(*field->getActor());
        controller = std::make_unique<controls::PlayerInputController>(*sled, race);
        race.paused = false;
        controls::setKeyReader([this](GLFWwindow*, int key) { return held.count(key) > 0; });
    }
    void TearDown() override
    {
        controls::setKeyReader({});
        controller.reset();
        world.reset();
        field.reset();
    }

    /// Puts the sled at rest at (x, y, z), then lets it settle on the snow for half a second.
    void place(float x, float y, float z)
    {
        sled->setPosition(x, y, z);
        for (int frame = 0; frame < 30; ++frame) {
            sled->update(frameTime);
        }
    }

    /// One frame: the keys held, then the sled's update.
    void frame()
    {
        controller->update(test::ensureGlContext(), frameTime);
        sled->update(frameTime);
    }

    test::TempDir files;
    RaceState race;
    std::unique_ptr<World> world;
    scene::ControllerShape* sled = nullptr;
    Material* material = nullptr;
    std::unique_ptr<scene::StaticShape> field;
    std::unique_ptr<controls::PlayerInputController> controller;
    std::set<int> held;
};

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

TEST_F(SledTest, KeysWaitForTheCountdownAndTheClockStopsWhenTheRaceIsDecided)
{
    // Up and Left held from the start: through "3", "2", "1" and the frame that shows
    // "0" the sled only slides as the slope makes it; on the next frame it answers.
    race->press(GLFW_KEY_UP);
    race->press(GLFW_KEY_LEFT);
    const vec3 startHeading = sled->heading;
    std::vector<std::string> shown;
    while (!countdownDone) {
        const float expected = sled->speed + sled->slopeAcceleration * frameTime;
        race->frame(frameTime);
        if (shown.empty() || shown.back() != ui::currentMessage()) {
            shown.push_back(ui::currentMessage());
        }
        ASSERT_FLOAT_EQ(sled->speed, expected) << "countdown " << ui::currentMessage();
        ASSERT_EQ(sled->heading, startHeading) << "countdown " << ui::currentMessage();
        ASSERT_EQ(sled->leftLean, 0.0f);
        ASSERT_EQ(race->race->timeLeft, 10.0f);
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"3", "2", "1", "0"}));
    const float expected = sled->speed + sled->slopeAcceleration * frameTime;
    race->frame(frameTime);
    EXPECT_GT(sled->speed, expected);
    EXPECT_LT(sled->heading.z, 0.0f);  // turned left, toward -z
    EXPECT_LT(race->race->timeLeft, 10.0f);
    race->releaseAll();

    // Won with half a second on the clock: the clock stands, the race stays won.
    for (int id = 1; id <= 5; ++id) {
        race->race->passCheckpoint(*race->gate(id));
    }
    ASSERT_TRUE(race->race->gameOver);
    race->race->timeLeft = 0.5f;
    for (int frame = 0; frame < 120; ++frame) {
        race->frame(frameTime);
    }
    EXPECT_EQ(race->race->timeLeft, 0.5f);
    EXPECT_FALSE(race->race->lost);
}

TEST_F(SledTest, LostWhileSlidingBackUphillTheSledIsBroughtToRest)
{
    // Facing uphill the sled slides backwards; the race is lost on the next frame (the
    // clock runs out). Braked every frame as the HUD does, it stops within a second
    // and stays there, and the clock stays at zero.
    race->finishCountdown(frameTime);
    placeSled(startPosition, 90.0f, 0.0f);
    for (int frame = 0; frame < 60; ++frame) {
        race->frame(frameTime);
    }
    ASSERT_LT(sled->speed, -0.5f);
    race->race->timeLeft = frameTime / 2.0f;
    for (int frame = 0; frame < 60; ++frame) {
        race->frame(frameTime);
    }
    ASSERT_TRUE(race->race->lost);
    const vec3 restingPlace = sled->getPosition();
    for (int frame = 0; frame < 120; ++frame) {
        race->frame(frameTime);
    }
    EXPECT_LT(glm::distance(sled->getPosition(), restingPlace), 0.3f);
    EXPECT_GT(sled->speed, -0.1f);
    EXPECT_EQ(race->race->timeLeft, 0.0f);
}

TEST_F(SledTest, TheChaseCameraLooksWhereTheSledHeads)
{
    // Steering left and right for a while: the camera stays behind the sled, looking along its heading.
    race->finishCountdown(frameTime);
    for (const int key : {GLFW_KEY_LEFT, GLFW_KEY_RIGHT, GLFW_KEY_RIGHT}) {
        race->releaseAll();
        race->press(key);
        for (int frame = 0; frame < 45; ++frame) {
            race->frame(frameTime);
        }
        const scene::Camera& camera = *sled->chaseCamera;
        const vec3 look = -vec3(camera.modelMatrix[2]);
        SCOPED_TRACE("yaw " + std::to_string(sled->yaw));
        expectNear(glm::normalize(vec3(look.x, 0.0f, look.z)), sled->heading, 1e-4f);
        const vec3 behind = sled->getPosition() - camera.position;
        expectNear(glm::normalize(vec3(behind.x, 0.0f, behind.z)), sled->heading, 1e-4f);
    }
}

TEST_F(FlatFieldTest, ACowsBoostMakesTheRealMoveAQuarterLongerForThreeSeconds)
{
    // A cow 10 units ahead of the sled, which rides at speed 10: each frame it moves
    // moveScale x speed x frame time along its heading; from the frame after it takes
    // the cow, for three seconds, a quarter more, and then as before.
    place(-150.0f, 1.5f, 0.0f);
    scene::Collectable cow(world->basicProgram, world->motionBlurProgram,
                           files.write("cow.obj", test::cubeObj(1.0f)), material, scene::Cow, 500);
    cow.setPosition(-140.0f, 1.0f, 0.0f);
    PhysicsWorld::instance().scene->addActor(*cow.getActor());
    sled->speed = 10.0f;
    const float plainStep = sled->moveScale * frameTime * 10.0f;
    for (int frames = 0; race.points == 0 && frames < 120; ++frames) {
        const vec3 before = sled->getPosition();
        frame();
        if (race.points == 0) {  // (the frame that takes the cow may stop at its side)
            ASSERT_NEAR(glm::dot(sled->getPosition() - before, sled->heading), plainStep, 0.01f * plainStep);
        }
    }
    ASSERT_EQ(race.points, 500u);
    int boosted = 0;
    int plain = 0;
    for (int i = 0; i < 240; ++i) {
        const vec3 before = sled->getPosition();
        frame();
        const float step = glm::dot(sled->getPosition() - before, sled->heading);
        if (std::fabs(step - 1.25f * plainStep) < 0.01f * plainStep) {
            ASSERT_EQ(plain, 0) << "a boosted frame after the boost ended, frame " << i;
            EXPECT_EQ(blurReferenceRate, 30.0f);
            ++boosted;
        } else {
            ASSERT_NEAR(step, plainStep, 0.01f * plainStep) << "frame " << i;
            EXPECT_EQ(blurReferenceRate, 60.0f);
            ++plain;
        }
    }
    EXPECT_NEAR(boosted, 180, 1);
    EXPECT_NEAR(sled->speed, 10.0f, 1e-3f);
}

TEST_F(FlatFieldTest, InTheAirTheSledNeitherSteersNorBrakes)
{
    // Thrown 8 units above the snow at speed 5 with Left, Down and Up held: while it falls
    // it is not on the ground, and its heading, speed and sides stay as they were.
    place(0.0f, 1.5f, 0.0f);
    ASSERT_TRUE(sled->grounded);
    sled->setPosition(0.0f, 9.5f, 0.0f);
    sled->speed = 5.0f;
    sled->update(frameTime);  // the first move finds no snow below
    const vec3 heading = sled->heading;
    held = {GLFW_KEY_LEFT, GLFW_KEY_DOWN, GLFW_KEY_UP};
    int inTheAir = 0;
    while (!sled->grounded && inTheAir < 120) {
        ++inTheAir;
        frame();
        EXPECT_EQ(sled->heading, heading);
        EXPECT_EQ(sled->speed, 5.0f);
        EXPECT_EQ(sled->leftLean, 0.0f);
        EXPECT_EQ(sled->rightLean, 0.0f);
    }
    EXPECT_GT(inTheAir, 10);
    EXPECT_LT(inTheAir, 60);

    // Back on the snow the keys act again: it turns left and the sides swing out.
    held = {GLFW_KEY_LEFT};
    for (int i = 0; i < 10; ++i) {
        frame();
    }
    EXPECT_TRUE(sled->grounded);
    EXPECT_LT(sled->heading.z, 0.0f);
    EXPECT_GT(sled->leftLean, 0.0f);
}
