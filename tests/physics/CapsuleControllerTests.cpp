// The sled's capsule controller in tiny worlds: a slope, boxes, steep faces and
// steps, ridden at a fixed time step with the sled's own movement rule.
#include <algorithm>
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
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return countedAlloc(size ? size : 1);
}
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
        material = world.physics->findOrCreateMaterial(0.5f, 0.5f, 0.5f);
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

/// The border of the level in small: flat snow up to x = borderFoot, then a bank that
/// rises borderTop over the next borderRun, gentle at its foot and 70 degrees at its
/// steepest, a crest 4 units wide, and there the world ends.
constexpr float borderFoot = 10.0f;
constexpr float borderRun = 10.0f;
constexpr float borderTop = 18.0f;
constexpr float borderCrest = borderFoot + borderRun;  // where the bank reaches its top (x)

float borderHeight(float x, float /*z*/)
{
    const float t = std::clamp((x - borderFoot) / borderRun, 0.0f, 1.0f);
    return borderTop * t * t * (3.0f - 2.0f * t);
}

/// The border's snow from x = -10 to 4 past the crest, 320 units wide along z.
std::unique_ptr<aiScene> borderModel()
{
    return test::gridMesh(vec2(-10.0f, -160.0f), int(borderCrest) + 15, 321, 1.0f, borderHeight);
}

/// The unit normal of the bank's surface at x.
vec3 borderNormal(float x)
{
    const float t = std::clamp((x - borderFoot) / borderRun, 0.0f, 1.0f);
    const float rise = borderTop / borderRun * 6.0f * t * (1.0f - t);
    return glm::normalize(vec3(-rise, 1.0f, 0.0f));
}

TEST(CapsuleController, BankThatSteepensBitByBitHoldsTheSledAtItsFoot)
{
    const auto border = borderModel();
    for (const float dt : {frame, 0.25f, 0.5f}) {
        for (const float speed : {10.0f, 30.0f}) {
            for (const float degrees : {0.0f, 30.0f}) {
                SCOPED_TRACE(testing::Message()
                             << "dt " << dt << ", speed " << speed << ", " << degrees << " degrees");
                SledScene scene;
                scene.addMesh(*border, "Terrain");
                scene.addSled(glm::dvec3(0.0, restHeight, 0.0), speed);
                const float turn = degrees * degreesToRadians;
                scene.rider.heading = vec3(std::cos(turn), 0.0f, std::sin(turn));

                // Riding hard at the border, the sled runs up the bank's foot while it is
                // walkable and is held there: however long the frames, it neither climbs the
                // steep part, where its up direction would follow the snow over the crest
                // and out of the world, nor sinks into the snow.
                double highest = 0.0;
                for (float t = 0.0f; t < 3.0f; t += dt) {
                    scene.step(dt);
                    const glm::dvec3 p = scene.sled->getPosition();
                    ASSERT_LT(p.x, borderCrest) << "at " << t << " s";
                    ASSERT_GT(p.y - borderHeight(float(p.x), float(p.z)), radius - 0.02)
                        << "at " << t << " s";
                    highest = std::max(highest, p.y);
                }
                EXPECT_LT(highest, 0.25 * borderTop);
                EXPECT_TRUE(scene.touched("Terrain"));
            }
        }
    }
}

TEST(CapsuleController, SledLeftOnAWallFallsDownIt)
{
    const auto border = borderModel();
    // Halfway up the bank, where it is 70 degrees steep, with its normal for the sled's up.
    const float x = borderFoot + 0.5f * borderRun;
    const vec3 wallNormal = borderNormal(x);
    const glm::dvec3 onWall =
        glm::dvec3(x, borderHeight(x, 0.0f), 0.0) + glm::dvec3(wallNormal) * double(restHeight);
    for (const float dt : {frame, 0.25f, 0.5f}) {
        SCOPED_TRACE(testing::Message() << "dt " << dt);
        SledScene scene;
        scene.addMesh(*border, "Terrain");
        scene.addSled(onWall, 20.0f);
        scene.sled->setUpDirection(wallNormal);
        scene.rider.heading = vec3(0.0f, 0.0f, 1.0f);

        // Riding along the wall, the sled neither holds its height on it nor climbs:
        // it comes down to the foot of the bank, where it can stand.
        for (float t = 0.0f; t < 2.0f; t += dt) {
            scene.step(dt);
            ASSERT_LT(scene.sled->getPosition().y, onWall.y + 0.01) << "at " << t << " s";
        }
        EXPECT_LT(scene.sled->getPosition().y, 0.25 * borderTop);
        EXPECT_GT(glm::dot(scene.sled->getUpDirection(), vec3(0.0f, 1.0f, 0.0f)), 0.5f);
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

TEST(CapsuleController, CentrePutUnderTheSnowComesBackOnTop)
{
    // Put down with its centre on the snow or under it (a respawn at a gate does that:
    // gates stand on the snow), the sled is pushed out on top at the contact offset,
    // where a push along the contact would have driven it through the ground.
    for (const float degrees : {0.0f, 30.0f}) {
        const vec3 normal(std::sin(degrees * degreesToRadians), std::cos(degrees * degreesToRadians), 0.0f);
        for (const double depth : {0.0, 0.2, 0.45}) {
            for (const float dt : {frame, 0.5f}) {
                SCOPED_TRACE(testing::Message() << degrees << " degrees, " << depth << " under, dt " << dt);
                SledScene scene;
                scene.addGround(degrees);
                scene.addSled(glm::dvec3(normal) * -depth + glm::dvec3(0.5, 0.0, 3.0));
                scene.step(dt);
                EXPECT_NEAR(scene.gapTo(normal), contactOffset, 0.01);
                for (int i = 0; i < 10; ++i) {
                    scene.step(dt);
                    ASSERT_GT(scene.gapTo(normal), contactOffset - 0.01) << "frame " << i;
                }
                EXPECT_GT(glm::dot(scene.sled->getUpDirection(), normal), 0.999f);
            }
        }
    }
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
        scene.addBox(vec3(0.5f),
                     vec3(x, -std::tan(20.0f * degreesToRadians) * x + 0.3f, i % 2 ? 0.9f : -0.9f), "rock");
    }
    scene.addSled(glm::dvec3(0.0, 2.0, 0.0), 3.0f);
    for (int i = 0; i < 60; ++i) {
        scene.step();
    }

    // A frame of riding, sliding along rocks and landing, costs no heap allocation,
    // nor does one that lifts the sled out of the snow after a respawn put it there.
    allocationCount = 0;
    countAllocations = true;
    int obstacleFrames = 0;
    for (int i = 0; i < 300; ++i) {
        scene.step();
        obstacleFrames += scene.touched("rock") ? 1 : 0;
    }
    scene.sled->setPosition(glm::dvec3(0.0, -0.5, 0.0));
    scene.step();
    countAllocations = false;
    EXPECT_EQ(allocationCount.load(), 0);
    EXPECT_GT(obstacleFrames, 0);
    EXPECT_GT(scene.sled->getPosition().y, 0.0);
}

}  // namespace
}  // namespace frostline
