// What the eye meets: every drawn surface a player can neither see through nor
// pass the camera through (the snow, the land around the course, trees, rocks,
// gates and their signs), as triangle meshes in a collision world of their own.
// The chase camera probes it for a clear place, the gate guide for a clear line
// of sight. It is not the physics scene: it holds what the sled passes through
// (trees without a body, passed gates, the signs, the land beyond the walls) and
// leaves out what the eye does not see (the border walls) or looks past (pick-ups).
//
// Surfaces are one-sided: a triangle's front is the side its corners wind
// counter-clockwise on, the outside of a body and the top of the snow. Probes
// stop at fronts only, so a probe that starts inside a body gets out of it. The
// ground (the snow and the land) is a sheet with its solid below; every other
// surface closes a body, or a part of one that stands open below (a fir's tier).
#pragma once

#include <memory>
#include <vector>

#include "scene/Math.h"

class btBroadphaseInterface;
class btCollisionConfiguration;
class btCollisionDispatcher;
class btCollisionObject;
class btCollisionWorld;

namespace frostline {

class TriangleMesh;

class SightWorld {
public:
    SightWorld();
    ~SightWorld();
    SightWorld(const SightWorld&) = delete;
    SightWorld& operator=(const SightWorld&) = delete;

    /// What a surface is: the ground, with its solid below, or the skin of a body.
    enum class Kind { Ground, Body };

    /// Adds the triangles of mesh (model space) placed by modelMatrix (turns and a
    /// move only); owner tags them for lineOfSight.
    void addSurface(std::shared_ptr<const TriangleMesh> mesh, const mat4& modelMatrix, const void* owner,
                    Kind kind);

    /// How far (world units) a ball of radius (world units) travels from `from` toward
    /// `to` before it touches the front of a surface: the whole distance when nothing
    /// is in the way, 0 when it starts touching one.
    float clearance(vec3 from, vec3 to, float radius) const;
    /// How far (world units) the straight line from `from` toward `to` goes before it
    /// meets the front of a surface, the surfaces of ignore (may be null) left out: the
    /// whole distance when it meets none.
    float reach(vec3 from, vec3 to, const void* ignore = nullptr) const;
    /// True when the straight line from `from` to `to` meets the front of no surface,
    /// the surfaces of ignore (may be null) left out.
    bool lineOfSight(vec3 from, vec3 to, const void* ignore) const;
    /// True when point is in the open air: above the ground and inside no body, that
    /// is no body's skin closes round it in every direction.
    bool inTheOpen(vec3 point) const;

    /// Number of surfaces added.
    std::size_t surfaceCount() const { return objects.size(); }

private:
    std::unique_ptr<btCollisionConfiguration> configuration;
    std::unique_ptr<btCollisionDispatcher> dispatcher;
    std::unique_ptr<btBroadphaseInterface> broadphase;
    std::unique_ptr<btCollisionWorld> collisionWorld;
    std::vector<std::unique_ptr<btCollisionObject>> objects;  ///< one a surface; user pointer = its owner
    /// The meshes, kept alive while their objects are in the world.
    std::vector<std::shared_ptr<const TriangleMesh>> meshes;
};

}  // namespace frostline
