// Steers the player's sled with the arrow keys; R returns it to the last gate.
#pragma once

#include "controls/Controller.h"

namespace frostline {
class RaceState;
}
namespace frostline::scene {
class ControllerShape;
}

namespace frostline::controls {

class PlayerInputController : public Controller {
public:
    /// Steers sled; reads raceState for paused.
    PlayerInputController(scene::ControllerShape& sled, RaceState& raceState);

    /// Applies the held keys for frameTime seconds; does nothing while the race is paused.
    bool update(GLFWwindow* window, float frameTime) override;

private:
    scene::ControllerShape& sled;
    RaceState& raceState;
};

}  // namespace frostline::controls
