// Process-wide state of the application, used on the main thread only.
#pragma once

#include <cstdint>

#include "ghost/GhostSession.h"
#include "render/FrameCost.h"
#include "render/RenderScale.h"

struct GLFWwindow;

namespace frostline {

class World;
class RaceState;
namespace controls { class Controller; }
class Sound;

// --- window (set once at start) ----------------------------------------------
extern int windowWidth;           ///< window width in pixels; default 1024
extern int windowHeight;          ///< window height in pixels; default 768
extern GLFWwindow* window;        ///< the only window

// --- main loop ---------------------------------------------------------------
extern bool running;              ///< the loop continues while set; Escape clears it
extern double lastFrameTime;      ///< timer value (s) at the start of the previous frame
extern float deltaTime;           ///< seconds between the previous frame's start and this one's
extern bool raceStarted;          ///< the countdown has finished (result of updateCountdown)
extern float countdownTime;       ///< seconds left in the start countdown
extern bool countdownDone;        ///< the countdown has reached zero

/// The values every race starts from, in a fresh process and in each race built again,
/// of the counters that live outside its RaceState (resetRaceCounters sets them).
struct RaceStart {
    float countdownTime = 3.0f;          ///< seconds of the start countdown
    bool countdownDone = false;          ///< the countdown has not reached zero
    bool raceStarted = false;            ///< the race has not started
    std::int32_t firstCheckpointId = 1;  ///< the id the first gate made receives (scene::nextCheckpointId)
    float blurReferenceRate = 60.0f;     ///< the blur's reference rate without a boost (frames / s)
};

// --- render scale (set at start from options.ini, adapted each frame) ---------
extern RenderScaleControl renderScale;  ///< fixed or adaptive; renderScale.state.scale is in use
extern FrameCostMeter frameCost;        ///< what each frame costs the renderer
/// Frames of a newly built level left unmeasured (their first draws compile shaders).
extern int renderScaleWarmUpFrames;

// --- application objects (created at start-up, deleted by shutdown) ----------
extern World* world;                          ///< the 3D game
extern RaceState* raceState;                  ///< the race
extern controls::Controller* activeController;  ///< receives input each frame
extern Sound* sound;                          ///< what the player hears (silent without a device)

// --- keyboard toggles --------------------------------------------------------
extern bool freeCameraMode;       ///< the free-flying camera is active
extern bool showHelp;             ///< the help panel is shown
extern bool showFrameTime;        ///< the frame-time labels are shown
extern bool wireframe;            ///< scene passes draw lines
extern bool motionBlur;           ///< the scene goes through the blur composite
extern bool frustumCulling;       ///< small objects outside the view are skipped
extern bool alphaBlending;        ///< GL blending is enabled
extern bool soundOn;              ///< sound is heard; M mutes and unmutes it
extern bool ghostVisible;         ///< the ghost rider is drawn; G hides and shows it

// --- the ghost rider's runs (for the whole session) ---------------------------
extern GhostSession ghostSession;  ///< the guide and the player's best run

}  // namespace frostline
