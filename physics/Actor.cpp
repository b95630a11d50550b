#include "physics/Actor.h"

#include <cassert>

#include <btBulletCollisionCommon.h>

#include "physics/BulletConvert.h"
#include "physics/PhysicsWorld.h"
#include "physics/Scene.h"

namespace frostline {

Actor::Actor(PhysicsWorld& world, const Geometry& geometry, std::shared_ptr<btCollisionShape> shape,
             Material* material, const Pose& pose)
    : world(world),
      geometry(geometry),
      shape(std::move(shape)),
      object(std::make_unique<btCollisionObject>()),
      material(material),
      pose(pose)
{
    object->setCollisionShape(this->shape.get());
    object->setCollisionFlags(btCollisionObject::CF_STATIC_OBJECT);
    object->setUserPointer(this);
    object->setWorldTransform(toBullet(pose));
}

Actor::~Actor() = default;

void Actor::setGlobalPose(const Pose& newPose, bool /*wakeUp*/)
{
    // A controller's actor follows its controller; move the controller instead.
    assert(!controller);
    if (controller) {
        return;
    }
    pose = newPose;
    object->setWorldTransform(toBullet(pose));
    if (scene) {
        scene->getCollisionWorld().updateSingleAabb(object.get());
        ++scene->revision;
    }
}

void Actor::release()
{
    // A controller's actor lives and dies with its controller.
    assert(!controller);
    if (controller) {
        return;
    }
    world.releaseActor(*this);
}

}  // namespace frostline
