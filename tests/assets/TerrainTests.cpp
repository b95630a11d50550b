// The generated slope against the level it has to carry: ground under every
// object, a rideable route through the gates, ridges at the border; and the
// land around it, out of the sled's reach.
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include "level/CourseArea.h"
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
    const aiScene* scene = importer.ReadFile(
        path, aiProcess_JoinIdenticalVertices | aiProcess_Triangulate | aiProcess_GenSmoothNormals);
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
    // A player sees trees and gates standing on the snow, pick-ups at sled height and the sled settling at
    // the start.
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
                EXPECT_NEAR(ground(origin + alongX * along), y, groundTolerance)
                    << "along the trunk " << along;
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
    EXPECT_GE(gateFootOffset - (gateHalfWidth - gateFootOffset), sledCapsuleRadius + 2.0f)
        << "opening too narrow";
    for (const PlacedObject& object : levelObjects) {
        if (object.contact != GroundContact::Gate) {
            continue;
        }
        const glm::vec3 capsule(object.position.x,
                                ground({object.position.x, object.position.z}) + sledRideHeight,
                                object.position.z);
        const glm::vec3 local = glm::vec3(glm::inverse(gatePose(object)) * glm::vec4(capsule, 1.0f));
        EXPECT_TRUE(glm::all(glm::lessThan(glm::abs(local), box)))
            << "capsule centre at local " << local.x << ", " << local.y << ", " << local.z;
    }
}

