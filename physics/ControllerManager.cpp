#include "physics/ControllerManager.h"

#include <algorithm>
#include <cmath>

#include "physics/PhysicsWorld.h"

namespace frostline {

namespace {

bool isValid(const CapsuleControllerSettings& settings)
{
    const glm::dvec3& p = settings.position;
    return settings.radius > 0.0f && settings.height >= 0.0f && settings.contactOffset >= 0.0f &&
           settings.stepOffset >= 0.0f && glm::dot(settings.upDirection, settings.upDirection) > 0.0f &&
           std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

}  // namespace

ControllerManager::ControllerManager(PhysicsWorld& world, Scene& scene) : world(world), scene(scene) {}

ControllerManager::~ControllerManager()
{
    purgeControllers();
}

CapsuleController* ControllerManager::createController(const CapsuleControllerSettings& settings)
{
    if (!isValid(settings)) {
        return nullptr;
    }
    const CapsuleGeometry capsule{settings.radius, 0.5f * settings.height};
    Actor* actor = world.createActor(capsule, nullptr, settings.material, Pose());
    auto* controller = new CapsuleController(*this, *actor, settings);
    scene.addActor(*actor);
    controllers.push_back(controller);
    return controller;
}

void ControllerManager::purgeControllers()
{
    while (!controllers.empty()) {
        controllers.back()->release();
    }
}

void ControllerManager::releaseController(CapsuleController& controller)
{
    controllers.erase(std::find(controllers.begin(), controllers.end(), &controller));
    Actor* actor = controller.actor;
    delete &controller;
    actor->controller = nullptr;
    world.releaseActor(*actor);
}

}  // namespace frostline
