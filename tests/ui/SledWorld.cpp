#include "tests/ui/SledWorld.h"

#include <limits>

#include "app/Globals.h"
#include "controls/PlayerInputController.h"
#include "physics/ControllerShape.h"
#include "physics/PhysicsWorld.h"
#include "render/World.h"
#include "scene/Camera.h"
#include "tests/support/GlTestContext.h"

namespace frostline::test {

SledWorld::SledWorld()
{
    ensureGlContext();
    race.paused = false;
    world = new World(LevelContent::Empty);
    PhysicsWorld::instance().initPhysicsScene();
    world->createPlayer(PhysicsWorld::instance());
    // Without snow there are no edges of the world to keep the sled within.
    world->player->boundsMin = vec3(std::numeric_limits<float>::lowest());
    world->player->boundsMax = vec3(std::numeric_limits<float>::max());
    world->attachRace(race);
    raceState = &race;
    freeCameraMode = false;
    activeController = new controls::PlayerInputController(*world->player, race);
    world->player->updateChaseCamera();
    world->camera->update(0.0f);
}

SledWorld::~SledWorld()
{
    delete activeController;
    activeController = nullptr;
    delete world;
    world = nullptr;
    raceState = nullptr;
    freeCameraMode = false;
}

}  // namespace frostline::test