TEST_F(GeneratedTerrain, BorderRidgesKeepTheSledOnTheMap)
{
    // Wherever the sled reaches the edge of the play area, a bank steeper than it can climb
    // rises ahead. Its steep face reaches to within two units of the bank's top, where the
    // level's walls stand, so no shelf wide enough to hold the sled lies below the walls.
    const PlayArea area;
    auto steepestBetween = [&](glm::vec2 edge, glm::vec2 outward, float from, float to) {
        float steepest = 0.0f;
        for (float d = from; d <= to; d += 0.25f) {
            const glm::vec2 p = edge + outward * d;
            steepest = std::max(steepest, probe->slopeAt(p.x, p.y));
        }
        return steepest;
    };
    auto checkBank = [&](glm::vec2 edge, glm::vec2 outward) {
        const glm::vec2 top = edge + outward * TerrainShaper::ridgeRun;
        EXPECT_GT(steepestBetween(edge, outward, 0.0f, TerrainShaper::ridgeRun), 60.0f)
            << "edge at " << edge.x << ", " << edge.y;
        const float walls = CourseArea::bankTopDistance;
        EXPECT_GT(steepestBetween(edge, outward, walls - 2.0f, walls), 60.0f)
            << "below the walls at " << edge.x << ", " << edge.y;
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

TEST_F(GeneratedTerrain, EverythingTheRaceUsesLiesInsideTheBanks)
{
    // The race route, the start, every gate and every pick-up lie on the play area, short
    // of the banks, so the border walls on the banks' top stand well clear of them all.
    const CourseArea course;
    for (const RouteSample& s : sampleRaceRoute(1.0f)) {
        EXPECT_EQ(course.distanceOutside(s.xz), 0.0f) << "route at " << s.xz.x << ", " << s.xz.y;
    }
    for (const PlacedObject& object : levelObjects) {
        EXPECT_EQ(course.distanceOutside({object.position.x, object.position.z}), 0.0f) << object.model;
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

namespace frostline::test {

namespace {

/// Every mesh of the terrain model, as the game imports it.
struct TerrainMeshes {
    TerrainMeshes()
        : scene(importer.ReadFile("models/terrain.obj", aiProcess_JoinIdenticalVertices |
                                                            aiProcess_Triangulate |
                                                            aiProcess_GenSmoothNormals))
    {
    }
    std::vector<glm::vec3> positions(unsigned m) const
    {
        std::vector<glm::vec3> points;
        for (unsigned i = 0; i < scene->mMeshes[m]->mNumVertices; ++i) {
            const aiVector3D& v = scene->mMeshes[m]->mVertices[i];
            points.emplace_back(v.x, v.y, v.z);
        }
        return points;
    }
    Assimp::Importer importer;
    const aiScene* scene;
};

}  // namespace

TEST(GeneratedSurroundings, LieBeyondReachAroundTheCourse)
{
    // The course the sled rides (the first mesh, its collision mesh) is the generator's; the
    // banks, forest and mountains after it stand wholly outside the play area, and the banks
    // meet the course's edge without a gap.
    const TerrainMeshes terrain;
    ASSERT_NE(terrain.scene, nullptr);
    ASSERT_EQ(terrain.scene->mNumMeshes, 4u) << "course, banks, forest, mountains";

    const std::vector<glm::vec3> course = terrain.positions(0);
    EXPECT_EQ(terrain.scene->mMeshes[0]->mNumFaces,
              static_cast<unsigned>(2 * TerrainShaper::cellsX * TerrainShaper::cellsZ));
    EXPECT_EQ(course.size(), static_cast<size_t>((TerrainShaper::cellsX + 1) * (TerrainShaper::cellsZ + 1)));
    // The generator's own course, vertex for vertex (the file keeps six digits; the import
    // orders the vertices by the faces).
    std::vector<glm::vec3> generated;
    for (const MeshVertex& v : TerrainShaper().buildMesh("snow").vertices) {
        generated.push_back(v.position);
    }
    std::vector<glm::vec3> imported = course;
    const auto byPlace = [](const glm::vec3& a, const glm::vec3& b) {
        return a.x < b.x || (a.x == b.x && a.z < b.z);
    };
    std::sort(generated.begin(), generated.end(), byPlace);
    std::sort(imported.begin(), imported.end(), byPlace);
    ASSERT_EQ(generated.size(), imported.size());
    for (size_t i = 0; i < imported.size(); ++i) {
        ASSERT_LT(glm::length(generated[i] - imported[i]), 1e-3f) << "vertex " << i;
    }

    const PlayArea area;
    glm::vec2 low(course.front().x, course.front().z), high = low;
    for (const glm::vec3& v : course) {
        low = glm::min(low, glm::vec2(v.x, v.z));
        high = glm::max(high, glm::vec2(v.x, v.z));
    }
    for (unsigned m = 1; m < terrain.scene->mNumMeshes; ++m) {
        SCOPED_TRACE(terrain.scene->mMeshes[m]->mName.C_Str());
        float nearest = 1e9f;
        for (const glm::vec3& v : terrain.positions(m)) {
            nearest = std::min(
                nearest, std::max({area.minX - v.x, v.x - area.maxX, area.minZ - v.z, v.z - area.maxZ}));
        }
        EXPECT_GE(nearest, 1.0f) << "a vertex within " << -nearest << " of the play area";
    }
    // Banks (mesh 1) and mountains (mesh 3) lie beyond the course's own edge: nothing doubles the course.
    for (unsigned m : {1u, 3u}) {
        for (const glm::vec3& v : terrain.positions(m)) {
            const bool inside =
                v.x > low.x + 1e-3f && v.x < high.x - 1e-3f && v.z > low.y + 1e-3f && v.z < high.y - 1e-3f;
            ASSERT_FALSE(inside) << "mesh " << m << " vertex at " << v.x << ", " << v.z;
        }
    }
    // Every vertex on the course's edge is a vertex of the banks too.
    const std::vector<glm::vec3> banks = terrain.positions(1);
    int edgeVertices = 0, met = 0;
    for (const glm::vec3& v : course) {
        if (v.x == low.x || v.x == high.x || v.z == low.y || v.z == high.y) {
            ++edgeVertices;
            met += std::any_of(banks.begin(), banks.end(), [&](const glm::vec3& b) { return b == v; });
        }
    }
    EXPECT_EQ(met, edgeVertices);
    EXPECT_EQ(edgeVertices, 2 * (TerrainShaper::cellsX + TerrainShaper::cellsZ));
}

TEST(GeneratedSurroundings, AreCheapToDraw)
{
    // Few large triangles far away: banks and mountains each stay below the size at which the
    // game splits a mesh into runs (they are drawn whole, nearest ring first), the forest is one
    // mesh of a modest size, and the mountains' triangles are large.
    const TerrainMeshes terrain;
    ASSERT_NE(terrain.scene, nullptr);
    ASSERT_EQ(terrain.scene->mNumMeshes, 4u);
    EXPECT_LT(terrain.scene->mMeshes[1]->mNumFaces, 4096u);
    EXPECT_LE(terrain.scene->mMeshes[2]->mNumFaces, 12000u);
    const aiMesh* mountains = terrain.scene->mMeshes[3];
    EXPECT_LT(mountains->mNumFaces, 4096u);
    double area = 0.0;
    for (unsigned f = 0; f < mountains->mNumFaces; ++f) {
        const unsigned* i = mountains->mFaces[f].mIndices;
        auto p = [&](int k) {
            return glm::vec3(mountains->mVertices[i[k]].x, mountains->mVertices[i[k]].y,
                             mountains->mVertices[i[k]].z);
        };
        area += 0.5 * glm::length(glm::cross(p(1) - p(0), p(2) - p(0)));
    }
    EXPECT_GT(area / mountains->mNumFaces, 500.0) << "mean triangle area of the mountains";
}

}  // namespace frostline::test
