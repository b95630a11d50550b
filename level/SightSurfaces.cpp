// What the eye meets in the level: every drawn surface but the sled's own and the
// pick-ups' (small, and gone once taken), whether the sled can touch it or not.
#include "physics/ControllerShape.h"
#include "physics/SightWorld.h"
#include "render/World.h"
#include "scene/Collectable.h"

namespace frostline {

namespace {

/// Adds every mesh of shape at its drawn place.
void addShape(SightWorld& sight, scene::Shape& shape, SightWorld::Kind kind)
{
    for (const scene::MeshEntry& entry : *shape.meshes) {
        sight.addSurface(entry.surface, shape.getModelMatrix(), &shape, kind);
    }
}

}  // namespace

void World::createSightSurfaces()
{
    sight = std::make_unique<SightWorld>();
    for (scene::SceneObject* object : objects) {
        auto* shape = dynamic_cast<scene::Shape*>(object);
        const bool sled =
            player && (object == player || object == player->leftPart || object == player->rightPart);
        if (shape && !sled && !dynamic_cast<scene::Collectable*>(object)) {
            addShape(*sight, *shape, shape == terrain ? SightWorld::Kind::Ground : SightWorld::Kind::Body);
        }
    }
    // The land around the course: banks and mountains are ground, the forest (the
    // second of the three) stands on them.
    if (surroundings) {
        for (std::size_t i = 0; i < surroundings->meshes->size(); ++i) {
            sight->addSurface((*surroundings->meshes)[i].surface, surroundings->getModelMatrix(),
                              surroundings.get(), i == 1 ? SightWorld::Kind::Body : SightWorld::Kind::Ground);
        }
    }
    if (player) {
        player->sight = sight.get();
    }
}

}  // namespace frostline
