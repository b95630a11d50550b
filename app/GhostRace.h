// The ghost rider in the race: the session's guide and best runs, the recording of
// the race being ridden, and the ghost's replay, which starts at GO and waits with
// the race.
#pragma once

#include <string>

namespace frostline {

/// The guide run's file, beside the models.
inline constexpr const char* guideGhostPath = "models/guide.ghost";

/// Reads the guide run for the session; a missing or broken file means no guide,
/// said in one line on standard output.
void loadGuideGhost(const std::string& path = guideGhostPath);
/// A new race: the recording and the replay start again (a win whose tail was still being
/// recorded is offered first), and the ghost rides the session's choice (its best run,
/// else the guide).
void startGhostRace();
/// This frame's part (after the World update and the race clock): while the race clock
/// ran (raceWasRunning), and for a second after a win, the sled's pose is recorded; then
/// a won run is offered as the session's best. While the race is not paused the ghost
/// rides on. Then the World's ghost takes its pose, shown when G allows and there is a run.
void updateGhostRace(bool raceWasRunning);
/// "ghost: your best" or "ghost: guide": what the next race's ghost rides.
std::string nextGhostNote();

}  // namespace frostline
