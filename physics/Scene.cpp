#include "physics/Scene.h"

#include <BulletCollision/BroadphaseCollision/btOverlappingPairCache.h>
#include <btBulletCollisionCommon.h>

#include "physics/Actor.h"

namespace frostline {

Scene::Scene()
    : configuration(std::make_unique<btDefaultCollisionConfiguration>()),
      dispatcher(std::make_unique<btCollisionDispatcher>(configuration.get())),
      pairCache(std::make_unique<btNullPairCache>())
{
    // The scene is only queried (sweeps and contact tests), never stepped, so the
    // broadphase keeps no list of overlapping pairs: moving the sled's actor then
    // costs a tree update and no allocation.
    auto tree = std::make_unique<btDbvtBroadphase>(pairCache.get());
    tree->m_deferedcollide = true;
    broadphase = std::move(tree);
    collisionWorld =
        std::make_unique<btCollisionWorld>(dispatcher.get(), broadphase.get(), configuration.get());
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
    pairCache.reset();
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
