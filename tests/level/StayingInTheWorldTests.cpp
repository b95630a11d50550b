// The sled stays in the world: on a machine so loaded that frames take a tenth to
// half a second, ridden hard at the ridges around the level, thrown at their
// crests, ridden at random or put back at a gate with R, it never leaves the edge
// of the terrain and never ends up under the snow; and it never comes to rest on
// the rims beyond the banks' top, outside the course.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <utility>
#include <variant>
#include <vector>

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include "app/Globals.h"
#include "level/CourseArea.h"
#include "physics/PhysicsWorld.h"
#include "physics/SightWorld.h"
#include "physics/TriangleMesh.h"
#include "scene/Terrain.h"
#include "tests/level/RaceHarness.h"
#include "tests/support/GlTestContext.h"

using namespace frostline;

namespace {

constexpr float frameTime = 1.0f / 60.0f;

/// The snow surface of the level's terrain body, looked up straight down.
class SnowSurface {
public:
    explicit SnowSurface(const Actor& terrain)
        : mesh(*std::get<TriangleMeshGeometry>(terrain.getGeometry()).mesh), offset(terrain.getGlobalPose().p)
    {
        for (std::uint32_t t = 0; t < mesh.getTriangleCount(); ++t) {
            for (int k = 0; k < 3; ++k) {
                lowest = glm::min(lowest, vec3(corner(t, k)));
                highest = glm::max(highest, vec3(corner(t, k)));
            }
        }
        // Every triangle in each cell of a grid over x and z that its box overlaps.
        cells.resize(std::size_t(cellCount) * cellCount);
        for (std::uint32_t t = 0; t < mesh.getTriangleCount(); ++t) {
            glm::ivec2 low(cellCount), high(-1);
            for (int k = 0; k < 3; ++k) {
                const glm::ivec2 cell = cellOf(corner(t, k).x, corner(t, k).z);
                low = glm::min(low, cell);
                high = glm::max(high, cell);
            }
            for (int j = low.y; j <= high.y; ++j) {
                for (int i = low.x; i <= high.x; ++i) {
                    cells[std::size_t(j) * cellCount + i].push_back(t);
                }
            }
        }
    }

    /// Height of the snow (world units) under (x, z); false beyond the terrain's edge.
    bool heightAt(double x, double z, double& height) const
    {
        if (x < lowest.x || x > highest.x || z < lowest.z || z > highest.z) {
            return false;
        }
        const glm::ivec2 cell = cellOf(x, z);
        bool found = false;
        for (const std::uint32_t t : cells[std::size_t(cell.y) * cellCount + cell.x]) {
            const glm::dvec3 a = corner(t, 0), b = corner(t, 1), c = corner(t, 2);
            // Barycentric coordinates of (x, z) in the triangle seen from above.
            const double area = (b.z - c.z) * (a.x - c.x) + (c.x - b.x) * (a.z - c.z);
            if (std::abs(area) < 1e-12) {
                continue;
            }
            const double u = ((b.z - c.z) * (x - c.x) + (c.x - b.x) * (z - c.z)) / area;
            const double v = ((c.z - a.z) * (x - c.x) + (a.x - c.x) * (z - c.z)) / area;
            const double w = 1.0 - u - v;
            if (u < -1e-9 || v < -1e-9 || w < -1e-9) {
                continue;
            }
            const double y = u * a.y + v * b.y + w * c.y;
            height = found ? std::max(height, y) : y;
            found = true;
        }
        return found;
    }

    vec3 lowest{std::numeric_limits<float>::max()};      ///< lowest corner of the box around the snow
    vec3 highest{std::numeric_limits<float>::lowest()};  ///< highest corner of that box

private:
    glm::dvec3 corner(std::uint32_t triangle, int k) const
    {
        return glm::dvec3(mesh.getCorner(triangle, k)) + glm::dvec3(offset);
    }

    glm::ivec2 cellOf(double x, double z) const
    {
        const auto along = [](double value, float low, float high) {
            const int cell = static_cast<int>((value - low) / (high - low) * cellCount);
            return std::clamp(cell, 0, cellCount - 1);
        };
        return {along(x, lowest.x, highest.x), along(z, lowest.z, highest.z)};
    }

