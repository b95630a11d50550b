// Which run the ghost rider rides: the guide (the autopilot's winning line, from the
// game's files) until the player wins a race, then the player's best run of the
// session. Plain values: no GL, no physics.
#pragma once

#include <optional>

#include "ghost/GhostRun.h"

namespace frostline {

class GhostSession {
public:
    /// The guide run, or nothing when its file was missing or broken.
    void setGuide(std::optional<GhostRun> run);
    /// A won race's run: kept as the session's best when it is the first win or faster
    /// than the best. True when it was kept.
    bool offerWin(const GhostRun& run);
    /// The run the next race's ghost rides: the best win of the session, else the guide;
    /// null when there is neither.
    const GhostRun* ride() const;
    /// Whether ride() is the player's own best run.
    bool ridesBest() const { return best.has_value(); }

private:
    std::optional<GhostRun> guide;
    std::optional<GhostRun> best;
};

}  // namespace frostline
