// Level population: the terrain, scenery, gates, pick-ups, the sled and its sprays.
// The positions, turns, names, points and counts below are the level.
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

#include "level/CourseArea.h"
#include "physics/ControllerShape.h"
#include "physics/PhysicsWorld.h"
#include "physics/TriangleMesh.h"
#include "render/ParticleSystem.h"
#include "render/World.h"
#include "scene/Checkpoint.h"
#include "scene/Collectable.h"
#include "scene/GateMarker.h"
#include "scene/InvisibleWall.h"
#include "scene/StaticShape.h"
#include "scene/Terrain.h"

namespace frostline {

namespace {

/// Every body of the level has this friction and bounce.
Material* newMaterial(PhysicsWorld& physicsWorld)
{
    return physicsWorld.physics->findOrCreateMaterial(0.5f, 0.5f, 0.5f);
}

/// A copy of source placed at position (world units).
template <typename ShapeType>
std::unique_ptr<ShapeType> placedCopy(const ShapeType& source, vec3 position)
{
    auto copy = std::make_unique<ShapeType>(source);
    copy->setPosition(position.x, position.y, position.z);
    return copy;
}

/// A place in the level and whether the sled can touch what stands there.
struct Placement {
    vec3 position;
    bool solid = true;
};

/// Copies of tree 1; the last five are drawn only, the sled passes through them.
const Placement treeCopies[] = {
    {{29.8f, 78.0f, -13.57f}},   {{-4.78f, 32.6f, -114.75f}},   {{55.2f, 10.0f, -114.4f}},
    {{106.4f, 9.2f, -86.46f}, false}, {{113.7f, 5.9f, -104.13f}, false}, {{87.7f, 5.5f, -113.4f}, false},
    {{-45.56f, 51.0f, -126.48f}, false}, {{-38.56f, 51.0f, -126.48f}, false},
};

/// Gates in race order: position, then turn about Y, then about Z (degrees).
struct GatePlacement {
    vec3 position;
    float turnY;
    float turnZ;
};
const GatePlacement gates[] = {
    {{0.0f, 119.4f, 81.0f}, -25.0f, 9.0f},   {{-44.0f, 111.0f, 24.0f}, -90.0f, -5.0f},
    {{75.0f, 85.1f, 26.0f}, -65.0f, 20.0f},  {{-61.0f, 43.0f, -97.0f}, -55.0f, -5.0f},
    {{61.0f, 6.5f, -97.0f}, 90.0f, -5.0f},
};

const vec3 cowPositions[] = {{43.8f, 72.58f, -18.24f}, {8.15f, 24.7f, -99.25f}, {-25.2f, 105.15f, 28.1f}};

/// Snowflakes with their turn about Y (degrees); 8 and 9 share a place.
struct SnowflakePlacement {
    vec3 position;
    float turnY = 0.0f;
};
const SnowflakePlacement snowflakes[] = {
    {{-21.4f, 133.59f, 95.2f}}, {{63.5f, 74.0f, 0.2f}},       {{18.55f, 64.0f, -48.3f}},
    {{-20.17f, 53.0f, -69.0f}}, {{-55.1f, 44.7f, -79.4f}},    {{-24.2f, 38.5f, -113.0f}},
    {{28.78f, 13.46f, -89.7f}}, {{11.55f, 20.2f, -107.9f}, 90.0f}, {{11.55f, 20.2f, -107.9f}},
    {{-42.4f, 117.47f, 58.6f}}, {{-25.3f, 116.3f, 58.6f}},    {{-20.5f, 116.5f, 68.4f}},
};

constexpr int cowPoints = 500;
constexpr int snowflakePoints = 50;

/// Where the sled starts (world units) and its turn about Y (degrees): heading +x.
const vec3 startPosition(-70.0f, 150.0f, 96.0f);
constexpr float startTurn = -90.0f;

/// The border walls: thickness, and how far they reach below the lowest snow and
/// above the highest (world units). Nothing lifts the sled but a slide up a surface,
/// by less than the frame's travel: clearing 200 would take a frame of over 200 units
/// (a speed of 145 on half-second frames, more than three times the key's top speed).
constexpr float borderWallThickness = 20.0f;
constexpr float borderWallDepth = 20.0f;
constexpr float borderWallHeadroom = 200.0f;
/// Straight pieces of wall that follow the curve of a bank's top around a corner.
constexpr int borderWallCornerPieces = 3;

/// The line of the border walls' inner faces (x, z, world units), in order round the
/// course, from +x toward +z: the top of the banks, bankTopDistance beyond the play area,
/// where the banks' steep faces end and their flat rims begin. Round each corner the line runs
/// along chords of the quarter circle, which stay inside it.
std::vector<vec2> borderWallLine(const CourseArea& course)
{
    const vec2 corners[] = {{course.maxX, course.maxZ},
                            {course.minX, course.maxZ},
                            {course.minX, course.minZ},
                            {course.maxX, course.minZ}};
    std::vector<vec2> line;
    for (int corner = 0; corner < 4; ++corner) {
        for (int k = 0; k <= borderWallCornerPieces; ++k) {
            const float angle = (90.0f * corner + 90.0f * k / borderWallCornerPieces) * degreesToRadians;
            const vec2 outward(std::cos(angle), std::sin(angle));
            line.push_back(corners[corner] + CourseArea::bankTopDistance * outward);
        }
    }
    return line;
}

/// Corners of a box (world units, world space).
struct Extent {
    vec3 min{std::numeric_limits<float>::max()};
    vec3 max{std::numeric_limits<float>::lowest()};
};

/// The box around the snow: the terrain mesh's corners at the terrain's place (the level never turns it).
Extent snowExtent(const World& world)
{
    Extent snow;
    for (scene::SceneObject* object : world.objects) {
        auto* terrain = dynamic_cast<scene::Terrain*>(object);
        if (!terrain) {
            continue;
        }
        const Actor& body = *terrain->getActor();
        const TriangleMesh& mesh = *std::get<TriangleMeshGeometry>(body.getGeometry()).mesh;
        for (std::uint32_t triangle = 0; triangle < mesh.getTriangleCount(); ++triangle) {
            for (int k = 0; k < 3; ++k) {
                const vec3 corner = mesh.getCorner(triangle, k) + body.getGlobalPose().p;
                snow.min = glm::min(snow.min, corner);
                snow.max = glm::max(snow.max, corner);
            }
        }
    }
    return snow;
}

/// Hands object to the World (drawn, destroyed with it) and, when solid, its body to the physics scene.
void keep(World& world, PhysicsWorld& physicsWorld, std::unique_ptr<scene::Shape> object, bool solid = true)
{
    if (solid) {
        physicsWorld.scene->addActor(*object->getActor());
    }
    world.objects.insert(object.get());
    world.levelObjects.push_back(std::move(object));
}

/// Invisible walls on the inner top of the border banks, from under the lowest snow to far
/// above the highest (the terrain must be in the world), into the world's level objects
/// and the physics scene; they are not drawn.
void createBorderWalls(World& world, PhysicsWorld& physicsWorld)
{
    // A boost or a long frame can carry the sled up a bank, and on the flat rim behind
    // its top the sled could come to rest outside the course, or, thrown farther, leave
    // the edge of the snow. Each piece of wall has its inner face on one stretch of the
    // line and reaches a thickness past both its ends, so the pieces close up behind it.
    const Extent snow = snowExtent(world);
    const float bottom = snow.min.y - borderWallDepth, top = snow.max.y + borderWallHeadroom;
    const float y = 0.5f * (bottom + top), halfHeight = 0.5f * (top - bottom), t = 0.5f * borderWallThickness;
    const std::vector<vec2> line = borderWallLine(CourseArea{});
    for (std::size_t i = 0; i < line.size(); ++i) {
        const vec2 from = line[i], to = line[(i + 1) % line.size()];
        const vec2 along = glm::normalize(to - from), outward(along.y, -along.x);
        const vec2 middle = 0.5f * (from + to) + outward * t;
        const vec3 halfExtents(0.5f * glm::length(to - from) + borderWallThickness, halfHeight, t);
        // Turned about the vertical so that the box's own x axis runs along the line.
        const float turnY = std::atan2(-along.y, along.x) / degreesToRadians;
        auto wall = std::make_unique<scene::InvisibleWall>(newMaterial(physicsWorld),
                                                           vec3(middle.x, y, middle.y), halfExtents, turnY);
        physicsWorld.scene->addActor(*wall->getActor());
        world.levelObjects.push_back(std::move(wall));
    }
}

}  // namespace

void World::createScenery(PhysicsWorld& physicsWorld)
{
    auto slope = std::make_unique<scene::Terrain>(basicProgram, motionBlurProgram, newMaterial(physicsWorld));
    surroundings = slope->takeSurroundings(distantProgram, motionBlurProgram);
    terrain = slope.get();
    keep(*this, physicsWorld, std::move(slope));

    createBorderWalls(*this, physicsWorld);

    // Rocks: a cooked mesh each, so the sled slides along their faces.
    auto rock = std::make_unique<scene::StaticShape>(basicProgram, motionBlurProgram, "Models/rock.obj",
                                                     newMaterial(physicsWorld), "rock",
                                                     scene::CollisionKind::TriangleMesh);
    rock->setPosition(-65.0f, 117.0f, 41.0f);
    for (const vec3& position :
         {vec3(27.0f, 77.0f, -4.0f), vec3(51.0f, 71.0f, -27.0f), vec3(41.0f, 13.0f, -116.0f)}) {
        keep(*this, physicsWorld, placedCopy(*rock, position));
    }
    keep(*this, physicsWorld, std::move(rock));

    // Fallen tree, stump and billboard.
    auto fallenTree = std::make_unique<scene::StaticShape>(
        basicProgram, motionBlurProgram, "Models/tree_fallen.obj", newMaterial(physicsWorld), "fallen tree",
        scene::CollisionKind::Box);
    fallenTree->setPosition(34.5f, 82.3f, 7.5f);
    fallenTree->rotateY(10.0f);
    keep(*this, physicsWorld, std::move(fallenTree));

    auto stump = std::make_unique<scene::StaticShape>(basicProgram, motionBlurProgram,
                                                      "Models/tree_stump.obj", newMaterial(physicsWorld),
                                                      "tree stump", scene::CollisionKind::Box);
    stump->setPosition(-39.9f, 46.6f, -74.1f);
    keep(*this, physicsWorld, std::move(stump));

    auto billboard = std::make_unique<scene::StaticShape>(basicProgram, motionBlurProgram,
                                                          "Models/billboard.obj", newMaterial(physicsWorld),
                                                          "billboard", scene::CollisionKind::Box);
    billboard->setPosition(3.3f, 124.0f, 55.82f);
    keep(*this, physicsWorld, std::move(billboard));

    // Trees.
    auto tree =
        std::make_unique<scene::StaticShape>(basicProgram, motionBlurProgram, "Models/tree.obj",
                                             newMaterial(physicsWorld), "tree", scene::CollisionKind::Box);
    tree->setPosition(26.4f, 85.86f, 5.57f);
    for (const Placement& placement : treeCopies) {
        keep(*this, physicsWorld, placedCopy(*tree, placement.position), placement.solid);
    }
    keep(*this, physicsWorld, std::move(tree));
}

void World::createCheckpoints(PhysicsWorld& physicsWorld)
{
    // Gate 1 from the model, 2 to 5 as its copies; ids follow the order of making.
    auto place = [](scene::Checkpoint& gate, const GatePlacement& placement) {
        gate.setPosition(placement.position.x, placement.position.y, placement.position.z);
        gate.rotateY(placement.turnY);
        gate.rotateZ(placement.turnZ);
    };
    auto first = std::make_unique<scene::Checkpoint>(basicProgram, motionBlurProgram, "models/checkpoint.obj",
                                                     newMaterial(physicsWorld));
    place(*first, gates[0]);
    std::vector<std::unique_ptr<scene::Checkpoint>> copies;
    for (std::size_t i = 1; i < std::size(gates); ++i) {
        copies.push_back(std::make_unique<scene::Checkpoint>(*first));
        place(*copies.back(), gates[i]);
    }
    copies.insert(copies.begin(), std::move(first));
    std::int32_t number = 1;
    for (std::unique_ptr<scene::Checkpoint>& gate : copies) {
        // Each gate's number sign stands on it, turned with it; drawn only, no body. The
        // number is the gate's place in the race (its id in a race started afresh).
        auto marker = std::make_unique<scene::GateMarker>(basicProgram, motionBlurProgram, number++);
        marker->setModelMatrix(gate->getModelMatrix());
        gateMarkers.push_back(marker.get());
        keep(*this, physicsWorld, std::move(gate));
        keep(*this, physicsWorld, std::move(marker), false);
    }
}

void World::createCollectables(PhysicsWorld& physicsWorld)
{
    // Cows.
    auto cow = std::make_unique<scene::Collectable>(basicProgram, motionBlurProgram, "models/cow.obj",
                                                    newMaterial(physicsWorld), scene::Cow, cowPoints);
    cow->setPosition(cowPositions[0].x, cowPositions[0].y, cowPositions[0].z);
    for (std::size_t i = 1; i < std::size(cowPositions); ++i) {
        keep(*this, physicsWorld, placedCopy(*cow, cowPositions[i]));
    }
    keep(*this, physicsWorld, std::move(cow));

    // Snowflakes.
    auto snowflake =
        std::make_unique<scene::Collectable>(basicProgram, motionBlurProgram, "models/snowflake.obj",
                                             newMaterial(physicsWorld), scene::Snowflake, snowflakePoints);
    const vec3 first = snowflakes[0].position;
    snowflake->setPosition(first.x, first.y, first.z);
    for (std::size_t i = 1; i < std::size(snowflakes); ++i) {
        auto copy = placedCopy(*snowflake, snowflakes[i].position);
        if (snowflakes[i].turnY != 0.0f) {
            copy->rotateY(snowflakes[i].turnY);
        }
        keep(*this, physicsWorld, std::move(copy));
    }
    keep(*this, physicsWorld, std::move(snowflake));
}

void World::createPlayer(PhysicsWorld& physicsWorld)
{
    player = new scene::ControllerShape(basicProgram, motionBlurProgram, camera, newMaterial(physicsWorld));
    player->setPosition(startPosition.x, startPosition.y, startPosition.z);
    player->rotateY(startTurn);

    // Until the first gate, respawn returns here.
    player->respawnPosition = player->getPosition();
    player->respawnAngles = vec3(player->pitch, player->yaw, player->roll);
    player->respawnHeading = player->heading;
    // Beyond the edges of the snow or under its lowest point the sled has left the world.
    const Extent snow = snowExtent(*this);
    player->boundsMin = snow.min;
    player->boundsMax = vec3(snow.max.x, std::numeric_limits<float>::max(), snow.max.z);

    objects.insert(player);
    objects.insert(player->leftPart);
    objects.insert(player->rightPart);
}

void World::createSprays()
{
    leftSpray = new scene::ParticleSystem(particleProgram, motionBlurProgram);
    leftSpray->setModelMatrix(player->getModelMatrix());
    rightSpray = new scene::ParticleSystem(particleProgram, motionBlurProgram);
    rightSpray->setModelMatrix(player->getModelMatrix());
}

}  // namespace frostline