    static constexpr int cellCount = 64;  ///< grid cells along x and along z
    const TriangleMesh& mesh;
    vec3 offset;
    std::vector<std::vector<std::uint32_t>> cells;  ///< triangles per grid cell, row by row along z
};

/// The level with the snow under it, and the check that the sled is in the world.
class StayingInTheWorld : public testing::Test {
protected:
    void SetUp() override { startLevel(); }

    /// A fresh level, as the game starts it.
    void startLevel()
    {
        ASSERT_NE(test::ensureGlContext(), nullptr);
        snow.reset();
        race.reset();
        race = std::make_unique<test::RaceHarness>();
        for (scene::SceneObject* object : race->world->objects) {
            if (auto* terrain = dynamic_cast<scene::Terrain*>(object)) {
                snow = std::make_unique<SnowSurface>(*terrain->getActor());
            }
        }
        ASSERT_NE(snow, nullptr);
        // The walls and the controller must keep the sled in by themselves: the sled's
        // own last resort, a respawn once it is out, would hide every way out.
        race->sled->boundsMin = vec3(std::numeric_limits<float>::lowest());
        race->sled->boundsMax = vec3(std::numeric_limits<float>::max());
    }

    /// The sled is over the terrain, with the snow at least its radius (less a little)
    /// under its centre.
    testing::AssertionResult inTheWorld() const
    {
        const glm::dvec3 p = race->sled->controller->getPosition();
        const double radius = race->sled->controller->getSettings().radius;
        double snowHeight = 0.0;
        if (!snow->heightAt(p.x, p.z, snowHeight)) {
            return testing::AssertionFailure()
                   << "off the edge of the world at (" << p.x << ", " << p.y << ", " << p.z << ")";
        }
        if (p.y - snowHeight < radius - 0.05) {
            return testing::AssertionFailure() << "under the snow at (" << p.x << ", " << p.y << ", " << p.z
                                               << "), " << snowHeight - p.y << " below its surface";
        }
        return testing::AssertionSuccess();
    }

    /// The chase camera's eye is in the open air: above the snow and in no body of the
    /// level (a tree, a rock, a gate, a sign, the land around the course).
    testing::AssertionResult eyeInTheOpen() const
    {
        const vec3 eye = race->world->camera->position;
        double snowHeight = 0.0;
        if (snow->heightAt(eye.x, eye.z, snowHeight) && eye.y <= snowHeight) {
            return testing::AssertionFailure()
                   << "eye under the snow at (" << eye.x << ", " << eye.y << ", " << eye.z << ")";
        }
        if (!race->world->sight->inTheOpen(eye)) {
            return testing::AssertionFailure() << "eye in a body or under the land at (" << eye.x << ", "
                                               << eye.y << ", " << eye.z << ")";
        }
        return testing::AssertionSuccess();
    }

    /// A time the sled stood still for restSeconds or more outside the course.
    struct Rest {
        unsigned seed;  ///< the ride's seed
        float time;     ///< ride time when the rest had lasted restSeconds (s)
        vec3 at;        ///< where the sled stood (world units)
    };

