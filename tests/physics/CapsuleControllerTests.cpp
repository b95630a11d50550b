// The sled's capsule controller in tiny worlds: a slope, boxes, steep faces and
// steps, ridden at a fixed time step with the sled's own movement rule.
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

#include <LinearMath/btAlignedAllocator.h>
#include <gtest/gtest.h>

#include "physics/PhysicsWorld.h"
#include "tests/physics/PhysicsTestWorld.h"

// --- allocation counting: the controller's per-frame path must not allocate ---
namespace {
std::atomic<bool> countAllocations{false};
std::atomic<long> allocationCount{0};

void* countedAlloc(std::size_t size)
{
    if (countAllocations) {
        ++allocationCount;
    }
    return std::malloc(size);
}
void* bulletAlloc(std::size_t size) { return countedAlloc(size); }
void bulletFree(void* memory) { std::free(memory); }
// Bullet allocates through its own hook; route it through the counter as well.
const bool bulletHookInstalled = (btAlignedAllocSetCustom(bulletAlloc, bulletFree), true);
}  // namespace

void* operator new(std::size_t size)
{
    if (void* memory = countedAlloc(size ? size : 1)) {
        return memory;
    }
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return countedAlloc(size ? size : 1); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return countedAlloc(size ? size : 1); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }

namespace frostline {
namespace {

using test::SledRider;

constexpr float radius = 0.5f;
constexpr float halfHeight = 0.01f;  // the sled's capsule is practically a sphere
constexpr float contactOffset = 0.1f;
constexpr float restHeight = radius + halfHeight + contactOffset;  // centre height on flat ground
constexpr float frame = 1.0f / 60.0f;

/// The smallest world for a scenario: a physics world, ground, obstacles and the sled.
struct SledScene {
    SledScene()
    {
        world.initPhysicsScene();
        material = world.physics->createMaterial(0.5f, 0.5f, 0.5f);
        rider.touches.reserve(1 << 16);
    }

    Actor* addMesh(const aiScene& model, const char* name)
    {
        Actor* actor = world.createStaticActor(PhysicsWorld::triangleMeshGeometryFromMesh(model), *material);
        actor->setName(name);
        world.scene->addActor(*actor);
        return actor;
    }
    Actor* addGround(float degrees = 0.0f) { return addMesh(*test::tiltedPlane(degrees, 200.0f), "Terrain"); }
    Actor* addBox(vec3 halfExtents, vec3 position, const char* name)
    {
        Actor* actor = world.createStaticActor(BoxGeometry{halfExtents}, *material);
        actor->setName(name);
        actor->setGlobalPose(Pose(position));
        world.scene->addActor(*actor);
        return actor;
    }
    CapsuleController& addSled(glm::dvec3 position, float speed = 0.0f)
    {
        sled = world.createCapsuleController(CapsuleGeometry{radius, halfHeight}, position, material, &rider);
        rider.speed = speed;
        return *sled;
    }
    CollisionFlags step(float dt = frame)
    {
        rider.touches.clear();
        return rider.step(*sled, dt);
    }
    /// Gap (world units) between the capsule and the plane through the origin with unit normal n.
    double gapTo(vec3 n) const
    {
        const double axisReach = halfHeight * std::abs(glm::dot(sled->getUpDirection(), n));
        return glm::dot(sled->getPosition(), glm::dvec3(n)) - axisReach - radius;
    }
    bool touched(const char* name) const
    {
        for (const SledRider::Touch& touch : rider.touches) {
            if (touch.name && std::strcmp(touch.name, name) == 0) {
                return true;
            }
        }
        return false;
    }

