// A rider who knows where every gate is: steers toward the next one, pushes while
// roughly on course, brakes when far off it and fast. The ride benchmark, the tests
// and the guide run (the ghost rider's first line) all ride with it.
#pragma once

#include <set>

#include "scene/Math.h"

namespace frostline {

class World;
class RaceState;
namespace scene {
class Checkpoint;
class ControllerShape;
}

/// What the rider does in one frame.
struct RideInput {
    float turn = 0.0f;   ///< positive left, negative right; 1 turns as hard as a key
    bool push = false;   ///< the forward key
    bool brake = false;  ///< the brake key
};

/// The world's gate with this number, or null.
scene::Checkpoint* gateNumbered(World& world, int id);
/// Toward target (world units) from where sled is and heads.
RideInput steerToward(scene::ControllerShape& sled, vec3 target);
/// Toward the race's next gate from where the world's sled is and heads; nothing once
/// the race is decided or every gate is passed.
RideInput autopilotInput(World& world, const RaceState& race);
/// The arrow keys (GLFW key codes) a player holds for input.
std::set<int> arrowKeysFor(const RideInput& input);

}  // namespace frostline
