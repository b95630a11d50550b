// A wall that stops the sled and is never seen: a static box body and nothing to
// draw. The level rings the course with them on the inner top of the border banks,
// so that no ride, however fast and however long its frames, carries the sled onto
// the rim beyond the banks or off the terrain.
#pragma once

#include "scene/SceneObject.h"

namespace frostline {
class Actor;
struct Material;
}  // namespace frostline

namespace frostline::scene {

class InvisibleWall : public SceneObject {
public:
    /// A box body of halfExtents (world units) about centre (world space), turned by
    /// turnY degrees about the vertical, named "border wall" and not yet in a scene;
    /// the model matrix is placed and turned likewise.
    InvisibleWall(Material* material, vec3 centre, vec3 halfExtents, float turnY = 0.0f);
    /// Releases the body, out of its scene with it.
    ~InvisibleWall() override;
    InvisibleWall(const InvisibleWall&) = delete;
    InvisibleWall& operator=(const InvisibleWall&) = delete;

    /// The body.
    Actor* getActor() const { return actor; }

    /// Name of every wall's body; the sled takes it for an obstacle.
    static constexpr const char* actorName = "border wall";

private:
    Actor* actor = nullptr;  ///< the static box body (owned)
};

}  // namespace frostline::scene
