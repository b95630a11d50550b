// What the race did this frame, for whatever tells the player about it (the
// message line, the sound). The race rules, the main loop's clock and the sled
// record events on the RaceState; the main loop hands the frame's events on and
// clears them, so the rules never call into the HUD or the sound.
#pragma once

#include <cstdint>
#include <vector>

#include "scene/Math.h"

namespace frostline {

enum class RaceEventKind {
    GatePassed,  ///< a gate passed in its turn: gate is its number
    WrongGate,   ///< a gate touched out of turn: gate is its number, expected the one that was next
    PickedUp,    ///< a pick-up collected: pickupKind (0 snowflake, 1 star, 2 cow) and points
    Won,         ///< the last gate passed with no loss recorded before
    TimeUp,      ///< the race clock ran out
    Respawned,   ///< the sled was put back at the last gate passed (or the start)
    CountdownTick,  ///< the start countdown shows a new number: count (3, 2, 1, then 0 at the start)
    ObstacleHit,    ///< the sled ran into a rock, tree, stump, log, the billboard or the border
};

struct RaceEvent {
    RaceEventKind kind = RaceEventKind::GatePassed;
    int32_t gate = 0;        ///< the gate touched (GatePassed, WrongGate)
    int32_t expected = 0;    ///< the gate that was next (WrongGate)
    int32_t pickupKind = 0;  ///< the pick-up's kind (PickedUp)
    uint32_t points = 0;     ///< the pick-up's points (PickedUp)
    int32_t count = 0;       ///< the number the countdown shows (CountdownTick)
    vec3 where{0.0f};        ///< the gate, the pick-up or the contact (world space, world units)
};

/// The events of one frame, in the order they happened.
using RaceEvents = std::vector<RaceEvent>;

}  // namespace frostline
