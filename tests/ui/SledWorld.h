// The smallest game the HUD and the keyboard commands act on: a World without a
// level but with the player's sled (in the process's physics scene), its chase
// camera behind it, and a RaceState, installed in the game's globals.
#pragma once

#include <memory>

#include "app/RaceState.h"

namespace frostline::test {

class SledWorld {
public:
    /// Needs the GL context; sets world, raceState and activeController (a
    /// PlayerInputController for the sled) and puts the camera behind the sled.
    SledWorld();
    /// Deletes the controller and the World and clears the globals.
    ~SledWorld();
    SledWorld(const SledWorld&) = delete;
    SledWorld& operator=(const SledWorld&) = delete;

    RaceState race;
};

}  // namespace frostline::test
