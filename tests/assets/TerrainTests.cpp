// The generated slope against the level it has to carry: ground under every
// object, a rideable route through the gates, ridges at the border.
#include <cmath>
#include <memory>

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include "tests/assets/TerrainProbe.h"
#include "tools/assetgen/LevelLayout.h"
#include "tools/assetgen/RaceRoute.h"
#include "tools/assetgen/TerrainShaper.h"

namespace frostline::test {

namespace {

/// How far the mesh may miss a height the level asks for (world units).
constexpr float groundTolerance = 0.25f;

class GeneratedTerrain : public ::testing::Test {
protected:
    static void SetUpTestSuite() { probe = std::make_unique<TerrainProbe>("models/terrain.obj"); }
    static void TearDownTestSuite() { probe.reset(); }
    void SetUp() override { ASSERT_TRUE(probe->loaded()) << "models/terrain.obj did not import"; }

    static float ground(glm::vec2 xz) { return probe->heightAt(xz.x, xz.y); }
    static std::unique_ptr<TerrainProbe> probe;
};

std::unique_ptr<TerrainProbe> GeneratedTerrain::probe;

/// Half extents of the box body the game makes from a model's first mesh.
glm::vec3 boxOfFirstMesh(const std::string& path)
{
    Assimp::Importer importer;
    const aiScene* scene =
        importer.ReadFile(path, aiProcess_JoinIdenticalVertices | aiProcess_Triangulate | aiProcess_GenSmoothNormals);
    glm::vec3 half(0.0f);
    if (scene && scene->mNumMeshes > 0) {
        for (unsigned i = 0; i < scene->mMeshes[0]->mNumVertices; ++i) {
            const aiVector3D& v = scene->mMeshes[0]->mVertices[i];
            half = glm::max(half, glm::abs(glm::vec3(v.x, v.y, v.z)));
        }
    }
    return half;
}

/// The pose the level gives a gate: placed, turned about Y, then about Z.
glm::mat4 gatePose(const PlacedObject& gate)
{
    glm::mat4 pose = glm::translate(glm::mat4(1.0f), gate.position);
    pose = glm::rotate(pose, glm::radians(gate.turnY), glm::vec3(0, 1, 0));
    return glm::rotate(pose, glm::radians(gate.turnZ), glm::vec3(0, 0, 1));
}

}  // namespace

TEST_F(GeneratedTerrain, CarriesEveryObjectWhereTheLevelPutsIt)
{
    // A player sees trees and gates standing on the snow, pick-ups at sled height and the sled settling at the start.
    for (const PlacedObject& object : levelObjects) {
        SCOPED_TRACE(std::string(object.model) + " at " + std::to_string(object.position.x) + ", " +
                     std::to_string(object.position.z));
        const glm::vec2 origin(object.position.x, object.position.z);
        const float y = object.position.y;
        const float turnY = glm::radians(object.turnY);
        const glm::vec2 alongX(std::cos(turnY), -std::sin(turnY));
        switch (object.contact) {
        case GroundContact::Stands:
            EXPECT_NEAR(ground(origin), y, groundTolerance);
            break;
        case GroundContact::Lies:
            for (float along : {-fallenTreeHalfLength, 0.0f, fallenTreeHalfLength}) {
                EXPECT_NEAR(ground(origin + alongX * along), y, groundTolerance) << "along the trunk " << along;
            }
            break;
        case GroundContact::Gate: {
            const glm::mat4 pose = gatePose(object);
            for (float x : {-gateFootOffset, gateFootOffset}) {
                const glm::vec3 foot = glm::vec3(pose * glm::vec4(x, 0, 0, 1));
                EXPECT_NEAR(ground({foot.x, foot.z}), foot.y, groundTolerance) << "foot at " << x;
            }
            break;
        }
        case GroundContact::Hovers:
            EXPECT_NEAR(ground(origin) + sledRideHeight, y, groundTolerance);
            break;
        case GroundContact::Start:
            // The capsule starts clear of the snow and drops only a little before it rides.
            EXPECT_GT(y - sledCapsuleRadius, ground(origin));
            EXPECT_LT(y - sledRideHeight - ground(origin), 0.4f);
            break;
        }
    }
}

TEST_F(GeneratedTerrain, RouteThroughTheGatesIsRideable)
{
    // Riding the route, the sled never meets a slope it could not climb, never climbs a hill between
    // two gates and goes straight through every gate's opening.
    const std::vector<RouteSample> route = sampleRaceRoute(1.0f);
    ASSERT_GT(route.size(), 100u);
    float lowestSinceGate = ground(route.front().xz);
    int gate = 0;
    for (const RouteSample& s : route) {
        const glm::vec2 side(-s.direction.y, s.direction.x);
        for (float offset : {-2.0f, 0.0f, 2.0f}) {
            const glm::vec2 p = s.xz + side * offset;
            EXPECT_LE(probe->slopeAt(p.x, p.y), 60.0f) << "at " << p.x << ", " << p.y;
        }
        const float h = ground(s.xz);
        if (s.lastGate != gate) {
            gate = s.lastGate;
            lowestSinceGate = h;
        }
        if (gate < 5) {
            EXPECT_LT(h - lowestSinceGate, 0.75f) << "climb at " << s.xz.x << ", " << s.xz.y;
        }
        lowestSinceGate = std::min(lowestSinceGate, h);
    }
    EXPECT_EQ(gate, 5) << "the route passes all five gates";

    for (int number = 1; number <= 5; ++number) {
        const PlacedObject* object = nullptr;
        int seen = 0;
        for (const PlacedObject& candidate : levelObjects) {
            if (candidate.contact == GroundContact::Gate && ++seen == number) {
                object = &candidate;
            }
        }
        ASSERT_NE(object, nullptr);
        float nearest = 1e9f;
        glm::vec2 heading(0.0f);
        for (const RouteSample& s : route) {
            const float d = glm::length(s.xz - glm::vec2(object->position.x, object->position.z));
            if (d < nearest) {
                nearest = d;
                heading = s.direction;
            }
        }
        const float turnY = glm::radians(object->turnY);
        EXPECT_LT(nearest, 1.0f) << "gate " << number;
        EXPECT_GT(std::abs(glm::dot(heading, glm::vec2(std::sin(turnY), std::cos(turnY)))), 0.95f)
            << "gate " << number << " is ridden through, not along";
    }
}

TEST_F(GeneratedTerrain, RidingSledTouchesEachGateBetweenItsPosts)
{
    // The sled riding through the middle of a gate is inside the gate's box body, with room to both posts.
    const glm::vec3 box = boxOfFirstMesh("models/checkpoint.obj");
    ASSERT_GT(box.x, 0.0f);
    EXPECT_GE(gateFootOffset - (gateHalfWidth - gateFootOffset), sledCapsuleRadius + 2.0f) << "opening too narrow";
    for (const PlacedObject& object : levelObjects) {
        if (object.contact != GroundContact::Gate) {
            continue;
        }
        const glm::vec3 capsule(object.position.x, ground({object.position.x, object.position.z}) + sledRideHeight,
                                object.position.z);
        const glm::vec3 local = glm::vec3(glm::inverse(gatePose(object)) * glm::vec4(capsule, 1.0f));
        EXPECT_TRUE(glm::all(glm::lessThan(glm::abs(local), box)))
            << "capsule centre at local " << local.x << ", " << local.y << ", " << local.z;
    }
}

TEST_F(GeneratedTerrain, BorderRidgesKeepTheSledOnTheMap)
{
    // Wherever the sled reaches the edge of the play area, a bank steeper than it can climb rises ahead.
    const PlayArea area;
    auto checkBank = [&](glm::vec2 edge, glm::vec2 outward) {
        float steepest = 0.0f;
        for (float d = 0.0f; d <= TerrainShaper::ridgeRun; d += 0.5f) {
            const glm::vec2 p = edge + outward * d;
            steepest = std::max(steepest, probe->slopeAt(p.x, p.y));
        }
        const glm::vec2 top = edge + outward * TerrainShaper::ridgeRun;
        EXPECT_GT(steepest, 60.0f) << "edge at " << edge.x << ", " << edge.y;
        EXPECT_GT(ground(top) - ground(edge), 8.0f) << "edge at " << edge.x << ", " << edge.y;
    };
    for (float x = area.minX; x <= area.maxX; x += 4.0f) {
        checkBank({x, area.minZ}, {0, -1});
        checkBank({x, area.maxZ}, {0, 1});
    }
    for (float z = area.minZ; z <= area.maxZ; z += 4.0f) {
        checkBank({area.minX, z}, {-1, 0});
        checkBank({area.maxX, z}, {1, 0});
    }
}

TEST_F(GeneratedTerrain, IsNeverCulledAndCheapEnoughToDraw)
{
    // The slope is always drawn (bounding radius of 200 or more) and stays within llvmpipe's budget.
    EXPECT_GT(probe->boundingRadius(), 200.0f);
    EXPECT_GE(probe->triangleCount(), 20000u);
    EXPECT_LE(probe->triangleCount(), 30000u);
}

}  // namespace frostline::test
