// The collision scene: every actor the sled controller can touch. There are no
// dynamic bodies, so stepping it has nothing to integrate.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "scene/Math.h"

class btBroadphaseInterface;
class btCollisionConfiguration;
class btCollisionDispatcher;
class btCollisionWorld;
class btOverlappingPairCache;

namespace frostline {

class Actor;

class Scene {
public:
    Scene();
    ~Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    /// Adds the actor; nothing happens when it is already in this scene.
    void addActor(Actor& actor);
    /// Takes the actor out; nothing happens when it is not in this scene.
    void removeActor(Actor& actor);
    /// Number of actors in the scene, the controllers' own actors included.
    std::size_t getActorCount() const;

    /// Starts a step of elapsedTime seconds. Every actor is static or moved by its
    /// controller between steps, so there is no motion to integrate.
    void simulate(float /*elapsedTime*/) {}
    /// Ends the step; always complete, so it returns true whether or not it blocks.
    bool fetchResults(bool /*block*/) { return true; }

    /// Gravity (world units / s^2); kept for the game to read, nothing falls by itself.
    vec3 getGravity() const { return gravity; }
    /// Sets the gravity (world units / s^2).
    void setGravity(vec3 value) { gravity = value; }

    /// Bullet's collision world, for the controllers' sweeps and contact tests.
    btCollisionWorld& getCollisionWorld() const { return *collisionWorld; }
    /// Grows whenever a static actor enters the scene or moves in it; a
    /// controller checks for overlaps before its next move when it has changed.
    std::uint64_t getRevision() const { return revision; }

private:
    std::unique_ptr<btCollisionConfiguration> configuration;
    std::unique_ptr<btCollisionDispatcher> dispatcher;
    std::unique_ptr<btOverlappingPairCache> pairCache;
    std::unique_ptr<btBroadphaseInterface> broadphase;
    std::unique_ptr<btCollisionWorld> collisionWorld;
    vec3 gravity{0.0f};
    std::uint64_t revision = 0;

    friend class Actor;
};

}  // namespace frostline
