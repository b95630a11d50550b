// Creates the capsule controllers of a scene and releases them.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "physics/CapsuleController.h"

namespace frostline {

class PhysicsWorld;
class Scene;

class ControllerManager {
public:
    /// Controllers made here live in scene; their actors are registered with world.
    ControllerManager(PhysicsWorld& world, Scene& scene);
    /// Releases every controller still alive.
    ~ControllerManager();
    ControllerManager(const ControllerManager&) = delete;
    ControllerManager& operator=(const ControllerManager&) = delete;

    /// A new controller with its actor in the scene; null when the settings are
    /// invalid (radius not above 0, height or offsets below 0, up direction zero).
    CapsuleController* createController(const CapsuleControllerSettings& settings);
    /// Number of controllers alive.
    std::size_t getControllerCount() const { return controllers.size(); }
    /// Releases every controller.
    void purgeControllers();

    /// The scene the controllers move in.
    Scene& getScene() const { return scene; }

private:
    friend class CapsuleController;
    void releaseController(CapsuleController& controller);

    PhysicsWorld& world;
    Scene& scene;
    std::vector<CapsuleController*> controllers;
};

}  // namespace frostline
