// Low-poly building blocks for the models: boxes, frusta, limbs and lumpy
// spheres, all flat-shaded, plus a per-triangle repaint for patterns.
#pragma once

#include <functional>

#include "tools/assetgen/Mesh.h"

namespace frostline {

/// A box centred on the origin with the given half sizes, one colour.
Mesh makeBox(glm::vec3 halfSize, glm::vec2 uv);
/// A frustum standing on the origin along +Y with the given radii, height and side count;
/// capUv colours the two caps (a radius of 0 closes that end in a point).
Mesh makeFrustum(float bottomRadius, float topRadius, float height, int sides, glm::vec2 sideUv,
                 glm::vec2 capUv, float phaseDegrees = 0.0f);
/// A frustum from point a (radius ra) to point b (radius rb), for limbs and posts.
Mesh makeLimb(glm::vec3 a, glm::vec3 b, float ra, float rb, int sides, glm::vec2 uv);
/// A faceted ellipsoid centred on the origin; jitter (0..1) moves the corners by a
/// deterministic amount of that fraction of the radii, seeded by seed.
Mesh makeEllipsoid(glm::vec3 radii, int rings, int segments, glm::vec2 uv, float jitter = 0.0f,
                   unsigned seed = 0);

/// Recolours every triangle whose centroid and face normal the painter accepts
/// (the painter returns true and writes the new uv).
void paintTriangles(Mesh& mesh,
                    const std::function<bool(glm::vec3 centroid, glm::vec3 normal, glm::vec2& uv)>& painter);

/// A deterministic hash of a lattice point to 0..1, for jitter and patterns.
float latticeNoise(int x, int y, int z, unsigned seed);
/// Smooth value noise of a point (trilinear between lattice values), 0..1.
float valueNoise(glm::vec3 p, unsigned seed);

}  // namespace frostline
