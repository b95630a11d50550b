#include "app/GhostRace.h"

#include <iostream>
#include <optional>

#include "app/FileReading.h"
#include "app/Globals.h"
#include "app/RaceState.h"
#include "ghost/GhostRun.h"
#include "physics/ControllerShape.h"
#include "render/World.h"
#include "scene/GhostRider.h"

namespace frostline {

namespace {

/// How long a won run goes on being recorded after the last gate (s): its ghost rides
/// through the finish instead of stopping in it.
constexpr float tailSeconds = 1.0f;

GhostRecorder recorder;               ///< the race being ridden
float raceSeconds = 0.0f;             ///< race time since GO while the clock ran, and for the tail (s)
bool winPending = false;              ///< a won run is being recorded to its tail's end
float ghostSeconds = 0.0f;            ///< the ghost's time since GO (s)
std::optional<GhostRun> racingGhost;  ///< the run this race's ghost rides

/// Offers the won run as the session's best, once.
void offerPendingWin()
{
    if (winPending) {
        ghostSession.offerWin(recorder.run());
        winPending = false;
    }
}

}  // namespace

void loadGuideGhost(const std::string& path)
{
    const std::optional<std::string> bytes = readWholeFile(path);
    std::optional<GhostRun> guide = bytes ? readGhostRun(*bytes) : std::nullopt;
    if (!guide) {
        std::cout << "Ghost: no guide (" << path << " is missing or broken)" << std::endl;
    }
    ghostSession.setGuide(std::move(guide));
}

void startGhostRace()
{
    // A race left before its winning run's tail was recorded keeps its win all the same.
    offerPendingWin();
    recorder.start();
    raceSeconds = 0.0f;
    ghostSeconds = 0.0f;
    const GhostRun* ride = ghostSession.ride();
    racingGhost = ride ? std::optional<GhostRun>(*ride) : std::nullopt;
}

void updateGhostRace(bool raceWasRunning)
{
    if (!world || !world->player || !raceState) {
        return;
    }
    scene::ControllerShape& sled = *world->player;
    // While the race runs, and after a win until the tail is recorded too.
    if (raceWasRunning || (winPending && !raceState->paused)) {
        raceSeconds += deltaTime;
        recorder.frame(raceSeconds, ghostPoseOf(sled.getModelMatrix(), sled.leftLean, sled.rightLean));
        if (raceWasRunning && raceState->gameOver && !raceState->lost) {
            recorder.finish(raceSeconds);
            winPending = true;
        }
        if (winPending && raceSeconds >= recorder.run().finishTime + tailSeconds) {
            offerPendingWin();
        }
    }
    // The ghost rides from GO for as long as its run lasts, and waits with the race.
    if (raceStarted && !raceState->paused) {
        ghostSeconds += deltaTime;
    }
    if (world->ghost) {
        world->ghost->shown = ghostVisible && racingGhost.has_value();
        if (racingGhost) {
            world->ghost->place(racingGhost->poseAt(ghostSeconds));
        }
    }
}

std::string nextGhostNote()
{
    return ghostSession.ridesBest() || winPending ? "ghost: your best" : "ghost: guide";
}

}  // namespace frostline