    /// One ride on a fresh level: from the start or, for a fromAnywhere ride, from a random
    /// place of the play area, with a random heading, then rideSeconds of race with the
    /// arrow keys held at random, now and then a cow's boost, and the clock set to outlast
    /// it. Its frames take steadyFrame seconds, or a random tenth to half a second on a
    /// slow machine (steadyFrame 0). Fails at the first frame out of the world; every rest
    /// outside the course is added to rests.
    testing::AssertionResult rideAtRandom(unsigned seed, float rideSeconds, float steadyFrame,
                                          bool fromAnywhere, std::vector<Rest>& rests)
    {
        startLevel();
        std::mt19937 random(seed);
        std::uniform_real_distribution<float> slowFrame(0.1f, 0.5f);
        std::uniform_real_distribution<float> chance(0.0f, 1.0f);
        const auto nextFrameTime = [&] { return steadyFrame > 0.0f ? steadyFrame : slowFrame(random); };
        race->sled->rotateY(360.0f * chance(random));
        if (fromAnywhere) {
            const float x = glm::mix(course.minX, course.maxX, chance(random));
            const float z = glm::mix(course.minZ, course.maxZ, chance(random));
            double ground = 0.0;
            if (snow->heightAt(x, z, ground)) {
                race->sled->setPosition(x, static_cast<float>(ground) + 1.2f, z);
            }
        }
        while (!raceStarted) {
            race->frame(nextFrameTime());
        }
        race->race->timeLeft = rideSeconds + 10.0f;
        // A rest: for restSeconds the sled's centre stays within restReach of where it stopped.
        vec3 restStart = race->sled->getPosition();
        float restTime = 0.0f;
        bool restCounted = false;
        for (float time = 0.0f; time < rideSeconds;) {
            const float dt = nextFrameTime();
            // About twice a second the player lets go and takes hold of other keys;
            // now and then a cow has just been taken.
            if (chance(random) < 2.0f * dt) {
                race->releaseAll();
                const std::pair<int, float> keys[] = {{GLFW_KEY_UP, 0.5f},
                                                      {GLFW_KEY_DOWN, 0.2f},
                                                      {GLFW_KEY_LEFT, 0.35f},
                                                      {GLFW_KEY_RIGHT, 0.35f}};
                for (const auto& [key, odds] : keys) {
                    if (chance(random) < odds) {
                        race->press(key);
                    }
                }
                if (chance(random) < 0.1f) {
                    race->sled->boostTime = 3.0f;
                }
            }
            race->frame(dt);
            time += dt;
            if (testing::AssertionResult inside = inTheWorld(); !inside) {
                return inside << ", " << time << " s into the ride of seed " << seed;
            }
            if (testing::AssertionResult open = eyeInTheOpen(); !open) {
                if (++eyeFaults <= 10) {
                    ADD_FAILURE() << open.message() << ", " << time << " s into the ride of seed " << seed;
                }
            }
            const vec3 p = race->sled->getPosition();
            if (glm::length(p - restStart) > restReach) {
                restStart = p;
                restTime = 0.0f;
                restCounted = false;
                continue;
            }
            restTime += dt;
            if (restTime >= restSeconds && !restCounted) {
                restCounted = true;
                if (!course.contains(vec2(p.x, p.z))) {
                    rests.push_back({seed, time, p});
                }
            }
        }
        return testing::AssertionSuccess();
    }

    /// A rest lasts this long in game time (s), the sled's centre staying within this
    /// distance of where it began (world units): slower than 1 unit a second, where the
    /// slowest ride at a speed of 1 covers 2.2.
    static constexpr float restSeconds = 2.0f;
    static constexpr float restReach = 2.0f;

    const CourseArea course;
    int eyeFaults = 0;  ///< frames of the random rides with the camera's eye in a body or under the snow
    std::unique_ptr<test::RaceHarness> race;
    std::unique_ptr<SnowSurface> snow;
};

}  // namespace

TEST_F(StayingInTheWorld, RiddenHardAtTheRidgesOnASlowMachine)
{
    // Turned by turn degrees before the start, up held for upSeconds, then the brake.
    struct Ride {
        const char* what;
        float turn;
        float upSeconds;
    };
    const Ride rides[] = {
        {"east down the slope into the far ridge", 0.0f, 7.0f},
        {"north into the ridge beside the start", -90.0f, 6.0f},
        {"north-east, at the ridge at a slant", -45.0f, 6.0f},
    };
    for (const Ride& ride : rides) {
        for (unsigned seed = 1; seed <= 3; ++seed) {
            SCOPED_TRACE(testing::Message() << ride.what << ", frame times of seed " << seed);
            startLevel();
            race->sled->rotateY(ride.turn);

            // Frames of a tenth to half a second, each one different, for 12 s of race.
            std::mt19937 random(seed);
            std::uniform_real_distribution<float> slowFrame(0.1f, 0.5f);
            while (!raceStarted) {
                race->frame(slowFrame(random));
            }
            for (float time = 0.0f; time < 12.0f;) {
                race->releaseAll();
                race->press(time < ride.upSeconds ? GLFW_KEY_UP : GLFW_KEY_DOWN);
                const float dt = slowFrame(random);
                race->frame(dt);
                time += dt;
                ASSERT_TRUE(inTheWorld()) << time << " s into the race";
            }
        }
    }
}

