#include "scene/InvisibleWall.h"

#include "physics/PhysicsWorld.h"

namespace frostline::scene {

InvisibleWall::InvisibleWall(Material* material, vec3 centre, vec3 halfExtents)
{
    actor = PhysicsWorld::instance().createStaticActor(BoxGeometry{halfExtents}, *material);
    actor->setGlobalPose(Pose(centre));
    actor->setName(actorName);
    modelMatrix = frostline::translate(mat4(1.0f), centre);
}

InvisibleWall::~InvisibleWall()
{
    if (actor) {
        actor->release();
        actor = nullptr;
    }
}

}  // namespace frostline::scene
