// The race rules: what a touched pick-up or gate does to the race.
#include <iostream>

#include "app/RaceState.h"
#include "scene/Checkpoint.h"
#include "scene/Collectable.h"

namespace frostline {

void RaceState::collect(scene::Collectable& collectable)
{
    if (collectable.hidden) {
        return;
    }
    points += static_cast<uint32_t>(collectable.points);
    // Without its body the sled cannot touch it again; hidden, it is neither updated nor drawn.
    collectable.releaseActor();
    collectable.hidden = true;
}

void RaceState::passCheckpoint(scene::Checkpoint& checkpoint)
{
    // A gate whose body is gone has been counted already.
    if (!checkpoint.getActor()) {
        return;
    }
    if (checkpoint.id != nextCheckpoint) {
        gameOver = true;
        lost = true;
        std::cout << "Verloren! Checkpoint verpasst" << std::endl;
    }
    // The last gate ends the race; a loss recorded before stays a loss.
    if (checkpoint.id == lastCheckpoint) {
        gameOver = true;
    }
    timeLeft += checkpointTimeBonus;
    nextCheckpoint += 1;
    // The gate stays visible, but the sled passes through it from now on.
    checkpoint.releaseActor();
}

}  // namespace frostline
