#include "ghost/GhostSession.h"

namespace frostline {

void GhostSession::setGuide(std::optional<GhostRun> run)
{
    guide = std::move(run);
}

bool GhostSession::offerWin(const GhostRun& run)
{
    if (!run.won() || (best && best->finishTime <= run.finishTime)) {
        return false;
    }
    best = run;
    return true;
}

const GhostRun* GhostSession::ride() const
{
    if (best) {
        return &*best;
    }
    return guide ? &*guide : nullptr;
}

}  // namespace frostline