    PhysicsWorld world;
    Material* material = nullptr;
    SledRider rider;
    CapsuleController* sled = nullptr;
};

TEST(CapsuleController, SledRidesDownASlopeOnItsContactOffset)
{
    const float slope = 30.0f * degreesToRadians;
    const vec3 normal(std::sin(slope), std::cos(slope), 0.0f);

    struct Ride {
        float dt;
        double startHeight;
        float seconds;
    };
    for (const Ride ride : {Ride{frame, 1.5, 4.0f}, Ride{0.5f, 1.5, 6.0f}, Ride{frame, 20.0, 4.0f}}) {
        SCOPED_TRACE(testing::Message() << "dt " << ride.dt << ", start " << ride.startHeight);
        SledScene scene;
        scene.addGround(30.0f);
        scene.addSled(glm::dvec3(0.0, ride.startHeight, 0.0));

        // The sled falls, lands without sinking in, then slides downhill on the
        // surface, gathering 1.5 units of speed per second, and never loses the ground.
        int landedAt = -1;
        float speedAtLanding = 0.0f;
        const int frames = int(ride.seconds / ride.dt);
        for (int i = 0; i < frames; ++i) {
            const CollisionFlags flags = scene.step(ride.dt);
            ASSERT_GT(scene.gapTo(normal), contactOffset - 0.01) << "frame " << i;
            if (landedAt < 0 && (flags & collisionDown)) {
                landedAt = i;
                speedAtLanding = scene.rider.speed;
            }
            if (landedAt >= 0) {
                ASSERT_TRUE(flags & collisionDown) << "frame " << i;
                ASSERT_NEAR(scene.gapTo(normal), contactOffset, 0.01) << "frame " << i;
                ASSERT_TRUE(scene.touched("Terrain")) << "frame " << i;
            }
        }
        ASSERT_GE(landedAt, 0);
        const float riddenSeconds = float(frames - 1 - landedAt) * ride.dt;
        EXPECT_NEAR(scene.rider.speed - speedAtLanding, 1.5f * riddenSeconds, 0.02f * riddenSeconds + 0.01f);
        EXPECT_GT(scene.sled->getPosition().x, 1.0);
        // The controller's up direction now follows the slope.
        EXPECT_NEAR(glm::distance(scene.sled->getUpDirection(), normal), 0.0f, 1e-3f);
    }
}

TEST(CapsuleController, BoxStopsTheSledUntilItIsReleased)
{
    SledScene scene;
    scene.addGround();
    Actor* rock = scene.addBox(vec3(0.5f, 1.0f, 2.0f), vec3(5.0f, 1.0f, 0.0f), "rock");
    scene.addSled(glm::dvec3(0.0, restHeight, 0.0), 5.0f);

    // Riding into the rock: the sides are hit, the rock is reported with its face
    // normal, and the sled waits in front of it without climbing it.
    bool sideHit = false;
    for (int i = 0; i < 120 && !sideHit; ++i) {
        sideHit = scene.step() & collisionSides;
    }
    ASSERT_TRUE(sideHit);
    bool rockReported = false;
    for (const SledRider::Touch& touch : scene.rider.touches) {
        if (touch.actor == rock) {
            rockReported = true;
            EXPECT_GT(glm::dot(touch.normal, vec3(-1.0f, 0.0f, 0.0f)), 0.999f);
        }
    }
    EXPECT_TRUE(rockReported);
    for (int i = 0; i < 30; ++i) {
        EXPECT_TRUE(scene.step() & collisionSides);
    }
    EXPECT_NEAR(scene.sled->getPosition().x, 4.5 - radius - contactOffset, 0.01);
    EXPECT_NEAR(scene.sled->getPosition().y, restHeight, 0.01);

    // Once the rock is released the sled rides on through where it stood.
    rock->release();
    for (int i = 0; i < 60; ++i) {
        EXPECT_FALSE(scene.step() & collisionSides);
        EXPECT_FALSE(scene.touched("rock"));
    }
    EXPECT_GT(scene.sled->getPosition().x, 7.0);
}

TEST(CapsuleController, CloneCollidesWhereItStandsAndCarriesItsOwnUserData)
{
    SledScene scene;
    scene.addGround();
    int sourceObject = 0, cloneObject = 0;
    Actor* source = scene.addBox(vec3(0.5f, 1.0f, 1.0f), vec3(5.0f, 1.0f, 20.0f), "tree");
    source->userData = &sourceObject;
    Actor* clone = scene.world.cloneStatic(Pose(vec3(5.0f, 1.0f, 0.0f)), *source);
    clone->userData = &cloneObject;
    scene.world.scene->addActor(*clone);
    scene.addSled(glm::dvec3(0.0, restHeight, 0.0), 5.0f);

    // The copy in the sled's path stops it, named like its source, pointing at its own object.
    bool sideHit = false;
    for (int i = 0; i < 120 && !sideHit; ++i) {
        sideHit = scene.step() & collisionSides;
    }
    ASSERT_TRUE(sideHit);
    EXPECT_NEAR(scene.sled->getPosition().x, 4.5 - radius - contactOffset, 0.01);
    bool cloneReported = false;
    for (const SledRider::Touch& touch : scene.rider.touches) {
        EXPECT_NE(touch.actor, source);
        if (touch.actor == clone) {
            cloneReported = true;
            EXPECT_STREQ(touch.name, "tree");
            EXPECT_EQ(touch.userData, &cloneObject);
        }
    }
    EXPECT_TRUE(cloneReported);
}

TEST(CapsuleController, SteepFacesAndHighStepsAreWallsLowStepsAreClimbed)
{
    // Runs the sled along +x for the given seconds; returns the highest centre reached.
    const auto rideInto = [](SledScene& scene, float speed, float seconds) {
        scene.addSled(glm::dvec3(0.0, restHeight, 0.0), speed);
        double highest = 0.0;
        for (int i = 0; i < int(seconds / frame); ++i) {
            scene.step();
            highest = std::max(highest, scene.sled->getPosition().y);
        }
        return highest;
    };

    for (const float speed : {5.0f, 20.0f}) {
        SCOPED_TRACE(testing::Message() << "speed " << speed);
        {
            SCOPED_TRACE("a 70 degree face");
            SledScene scene;
            scene.addGround();
            scene.addMesh(*test::tiltedPlane(-70.0f, 3.0f, vec3(3.0f, 0.0f, 0.0f)), "cliff");
            // The sled is held at the foot of the face and never climbs it.
            const double highest = rideInto(scene, speed, 2.0f);
            EXPECT_LT(highest, restHeight + 0.01);
            EXPECT_LT(scene.sled->getPosition().x, 3.0);
            EXPECT_GT(scene.sled->getPosition().x, 2.0);
            EXPECT_TRUE(scene.touched("cliff"));
        }
        {
            SCOPED_TRACE("a 0.5 step");
            SledScene scene;
            scene.addGround();
            scene.addBox(vec3(100.0f, 0.25f, 2.0f), vec3(103.0f, 0.25f, 0.0f), "ledge");
            // A step as high as the sled's radius stops it at its foot, the contact
            // offset away from its edge, without lifting it for a single frame.
            const double highest = rideInto(scene, speed, 2.0f);
            EXPECT_LT(highest, restHeight + 0.01);
            const double edgeDistance = std::hypot(3.0 - scene.sled->getPosition().x, 0.5 - restHeight);
            EXPECT_NEAR(edgeDistance, radius + contactOffset, 0.02);
            EXPECT_TRUE(scene.touched("ledge"));
        }
        {
            SCOPED_TRACE("a 0.05 step");
            SledScene scene;
            scene.addGround();
            scene.addBox(vec3(100.0f, 0.025f, 2.0f), vec3(103.0f, 0.025f, 0.0f), "kerb");
            // The sled rides up onto a low step and on along its top.
            rideInto(scene, speed, 2.0f);
            EXPECT_GT(scene.sled->getPosition().x, 10.0);
            EXPECT_NEAR(scene.sled->getPosition().y, restHeight + 0.05, 0.01);
        }
    }
}

TEST(CapsuleController, OneMoveCanReportSeveralContacts)
{
    SledScene scene;
    scene.addGround();
    scene.addBox(vec3(0.5f, 1.0f, 3.0f), vec3(3.0f, 1.0f, -1.0f), "east wall");
    scene.addBox(vec3(3.0f, 1.0f, 0.5f), vec3(0.0f, 1.0f, -2.5f), "north wall");
    scene.addSled(glm::dvec3(0.0, restHeight, 0.0), 5.0f);
    scene.rider.heading = glm::normalize(vec3(1.0f, 0.0f, -1.0f));

    // Pushed into a corner, a single move touches the ground and both walls, so
    // the report is called several times in that move (the sled counts an obstacle once).
    for (int i = 0; i < 90; ++i) {
        scene.step();
    }
    EXPECT_GE(scene.rider.hitCount, 3);
    EXPECT_TRUE(scene.touched("Terrain"));
    EXPECT_TRUE(scene.touched("east wall"));
    EXPECT_TRUE(scene.touched("north wall"));
    EXPECT_NEAR(scene.sled->getPosition().x, 2.5 - radius - contactOffset, 0.01);
    EXPECT_NEAR(scene.sled->getPosition().z, -2.0 + radius + contactOffset, 0.01);
}

TEST(CapsuleController, PickUpReleasedDuringTheMoveIsGoneForGood)
{
    SledScene scene;
    scene.addGround();
    Actor* snowflake = scene.addBox(vec3(0.3f), vec3(3.0f, 0.3f, 0.0f), "Snowflake");
    scene.addSled(glm::dvec3(0.0, restHeight, 0.0), 5.0f);
    scene.rider.releaseOnTouch = snowflake;

    // The pick-up is collected the moment it is touched, reported once, and the
    // sled rides on through the place where it floated.
    int reports = 0;
    for (int i = 0; i < 90; ++i) {
        scene.step();
        reports += scene.touched("Snowflake") ? 1 : 0;
    }
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(scene.rider.releaseOnTouch, nullptr);
    EXPECT_GT(scene.sled->getPosition().x, 5.0);
    EXPECT_EQ(scene.world.scene->getActorCount(), 2u);  // the ground and the sled
}

TEST(CapsuleController, StartInsideTheGroundIsPushedOut)
{
    SledScene scene;
    scene.addGround();
    scene.addSled(glm::dvec3(0.0, restHeight - contactOffset - 0.4, 0.0));

    // Placed 0.4 into the snow, one frame brings the sled back on top at the contact offset.
    EXPECT_TRUE(scene.step() & collisionDown);
    EXPECT_NEAR(scene.sled->getPosition().y, restHeight, 0.01);

    // The same after a respawn-like setPosition into the ground.
    scene.sled->setPosition(glm::dvec3(2.0, 0.3, 1.0));
    EXPECT_TRUE(scene.step() & collisionDown);
    EXPECT_NEAR(scene.sled->getPosition().y, restHeight, 0.01);

    // Put 0.3 into the side of a rock, it is pushed out beside the rock, not through it.
    scene.addBox(vec3(0.5f, 1.0f, 2.0f), vec3(3.0f, 1.0f, 1.0f), "rock");
    scene.sled->setPosition(glm::dvec3(2.5 - radius + 0.3, restHeight, 1.0));
    scene.step();
    EXPECT_NEAR(scene.sled->getPosition().x, 2.5 - radius - contactOffset, 0.01);
    EXPECT_NEAR(scene.sled->getPosition().y, restHeight, 0.01);
}

TEST(CapsuleController, ControllersTouchEachOtherAsControllers)
{
    SledScene scene;
    scene.addGround();
    CapsuleController* other = scene.world.createCapsuleController(
        CapsuleGeometry{radius, halfHeight}, glm::dvec3(3.0, restHeight, 0.0), scene.material, nullptr);
    scene.addSled(glm::dvec3(0.0, restHeight, 0.0), 5.0f);

    // Another capsule in the way stops the sled and is reported as a controller, not a shape.
    for (int i = 0; i < 60; ++i) {
        scene.step();
        EXPECT_FALSE(scene.touched("Player"));
    }
    EXPECT_EQ(scene.rider.lastControllerHit, other);
    EXPECT_NEAR(scene.sled->getPosition().x, 3.0 - 2 * radius - contactOffset, 0.01);
}

TEST(CapsuleController, RidingAmongObstaclesAllocatesNothingPerFrame)
{
    SledScene scene;
    scene.addGround(20.0f);
    // Rocks half sunk into the slope, alternately just left and right of the sled's path.
    for (int i = 0; i < 8; ++i) {
        const float x = 4.0f + 3.0f * i;
        scene.addBox(vec3(0.5f), vec3(x, -std::tan(20.0f * degreesToRadians) * x + 0.3f, i % 2 ? 0.9f : -0.9f),
                     "rock");
    }
    scene.addSled(glm::dvec3(0.0, 2.0, 0.0), 3.0f);
    for (int i = 0; i < 60; ++i) {
        scene.step();
    }

    // A frame of riding, sliding along rocks and landing, costs no heap allocation.
    allocationCount = 0;
    countAllocations = true;
    int obstacleFrames = 0;
    for (int i = 0; i < 300; ++i) {
        scene.step();
        obstacleFrames += scene.touched("rock") ? 1 : 0;
    }
    countAllocations = false;
    EXPECT_EQ(allocationCount.load(), 0);
    EXPECT_GT(obstacleFrames, 0);
}

}  // namespace
}  // namespace frostline
