// What the race sounds like: which signals the race's events call for and how
// loud and high the loops run for the sled's ride. Plain records and functions
// (no OpenAL here); Sound plays what they decide.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "app/RaceEvents.h"
#include "scene/Math.h"

namespace frostline {

class RaceState;
namespace scene { class Camera; class ControllerShape; }

/// Where the player hears from: the camera's eye and its orientation (world space).
struct Listener {
    vec3 position{0.0f};               ///< the eye (world units)
    vec3 at{0.0f, 0.0f, -1.0f};        ///< unit viewing direction
    vec3 up{0.0f, 1.0f, 0.0f};         ///< unit up direction of the picture
};

/// What the sound follows each frame, read from the sled, the camera, the race and the toggles.
struct Ride {
    float speed = 0.0f;      ///< sled speed along its heading (world units / s), either sign
    float maxSpeed = 40.0f;  ///< the forward key's ceiling, the scale of "fast"
    bool grounded = true;    ///< runners on the snow
    float lean = 0.0f;       ///< 0..1: the larger leg swing over its largest (steering or braking)
    bool boosting = false;   ///< the cow's boost is running
    bool paused = false;     ///< help or free camera: every race sound halts
    bool muted = false;      ///< M: nothing plays at all
    Listener listener;       ///< the camera, which pick-ups, obstacles and gates are heard from
};

/// The listener at a camera whose camera-to-world matrix is up to date.
Listener listenerAt(const scene::Camera& camera);
/// The ride as the sled, the camera and the race show it now; muted when soundOn is clear.
Ride rideOf(const scene::ControllerShape& sled, const scene::Camera& camera, const RaceState& race,
            bool soundOn);

/// The one-shot signals, each a file of the sounds folder.
enum class Cue { Beep, Go, Chime, Moo, Gate, Buzzer, Thud, Swoosh, Fanfare, Lose, Count };
/// The loops that follow the ride.
enum class Loop { Wind, Runners, Scrape, Boost, Count };

inline constexpr int cueCount = static_cast<int>(Cue::Count);
inline constexpr int loopCount = static_cast<int>(Loop::Count);

/// File name (in the sounds folder), gain (0..1 before the master gain) and the shortest
/// time between two starts (s) of each cue.
struct CueSettings {
    const char* file;
    float gain;
    float minimumGap;
};
inline constexpr std::array<CueSettings, cueCount> cueSettings = {{
    {"beep.wav", 0.9f, 0.0f},
    {"go.wav", 0.9f, 0.0f},
    {"chime.wav", 1.0f, 0.0f},
    {"moo.wav", 1.0f, 0.0f},
    {"gate.wav", 0.9f, 0.0f},
    {"buzzer.wav", 0.8f, 0.0f},
    {"thud.wav", 1.0f, 0.25f},   // a wall scraped along thuds a few times a second, not every frame
    {"swoosh.wav", 0.8f, 0.4f},  // R held puts the sled back every frame
    {"fanfare.wav", 1.0f, 0.0f},
    {"lose.wav", 1.0f, 0.0f},
}};

/// File name and loudest gain (0..1 before the master gain) of each loop.
struct LoopSettings {
    const char* file;
    float maximumGain;
};
inline constexpr std::array<LoopSettings, loopCount> loopSettings = {{
    {"wind.wav", 0.9f},
    {"runners.wav", 0.55f},
    {"scrape.wav", 0.5f},
    {"boost.wav", 0.6f},
}};

/// One-shots playing at once at most (the rest wait for a free voice or take the oldest).
inline constexpr int voiceCount = 4;
/// The listener's gain: a race is mixed to -24 LUFS integrated, as games are for home play, with
/// its peaks well below full scale; OpenAL's limiter takes the rare moment when everything sounds
/// at its loudest at once.
inline constexpr float masterGain = 0.35f;
/// Below this speed (world units / s) the sled stands: no wind, no runners.
inline constexpr float standingSpeed = 0.3f;
/// A cue heard from where it happened is at its full gain up to this distance from the camera
/// (world units; the chase camera is about 11 behind the sled), at half its gain twice as far.
inline constexpr float cueReferenceDistance = 12.0f;

/// Gain and pitch of each loop for a ride.
struct LoopLevels {
    std::array<float, loopCount> gain{};
    std::array<float, loopCount> pitch{1.0f, 1.0f, 1.0f, 1.0f};
};

/// Wind grows louder and higher with speed; the runners hiss on the ground while moving,
/// higher while leaning; the dragged leg scrapes with the lean; the boost whooshes while it lasts.
LoopLevels loopLevels(const Ride& ride);

/// A cue to start after delay seconds at a pitch factor, centred or heard from where it happened.
struct CuePlay {
    Cue cue;
    float pitch = 1.0f;
    float delay = 0.0f;
    bool placed = false;  ///< heard from where; otherwise centred on the listener
    vec3 where{0.0f};     ///< world space (world units), when placed
};

/// The cues the events of a frame call for, in order: countdown beeps, gate signals rising
/// with the gate's number, pick-ups, the buzzer, thuds, the swoosh and the outcome after
/// whatever signal ended the race. Gates, pick-ups and obstacles are heard from where they
/// are; the countdown, the swoosh and the outcome are centred.
std::vector<CuePlay> cuesFor(const RaceEvents& events);

}  // namespace frostline
