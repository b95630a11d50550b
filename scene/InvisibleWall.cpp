#include "scene/InvisibleWall.h"

#include "physics/PhysicsWorld.h"
#include "scene/StaticShape.h"

namespace frostline::scene {

InvisibleWall::InvisibleWall(Material* material, vec3 centre, vec3 halfExtents, float turnY)
{
    const vec3 up(0.0f, 1.0f, 0.0f);
    actor = PhysicsWorld::instance().createStaticActor(BoxGeometry{halfExtents}, *material);
    actor->setGlobalPose(turnedPose(Pose(centre), up, turnY));
    actor->setName(actorName);
    modelMatrix = frostline::rotate(frostline::translate(mat4(1.0f), centre), up, turnY);
}

InvisibleWall::~InvisibleWall()
{
    if (actor) {
        actor->release();
        actor = nullptr;
    }
}

}  // namespace frostline::scene
