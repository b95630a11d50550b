// The race rules: what a touched pick-up or gate does to the race.
#include <iostream>

#include "app/RaceEvents.h"
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
    RaceEvent event{RaceEventKind::PickedUp};
    event.pickupKind = collectable.kind;
    event.points = static_cast<uint32_t>(collectable.points);
    event.where = collectable.getPosition();
    events.push_back(event);
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
    // Once the race is decided, gates still count but tell the player nothing new.
    const bool racing = !gameOver;
    RaceEvent touched{RaceEventKind::GatePassed, checkpoint.id, nextCheckpoint};
    touched.where = checkpoint.getPosition();
    const bool inTurn = checkpoint.id == nextCheckpoint;
    if (!inTurn) {
        gameOver = true;
        lost = true;
        std::cout << "Verloren! Checkpoint verpasst" << std::endl;
        if (racing) {
            touched.kind = RaceEventKind::WrongGate;
            events.push_back(touched);
            wrongGate = checkpoint.id;
            missedGate = nextCheckpoint;
        }
    } else if (racing) {
        events.push_back(touched);
    }
    // The last gate ends the race; a loss recorded before stays a loss.
    if (checkpoint.id == lastCheckpoint) {
        gameOver = true;
        if (racing && !lost) {
            events.push_back({RaceEventKind::Won, checkpoint.id});
        }
    }
    // Only a gate passed in turn gains time and moves the count (and the signs) on.
    if (inTurn) {
        timeLeft += checkpointTimeBonus;
        nextCheckpoint += 1;
    }
    // The gate stays visible, but the sled passes through it from now on.
    checkpoint.releaseActor();
}

}  // namespace frostline
