// Level population: the terrain, scenery, gates, pick-ups, the sled and its sprays.
#include "render/World.h"

namespace frostline {

void World::createScenery(PhysicsWorld& /*physicsWorld*/) {}

void World::createCheckpoints(PhysicsWorld& /*physicsWorld*/) {}

void World::createCollectables(PhysicsWorld& /*physicsWorld*/) {}

void World::createPlayer(PhysicsWorld& /*physicsWorld*/) {}

void World::createSprays() {}

}  // namespace frostline
