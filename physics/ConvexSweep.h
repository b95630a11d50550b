// The closest hit of a convex shape swept along a straight line through a
// collision world. Translation only (the shape keeps its rotation), allocation
// free. Triangle meshes are handled here rather than by Bullet's generic sweep:
// triangles whose plane the shape never reaches are skipped before any GJK work,
// which makes a sweep along a terrain several times cheaper.
#pragma once

#include <LinearMath/btTransform.h>

class btCollisionObject;
class btCollisionWorld;
class btConvexShape;

namespace frostline {

/// Where a sweep first touched something.
struct SweepHit {
    const btCollisionObject* object = nullptr;  ///< what was touched
    float fraction = 1.0f;                      ///< of the way from start to end, 0 to 1
    btVector3 normal{0, 0, 0};                  ///< unit, world space, pointing toward the swept shape
    btVector3 point{0, 0, 0};                   ///< contact point on the object (world units)
    int triangleIndex = -1;                     ///< the mesh triangle touched, or -1
};

/// Sweeps shape from start to end (same rotation) through world, ignoring the
/// object ignore; false when nothing is touched. Motion away from a surface
/// touches nothing, so a start in contact only reports surfaces moved into. With
/// frontFacesOnly, mesh triangles approached from behind (the side their corners
/// wind clockwise on) are passed through.
bool sweepClosest(btCollisionWorld& world, const btConvexShape& shape, const btTransform& start,
                  const btTransform& end, const btCollisionObject* ignore, SweepHit& hit,
                  bool frontFacesOnly = false);

}  // namespace frostline
