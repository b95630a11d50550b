// Where the level puts its objects and how each one meets the snow. The asset
// generator shapes the terrain from this table; the asset tests check the
// generated terrain against it. Positions are world units, y up, turns degrees.
#pragma once

#include <glm/vec3.hpp>

namespace frostline {

/// How an object's origin relates to the snow surface below it.
enum class GroundContact {
    Stands,  ///< the origin is on the snow (trees, stump, billboard, rocks sunk by their model)
    Lies,    ///< a log: the origin and both ends of its length on the snow
    Gate,    ///< a checkpoint: both feet on the snow, tilted by the gate's Z turn
    Hovers,  ///< a pick-up: the origin at the sled capsule's ride height above the snow
    Start,   ///< the sled's start: the capsule centre just above the snow
};

/// One object of the level as the level population places it.
struct PlacedObject {
    const char* model;      ///< model file as the level opens it
    glm::vec3 position;     ///< origin, world units
    float turnY;            ///< turn about Y after placing, degrees
    float turnZ;            ///< turn about Z after the Y turn, degrees
    GroundContact contact;  ///< how it meets the snow
};

/// Radius of the sled's capsule (world units): the torso model's largest |x| and |z|.
inline constexpr float sledCapsuleRadius = 1.0f;
/// Height of the capsule centre above the snow while riding (world units): radius + contact offset.
inline constexpr float sledRideHeight = sledCapsuleRadius + 0.1f;
/// Extra drop below the start position before the sled touches the snow (world units).
inline constexpr float sledStartDrop = 0.15f;
/// Half the distance between the outer faces of a gate's posts (world units, gate model space x).
inline constexpr float gateHalfWidth = 4.3f;
/// Distance of a gate's feet from its origin along its crossbar (world units).
inline constexpr float gateFootOffset = 4.0f;
/// Half length of the fallen trunk along its model x axis (world units).
inline constexpr float fallenTreeHalfLength = 3.6f;
/// Distance of the billboard's posts from its origin along x (world units).
inline constexpr float billboardPostOffset = 2.8f;

/// Every object of the level, in the level's creation order per kind.
inline constexpr PlacedObject levelObjects[] = {
    {"Models/rock.obj", {-65.0f, 117.0f, 41.0f}, 0, 0, GroundContact::Stands},
    {"Models/rock.obj", {27.0f, 77.0f, -4.0f}, 0, 0, GroundContact::Stands},
    {"Models/rock.obj", {51.0f, 71.0f, -27.0f}, 0, 0, GroundContact::Stands},
    {"Models/rock.obj", {41.0f, 13.0f, -116.0f}, 0, 0, GroundContact::Stands},
    {"Models/tree_fallen.obj", {34.5f, 82.3f, 7.5f}, 10, 0, GroundContact::Lies},
    {"Models/tree_stump.obj", {-39.9f, 46.6f, -74.1f}, 0, 0, GroundContact::Stands},
    {"Models/billboard.obj", {3.3f, 124.0f, 55.82f}, 0, 0, GroundContact::Stands},
    {"Models/tree.obj", {26.4f, 85.86f, 5.57f}, 0, 0, GroundContact::Stands},
    {"Models/tree.obj", {29.8f, 78.0f, -13.57f}, 0, 0, GroundContact::Stands},
    {"Models/tree.obj", {-4.78f, 32.6f, -114.75f}, 0, 0, GroundContact::Stands},
    {"Models/tree.obj", {55.2f, 10.0f, -114.4f}, 0, 0, GroundContact::Stands},
    {"Models/tree.obj", {106.4f, 9.2f, -86.46f}, 0, 0, GroundContact::Stands},
    {"Models/tree.obj", {113.7f, 5.9f, -104.13f}, 0, 0, GroundContact::Stands},
    {"Models/tree.obj", {87.7f, 5.5f, -113.4f}, 0, 0, GroundContact::Stands},
    {"Models/tree.obj", {-45.56f, 51.0f, -126.48f}, 0, 0, GroundContact::Stands},
    {"Models/tree.obj", {-38.56f, 51.0f, -126.48f}, 0, 0, GroundContact::Stands},
    {"models/checkpoint.obj", {0.0f, 119.4f, 81.0f}, -25, 9, GroundContact::Gate},
    {"models/checkpoint.obj", {-44.0f, 111.0f, 24.0f}, -90, -5, GroundContact::Gate},
    {"models/checkpoint.obj", {75.0f, 85.1f, 26.0f}, -65, 20, GroundContact::Gate},
    {"models/checkpoint.obj", {-61.0f, 43.0f, -97.0f}, -55, -5, GroundContact::Gate},
    {"models/checkpoint.obj", {61.0f, 6.5f, -97.0f}, 90, -5, GroundContact::Gate},
    {"models/cow.obj", {43.8f, 72.58f, -18.24f}, 0, 0, GroundContact::Hovers},
    {"models/cow.obj", {8.15f, 24.7f, -99.25f}, 0, 0, GroundContact::Hovers},
    {"models/cow.obj", {-25.2f, 105.15f, 28.1f}, 0, 0, GroundContact::Hovers},
    {"models/snowflake.obj", {-21.4f, 133.59f, 95.2f}, 0, 0, GroundContact::Hovers},
    {"models/snowflake.obj", {63.5f, 74.0f, 0.2f}, 0, 0, GroundContact::Hovers},
    {"models/snowflake.obj", {18.55f, 64.0f, -48.3f}, 0, 0, GroundContact::Hovers},
    {"models/snowflake.obj", {-20.17f, 53.0f, -69.0f}, 0, 0, GroundContact::Hovers},
    {"models/snowflake.obj", {-55.1f, 44.7f, -79.4f}, 0, 0, GroundContact::Hovers},
    {"models/snowflake.obj", {-24.2f, 38.5f, -113.0f}, 0, 0, GroundContact::Hovers},
    {"models/snowflake.obj", {28.78f, 13.46f, -89.7f}, 0, 0, GroundContact::Hovers},
    {"models/snowflake.obj", {11.55f, 20.2f, -107.9f}, 90, 0, GroundContact::Hovers},
    {"models/snowflake.obj", {11.55f, 20.2f, -107.9f}, 0, 0, GroundContact::Hovers},
    {"models/snowflake.obj", {-42.4f, 117.47f, 58.6f}, 0, 0, GroundContact::Hovers},
    {"models/snowflake.obj", {-25.3f, 116.3f, 58.6f}, 0, 0, GroundContact::Hovers},
    {"models/snowflake.obj", {-20.5f, 116.5f, 68.4f}, 0, 0, GroundContact::Hovers},
    {"Models/torso.obj", {-70.0f, 150.0f, 96.0f}, -90, 0, GroundContact::Start},
};

}  // namespace frostline