TEST_F(StayingInTheWorld, RespawnAtEachGatePutsTheSledBackOnTheSnow)
{
    // Gates stand on the snow, so R puts the sled's centre at the snow's surface. After
    // each gate the player presses R and lets the sled slide, on a slow machine and on
    // a fast one, then rides on: every time the sled comes back on top of the snow, and
    // the camera's eye is never in the gate, its sign or the snow.
    std::mt19937 random(7);
    std::uniform_real_distribution<float> slowFrame(0.1f, 0.5f);
    race->finishCountdown(frameTime);
    race->race->timeLeft = 600.0f;  // time enough for all the stops
    for (int gate = 1; gate <= 5; ++gate) {
        SCOPED_TRACE(testing::Message() << "after gate " << gate);
        while (race->race->nextCheckpoint <= gate && !race->race->gameOver) {
            race->steerTowardNextGate();
            race->frame(frameTime);
        }
        ASSERT_EQ(race->race->nextCheckpoint, gate + 1);
        for (const bool slow : {true, false}) {
            race->releaseAll();
            race->press(GLFW_KEY_R);
            for (int frame = 0; frame < 8; ++frame) {
                race->frame(slow ? slowFrame(random) : frameTime);
                race->releaseAll();
                ASSERT_TRUE(inTheWorld()) << (slow ? "slow" : "fast") << " frame " << frame << " after R";
                EXPECT_TRUE(eyeInTheOpen()) << (slow ? "slow" : "fast") << " frame " << frame << " after R";
            }
        }
    }
    EXPECT_TRUE(race->race->gameOver);
    EXPECT_FALSE(race->race->lost);
}

