// The state of the one race of a run: points, checkpoint progress, the clock
// and the game-over, lost and paused flags.
#pragma once

#include <cstdint>

#include "app/RaceEvents.h"

namespace frostline {

namespace scene {
class Collectable;
class Checkpoint;
}  // namespace scene

class RaceState {
public:
    /// A touched pick-up: adds its points, releases its body and hides it (once).
    void collect(scene::Collectable& collectable);
    /// A touched gate: checks the order (out of turn loses), adds time and advances for a
    /// gate in turn only, releases its body.
    void passCheckpoint(scene::Checkpoint& checkpoint);

    uint32_t points = 0;               ///< sum of the pick-ups collected
    int32_t lastCheckpoint = 5;        ///< id of the final gate
    float checkpointTimeBonus = 10.0f; ///< seconds added per gate passed
    float timeLeft = 10.0f;            ///< race time left (s)
    int32_t nextCheckpoint = 1;        ///< id of the gate to pass next
    bool gameOver = false;             ///< the race has ended
    bool lost = false;                 ///< the race has ended in a loss
    bool paused = true;                ///< world update and race clock halted; cleared before the first frame
    float raceTime = 0.0f;             ///< seconds raced since GO, to its end (the finish time once won)
    int32_t wrongGate = 0;             ///< the gate touched out of turn that lost the race (0: none)
    int32_t missedGate = 0;            ///< the gate that was next when the race was lost (0: not lost)
    RaceEvents events;                 ///< what happened since the main loop last handed them on
};

}  // namespace frostline
