// The level's models, each as a list of meshes whose first mesh is the body
// (its extents give the box body and the bounding radius in the game).
#pragma once

#include <vector>

#include "tools/assetgen/Mesh.h"

namespace frostline {

/// Material names shared by the models' .mtl files.
inline constexpr const char* paletteMaterial = "palette";
inline constexpr const char* billboardMaterial = "billboard";

/// A grey boulder, its lower part meant to sit below the snow (the rock's collision is this mesh).
std::vector<Mesh> makeRock();
/// A layered fir: the trunk (the body) and the foliage.
std::vector<Mesh> makeTree();
/// A fir of the same style with fewer faces, for the forests around the course
/// (one mesh, standing on y = 0); seed varies its snow and turn.
Mesh makeForestFir(unsigned seed);
/// A snow-dusted trunk lying along x, resting on y = 0.
std::vector<Mesh> makeFallenTree();
/// A cut stump with roots, standing on y = 0.
std::vector<Mesh> makeStump();
/// Two posts and a board facing +z: the frame (the body), then the painted face.
std::vector<Mesh> makeBillboard();
/// The checkpoint gate: two striped posts along x with a banner, feet at y = 0, passed along z.
std::vector<Mesh> makeCheckpoint();
/// A black-and-white cow, hooves at the sled's ride height below the origin.
std::vector<Mesh> makeCow();
/// A six-armed snowflake in the x-y plane.
std::vector<Mesh> makeSnowflake();
/// The sled with its rider (no legs), facing -z, runners at y = -1.5.
std::vector<Mesh> makeTorso();
/// The rider's left (-x) or right (+x) leg, hip near the vertical axis through the origin.
std::vector<Mesh> makeLeg(bool left);

}  // namespace frostline
