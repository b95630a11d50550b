#include "sound/SoundMix.h"

#include <algorithm>
#include <cmath>

#include "app/RaceState.h"
#include "physics/ControllerShape.h"
#include "scene/Camera.h"
#include "scene/Collectable.h"

namespace frostline {

namespace {

/// The outcome waits until the signal that decided the race has sounded (s).
constexpr float outcomeDelay = 0.35f;
/// Each gate's signal is a whole tone above the one before.
constexpr float gateStep = 2.0f / 12.0f;

float gain(Loop loop)
{
    return loopSettings[static_cast<int>(loop)].maximumGain;
}

}  // namespace

Listener listenerAt(const scene::Camera& camera)
{
    const mat4& eye = camera.modelMatrix;
    return {vec3(eye[3]), glm::normalize(-vec3(eye[2])), glm::normalize(vec3(eye[1]))};
}

Ride rideOf(const scene::ControllerShape& sled, const scene::Camera& camera, const RaceState& race,
            bool soundOn)
{
    Ride ride;
    ride.speed = sled.speed;
    ride.maxSpeed = sled.maxSpeed;
    ride.grounded = sled.grounded;
    ride.lean = sled.maxLean > 0.0f
                    ? std::clamp(std::max(sled.leftLean, sled.rightLean) / sled.maxLean, 0.0f, 1.0f)
                    : 0.0f;
    ride.boosting = sled.boostTime > 0.0f;
    ride.paused = race.paused;
    ride.muted = !soundOn;
    ride.listener = listenerAt(camera);
    return ride;
}

LoopLevels loopLevels(const Ride& ride)
{
    LoopLevels levels;
    const float speed = std::fabs(ride.speed);
    if (speed < standingSpeed) {
        levels.gain[static_cast<int>(Loop::Boost)] = ride.boosting ? gain(Loop::Boost) : 0.0f;
        return levels;
    }
    // The scale of "fast" is the forward key's ceiling; downhill the sled goes faster still.
    const float fast = std::min(speed / std::max(ride.maxSpeed, 1.0f), 1.5f);
    const auto wind = static_cast<int>(Loop::Wind);
    levels.gain[wind] = gain(Loop::Wind) * std::min(fast / 1.5f, 1.0f);
    levels.pitch[wind] = 0.7f + 0.6f * fast;
    if (ride.grounded) {
        // The hiss is there as soon as the sled moves, and full at a third of the ceiling.
        const float moving = std::min(fast * 3.0f, 1.0f);
        const auto runners = static_cast<int>(Loop::Runners);
        levels.gain[runners] = gain(Loop::Runners) * moving;
        levels.pitch[runners] = 0.85f + 0.3f * std::min(fast, 1.0f) + 0.3f * ride.lean;
        const auto scrape = static_cast<int>(Loop::Scrape);
        levels.gain[scrape] = gain(Loop::Scrape) * moving * ride.lean;
        levels.pitch[scrape] = 0.9f + 0.3f * std::min(fast, 1.0f);
    }
    levels.gain[static_cast<int>(Loop::Boost)] = ride.boosting ? gain(Loop::Boost) : 0.0f;
    return levels;
}

std::vector<CuePlay> cuesFor(const RaceEvents& events)
{
    std::vector<CuePlay> cues;
    for (const RaceEvent& event : events) {
        switch (event.kind) {
        case RaceEventKind::CountdownTick:
            cues.push_back({event.count > 0 ? Cue::Beep : Cue::Go});
            break;
        case RaceEventKind::GatePassed: {
            const float pitch = std::pow(2.0f, gateStep * static_cast<float>(std::max(event.gate - 1, 0)));
            cues.push_back({Cue::Gate, pitch, 0.0f, true, event.where});
            break;
        }
        case RaceEventKind::WrongGate:
            cues.push_back({Cue::Buzzer, 1.0f, 0.0f, true, event.where});
            cues.push_back({Cue::Lose, 1.0f, outcomeDelay});
            break;
        case RaceEventKind::PickedUp: {
            const Cue cue = event.pickupKind == scene::Cow ? Cue::Moo : Cue::Chime;
            cues.push_back({cue, 1.0f, 0.0f, true, event.where});
            break;
        }
        case RaceEventKind::Won:
            cues.push_back({Cue::Fanfare, 1.0f, outcomeDelay});
            break;
        case RaceEventKind::TimeUp:
            cues.push_back({Cue::Lose});
            break;
        case RaceEventKind::Respawned:
            cues.push_back({Cue::Swoosh});
            break;
        case RaceEventKind::ObstacleHit:
            cues.push_back({Cue::Thud, 1.0f, 0.0f, true, event.where});
            break;
        }
    }
    return cues;
}

}  // namespace frostline
