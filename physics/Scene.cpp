#include "physics/Scene.h"

#include <btBulletCollisionCommon.h>

#include "physics/Actor.h"

namespace frostline {

Scene::Scene()
    : configuration(std::make_unique<btDefaultCollisionConfiguration>()),
      dispatcher(std::make_unique<btCollisionDispatcher>(configuration.get())),
      broadphase(std::make_unique<btDbvtBroadphase>()),
      collisionWorld(std::make_unique<btCollisionWorld>(dispatcher.get(), broadphase.get(), configuration.get()))
{
}

Scene::~Scene()
{
    // Actors that outlive the scene forget it instead of pointing at a dead world.
    btCollisionObjectArray& objects = collisionWorld->getCollisionObjectArray();
    while (objects.size() > 0) {
        removeActor(*static_cast<Actor*>(objects[objects.size() - 1]->getUserPointer()));
    }
    collisionWorld.reset();
    broadphase.reset();
    dispatcher.reset();
    configuration.reset();
}

void Scene::addActor(Actor& actor)
{
    if (actor.scene == this) {
        return;
    }
    if (actor.scene) {
        actor.scene->removeActor(actor);
    }
    // Static actors never need to be tested against each other; controllers touch everything.
    if (actor.controller) {
        collisionWorld->addCollisionObject(actor.object.get(), btBroadphaseProxy::CharacterFilter,
                                           btBroadphaseProxy::AllFilter);
    } else {
        collisionWorld->addCollisionObject(actor.object.get(), btBroadphaseProxy::StaticFilter,
                                           btBroadphaseProxy::AllFilter ^ btBroadphaseProxy::StaticFilter);
        ++revision;
    }
    actor.scene = this;
}

void Scene::removeActor(Actor& actor)
{
    if (actor.scene != this) {
        return;
    }
    collisionWorld->removeCollisionObject(actor.object.get());
    actor.scene = nullptr;
}

std::size_t Scene::getActorCount() const
{
    return static_cast<std::size_t>(collisionWorld->getNumCollisionObjects());
}

}  // namespace frostline
