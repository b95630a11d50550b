#include "tests/ui/SledWorld.h"

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