TEST_F(StayingInTheWorld, ThrownOffTheCrestsAtSpeedItStaysOverTheSnow)
{
    // A boosted sled at top speed covers 55 units a frame on half-second frames. Sent at
    // the border banks with the up key held, along every side and at every corner, from
    // the foot of a bank and from high on its steep face, straight out or at a slant, on
    // half-second frames (also from 40 units above the snow) and at 60 frames a second:
    // it stays over the snow and on the ground the race uses, and once let go for five
    // seconds it has slid back down the bank toward the course.
    race->finishCountdown(frameTime);
    race->race->timeLeft = 6000.0f;
    struct Spot {
        vec2 at;       // a place on the edge of the play area (x, z)
        vec2 outward;  // unit, away from the course
    };
    std::vector<Spot> spots = {{{course.maxX, course.maxZ}, glm::normalize(vec2(1, 1))},
                               {{course.minX, course.maxZ}, glm::normalize(vec2(-1, 1))},
                               {{course.minX, course.minZ}, glm::normalize(vec2(-1, -1))},
                               {{course.maxX, course.minZ}, glm::normalize(vec2(1, -1))}};
    for (const float along : {0.2f, 0.5f, 0.8f}) {
        const float x = glm::mix(course.minX, course.maxX, along),
                    z = glm::mix(course.minZ, course.maxZ, along);
        spots.push_back({{course.maxX, z}, {1, 0}});
        spots.push_back({{course.minX, z}, {-1, 0}});
        spots.push_back({{x, course.maxZ}, {0, 1}});
        spots.push_back({{x, course.minZ}, {0, -1}});
    }
    struct Throw {
        float beyond;     // from how far beyond the play area (world units)
        float above;      // how high above the snow (world units)
        float frameTime;  // s
    };
    const Throw throws[] = {{-2.0f, 1.2f, 0.5f}, {CourseArea::bankTopDistance - 2.0f, 1.2f, 0.5f},
                            {CourseArea::bankTopDistance - 2.0f, 40.0f, 0.5f}, {-2.0f, 1.2f, frameTime}};
    float farthestEnd = 0.0f;
    for (const Spot& spot : spots) {
        for (const float slant : {-60.0f, 0.0f, 60.0f}) {
            for (const Throw& thrown : throws) {
                const vec2 from = spot.at + spot.outward * thrown.beyond;
                SCOPED_TRACE(testing::Message() << "from (" << from.x << ", " << from.y << "), "
                                                << thrown.above << " above the snow, slanted " << slant
                                                << " degrees, on frames of " << thrown.frameTime << " s");
                double ground = 0.0;
                ASSERT_TRUE(snow->heightAt(from.x, from.y, ground));
                scene::ControllerShape& sled = *race->sled;
                sled.setPosition(from.x, static_cast<float>(ground) + thrown.above, from.y);
                // Yaw 0 heads along -z; the heading is (-sin yaw, 0, -cos yaw).
                const float yaw = std::atan2(-spot.outward.x, -spot.outward.y) / degreesToRadians + slant;
                sled.rotateY(yaw - sled.yaw);
                sled.speed = sled.maxSpeed;
                sled.boostTime = 3.0f;
                race->releaseAll();
                race->press(GLFW_KEY_UP);
                for (float time = 0.0f; time < 8.0f; time += thrown.frameTime) {
                    if (time >= 3.0f) {
                        race->releaseAll();
                    }
                    race->frame(thrown.frameTime);
                    ASSERT_TRUE(inTheWorld()) << time << " s after the throw";
                    const vec3 p = sled.getPosition();
                    ASSERT_TRUE(course.contains(vec2(p.x, p.z)))
                        << "on the rim at (" << p.x << ", " << p.y << ", " << p.z << "), " << time
                        << " s after the throw";
                }
                // Nothing holds a sled on a bank's steep face: it has slid below its middle.
                const vec3 p = sled.getPosition();
                const float end = course.distanceOutside(vec2(p.x, p.z));
                EXPECT_LT(end, 0.5f * CourseArea::bankTopDistance)
                    << "still high on the bank at (" << p.x << ", " << p.y << ", " << p.z << ")";
                farthestEnd = std::max(farthestEnd, end);
            }
        }
    }
    std::printf("Thrown at the banks: the farthest end %.2f beyond the play area\n", farthestEnd);
}

TEST_F(StayingInTheWorld, RiddenAtRandomOnASlowMachine)
{
    // Rides of half a minute, each its own seed, with whatever keys a random player holds
    // and a cow's boost now and then, half of them at 60 frames a second and half on a
    // machine so slow that frames take a tenth to half a second: none leaves the world
    // (without the border walls about one in eleven did), and none comes to rest for two
    // seconds or more beyond the top of the border banks, where the race never goes. All
    // along, the camera's eye stays in the open air, out of every body and above the snow.
    // FROSTLINE_RANDOM_RIDES sets how many (300 by default).
    int rides = 300;
    if (const char* count = std::getenv("FROSTLINE_RANDOM_RIDES")) {
        rides = std::atoi(count);
    }
    int exits = 0;
    std::vector<Rest> rests;
    for (int seed = 1; seed <= rides; ++seed) {
        const float steadyFrame = seed % 2 == 0 ? frameTime : 0.0f;
        const bool fromAnywhere = seed % 4 >= 2;
        const testing::AssertionResult ride =
            rideAtRandom(static_cast<unsigned>(seed), 30.0f, steadyFrame, fromAnywhere, rests);
        exits += ride ? 0 : 1;
        EXPECT_TRUE(ride);
    }
    for (const Rest& rest : rests) {
        ADD_FAILURE() << "at rest outside the course at (" << rest.at.x << ", " << rest.at.y << ", "
                      << rest.at.z << "), " << course.distanceOutside(vec2(rest.at.x, rest.at.z))
                      << " beyond the play area, " << rest.time << " s into the ride of seed " << rest.seed;
    }
    std::printf(
        "Random rides: %d of %d left the world, %zu rests outside the course, %d frames with the eye "
        "in a body or under the snow\n",
        exits, rides, rests.size(), eyeFaults);
    EXPECT_EQ(eyeFaults, 0);
}
