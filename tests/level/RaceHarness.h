// The game's real level, set up as the start-up does (World, RaceState handed to
// the sled, a PlayerInputController), stepped frame by frame like the main loop
// at a fixed frame time, with the player's keys scripted through the key reader.
#pragma once

#include <memory>
#include <set>

#include "app/RaceState.h"
#include "controls/PlayerInputController.h"
#include "level/Autopilot.h"
#include "physics/ControllerShape.h"
#include "render/World.h"
#include "scene/Checkpoint.h"

struct GLFWwindow;

namespace frostline::test {

class ScriptedGamepads;

class RaceHarness {
public:
    /// Builds the level in the GL test context (the test must have called ensureGlContext).
    RaceHarness();
    /// Takes the level down again and gives the keyboard back to GLFW.
    ~RaceHarness();
    RaceHarness(const RaceHarness&) = delete;
    RaceHarness& operator=(const RaceHarness&) = delete;

    /// One frame of dt seconds as the main loop runs it, without drawing: countdown,
    /// controller (after the countdown), World update and race clock (unless paused),
    /// camera, physics step, and the HUD's frame (which brakes the sled after the race).
    void frame(float dt);
    /// Frames of dt seconds until the countdown is over.
    void finishCountdown(float dt);

    /// Holds key (GLFW key code) down until release or releaseAll.
    void press(int key) { held.insert(key); }
    void release(int key) { held.erase(key); }
    void releaseAll() { held.clear(); }

    /// The gate with this id, or null.
    scene::Checkpoint* gate(int id) const;

    /// What the autopilot would do this frame to ride toward the next gate (nothing
    /// once all are passed).
    RideInput rideTowardNextGate() const;

    /// Holds the keys for rideTowardNextGate.
    void steerTowardNextGate();
    /// Sets the gamepad in slot 0 for rideTowardNextGate: the left stick as far as
    /// the turn asks, the right trigger to push, the left one to brake.
    void steerTowardNextGate(ScriptedGamepads& gamepads);

    /// Holds the keys a newcomer would, knowing only what the HUD shows: the marked
    /// gate's sign on the screen while it is in view, else the arrow at the edge.
    void steerByTheHud();

    /// Sum of the points of every pick-up of the level.
    int totalPickUpPoints() const;

    GLFWwindow* window = nullptr;
    std::unique_ptr<World> world;
    std::unique_ptr<RaceState> race;
    std::unique_ptr<controls::PlayerInputController> controller;
    scene::ControllerShape* sled = nullptr;
    std::set<int> held;  ///< keys the script holds down
};

}  // namespace frostline::test
