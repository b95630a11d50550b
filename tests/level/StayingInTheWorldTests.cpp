// The sled stays in the world: on a machine so loaded that frames take a tenth to
// half a second, ridden hard at the ridges around the level or put back at a gate
// with R, it never climbs over a ridge and off the edge of the terrain and never
// ends up under the snow.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <variant>

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
