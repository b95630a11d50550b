// The sled stays in the world: on a machine so loaded that frames take a tenth to
// half a second, ridden hard at the ridges around the level, thrown over their
// crests, ridden at random or put back at a gate with R, it never leaves the edge
// of the terrain and never ends up under the snow.
#include <gtest/gtest.h>

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
#include "physics/PhysicsWorld.h"
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
    }

    /// Height of the snow (world units) under (x, z); false beyond the terrain's edge.
    bool heightAt(double x, double z, double& height) const
    {
        bool found = false;
        for (std::uint32_t t = 0; t < mesh.getTriangleCount(); ++t) {
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

    const TriangleMesh& mesh;
    vec3 offset;
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

    /// One ride on a fresh level, all on frames of a tenth to half a second: a random
    /// heading at the start, then rideSeconds of race with the arrow keys held at random
    /// and the clock set to outlast it. Fails at the first frame out of the world.
    testing::AssertionResult rideAtRandom(unsigned seed, float rideSeconds)
    {
        startLevel();
        std::mt19937 random(seed);
        std::uniform_real_distribution<float> slowFrame(0.1f, 0.5f);
        std::uniform_real_distribution<float> chance(0.0f, 1.0f);
        race->sled->rotateY(360.0f * chance(random));
        while (!raceStarted) {
            race->frame(slowFrame(random));
        }
        race->race->timeLeft = rideSeconds + 10.0f;
        for (float time = 0.0f; time < rideSeconds;) {
            // Now and then the player lets go and takes hold of other keys.
            if (chance(random) < 0.3f) {
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
            }
            const float dt = slowFrame(random);
            race->frame(dt);
            time += dt;
            if (testing::AssertionResult inside = inTheWorld(); !inside) {
                return inside << ", " << time << " s into the ride of seed " << seed;
            }
        }
        return testing::AssertionSuccess();
    }

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
    // a fast one, then rides on: every time the sled comes back on top of the snow.
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
            }
        }
    }
    EXPECT_TRUE(race->race->gameOver);
    EXPECT_FALSE(race->race->lost);
}

TEST_F(StayingInTheWorld, ThrownOffTheCrestsAtSpeedItStaysOverTheSnow)
{
    // On half-second frames a boosted sled at top speed covers 55 units a frame. Sent
    // out over the crest behind the border banks, along every side and at every corner,
    // from the crest itself and from high above it, it is stopped over the snow.
    race->finishCountdown(frameTime);
    race->race->timeLeft = 600.0f;
    const vec3 lo = snow->lowest, hi = snow->highest;
    constexpr float inset = 4.0f;  // from the edge of the snow (world units)
    struct Launch {
        vec2 at;     // x, z
        float turn;  // yaw (degrees): 0 heads south (-z), -90 east (+x)
    };
    std::vector<Launch> launches = {{{hi.x - inset, hi.z - inset}, -135.0f},
                                    {{lo.x + inset, hi.z - inset}, 135.0f},
                                    {{hi.x - inset, lo.z + inset}, -45.0f},
                                    {{lo.x + inset, lo.z + inset}, 45.0f}};
    for (const float along : {0.2f, 0.5f, 0.8f}) {
        const float x = glm::mix(lo.x, hi.x, along), z = glm::mix(lo.z, hi.z, along);
        launches.push_back({{hi.x - inset, z}, -90.0f});
        launches.push_back({{lo.x + inset, z}, 90.0f});
        launches.push_back({{x, hi.z - inset}, 180.0f});
        launches.push_back({{x, lo.z + inset}, 0.0f});
    }
    for (const Launch& launch : launches) {
        for (const float above : {1.2f, 40.0f}) {
            SCOPED_TRACE(testing::Message() << "from (" << launch.at.x << ", " << launch.at.y << "), "
                                            << above << " above the snow, turned " << launch.turn);
            double ground = 0.0;
            ASSERT_TRUE(snow->heightAt(launch.at.x, launch.at.y, ground));
            scene::ControllerShape& sled = *race->sled;
            sled.setPosition(launch.at.x, static_cast<float>(ground) + above, launch.at.y);
            sled.rotateY(launch.turn - sled.yaw);
            sled.speed = sled.maxSpeed;
            sled.boostTime = 3.0f;
            race->releaseAll();
            race->press(GLFW_KEY_UP);
            for (int frame = 0; frame < 6; ++frame) {
                race->frame(0.5f);
                ASSERT_TRUE(inTheWorld()) << "frame " << frame;
            }
        }
    }
}

TEST_F(StayingInTheWorld, RiddenAtRandomOnASlowMachine)
{
    // Rides of a minute, each its own seed, with whatever keys a random player holds:
    // none leaves the world (without the border walls about one in eleven did).
    // FROSTLINE_RANDOM_RIDES sets how many (100 by default, about 40 s).
    int rides = 100;
    if (const char* count = std::getenv("FROSTLINE_RANDOM_RIDES")) {
        rides = std::atoi(count);
    }
    int exits = 0;
    for (int seed = 1; seed <= rides; ++seed) {
        const testing::AssertionResult ride = rideAtRandom(static_cast<unsigned>(seed), 60.0f);
        exits += ride ? 0 : 1;
        EXPECT_TRUE(ride);
    }
    std::printf("Random rides on a slow machine: %d of %d left the world\n", exits, rides);
}
