// The render scale: the fraction of the window's width and height at which the 3D
// passes draw, and the governor that adapts it to the frame time in the way of the
// dynamic-resolution heuristics of large engines. The governor is a settings record
// and a pure step from (state, measured frame) to the next state: no GL, no clock.
#pragma once

#include <array>

namespace frostline {

/// How the governor follows the frame time. Costs are taken to grow with the pixels
/// drawn, that is with the square of the scale.
struct RenderScaleSettings {
    float budgetMs = 1000.0f / 60.0f;  ///< the display's frame period (ms): 60 Hz
    float headroom = 0.1f;             ///< share of the budget kept free: the aim is budget * (1 - headroom)
    float lowest = 0.5f;               ///< smallest scale (fraction of the window's side)
    float highest = 1.0f;              ///< largest scale
    float changeThreshold = 0.05f;     ///< share beyond the budget (or below the aim) before the scale moves
    float riseSeconds = 1.0f;          ///< time constant of the average a rise is judged on (s)
    float step = 0.05f;                ///< scales are whole multiples of this
    float holdSeconds = 0.5f;          ///< the least time between two changes (s)
};

/// Frames averaged before a drop: a drop comes within a few frames of a slow load.
inline constexpr int renderScaleDropFrames = 3;

/// Where the governor stands.
struct RenderScaleState {
    float scale = 1.0f;                ///< the scale the next frame draws at
    float slowMs = 0.0f;               ///< slow average of the frame time at this scale (ms); 0: none yet
    float sinceChange = 0.0f;          ///< seconds since the scale last changed
    std::array<float, renderScaleDropFrames> recentMs{};  ///< the last frames at this scale (ms)
    int recentCount = 0;               ///< how many of recentMs are filled
};

/// The state after a frame of frameMs (ms) that lasted seconds (s): drops at once, by
/// as much as the frame's excess asks, when the last few frames all ran beyond the
/// budget; rises one step at a time, when the slow average leaves room for the next
/// step within the aim; never more often than every holdSeconds, always within
/// [lowest, highest] on the settings' steps.
RenderScaleState stepRenderScale(const RenderScaleSettings& settings, RenderScaleState state, float frameMs,
                                 float seconds);

/// The scale rounded to the settings' steps and kept within [lowest, highest].
float quantiseRenderScale(const RenderScaleSettings& settings, float scale);

/// The render scale the game draws at: a fixed one from the options, or the governor's.
struct RenderScaleControl {
    bool adaptive = true;          ///< the governor moves the scale
    RenderScaleSettings settings;  ///< how it moves
    RenderScaleState state;        ///< where it stands; state.scale is the scale in use
};

/// Pixels of a side of length windowSide (pixels) at scale: at least 1.
int scaledSide(int windowSide, float scale);

}  // namespace frostline
