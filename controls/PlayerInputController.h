// Steers the player's sled with the arrow keys and the gamepad (the left stick or
// D-pad, A or the right trigger to push, B or the left trigger to brake); R or Y
// returns it to the last gate.
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

    /// Applies the held keys and the gamepad for frameTime seconds; does nothing while the race is paused.
    bool update(GLFWwindow* window, float frameTime) override;

private:
    scene::ControllerShape& sled;
    RaceState& raceState;
};

}  // namespace frostline::controls
