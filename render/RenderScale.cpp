#include "render/RenderScale.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace frostline {

float quantiseRenderScale(const RenderScaleSettings& settings, float scale)
{
    const float stepped = settings.step > 0.0f ? std::round(scale / settings.step) * settings.step : scale;
    return std::clamp(stepped, settings.lowest, settings.highest);
}

int scaledSide(int windowSide, float scale)
{
    return std::max(1, static_cast<int>(std::lround(static_cast<double>(windowSide) * scale)));
}

RenderScaleState stepRenderScale(const RenderScaleSettings& settings, RenderScaleState state, float frameMs,
                                 float seconds)
{
    // A frame that measured nothing (a timer that went backwards, no result) teaches nothing.
    if (!(frameMs > 0.0f) || !std::isfinite(frameMs)) {
        return state;
    }
    const float elapsed = std::isfinite(seconds) ? std::max(seconds, 0.0f) : 0.0f;
    state.sinceChange += elapsed;

    // The last few frames, newest last, and the slow average of this scale's frames.
    std::rotate(state.recentMs.begin(), state.recentMs.begin() + 1, state.recentMs.end());
    state.recentMs.back() = frameMs;
    state.recentCount = std::min(state.recentCount + 1, renderScaleDropFrames);
    if (state.slowMs <= 0.0f) {
        state.slowMs = frameMs;
    } else {
        const float blend =
            settings.riseSeconds > 0.0f ? 1.0f - std::exp(-elapsed / settings.riseSeconds) : 1.0f;
        state.slowMs += (frameMs - state.slowMs) * blend;
    }

    if (state.sinceChange < settings.holdSeconds) {
        return state;
    }
    const float scale = state.scale;
    const float aim = settings.budgetMs * (1.0f - settings.headroom);
    const auto changeTo = [&](float next, float slowMs) {
        state.scale = next;
        state.slowMs = slowMs;
        state.sinceChange = 0.0f;
        state.recentCount = 0;
        return state;
    };

    // Drop: every recent frame ran beyond the budget. As far down as pixels proportional
    // to the cost would bring the frame to the aim, and at least a step. The slow average
    // keeps the slow frames, so a rise waits until the lower scale has shown its room.
    if (state.recentCount == renderScaleDropFrames) {
        const float fastest = *std::min_element(state.recentMs.begin(), state.recentMs.end());
        if (fastest > settings.budgetMs * (1.0f + settings.changeThreshold) && scale > settings.lowest) {
            const float mean = std::accumulate(state.recentMs.begin(), state.recentMs.end(), 0.0f) /
                               static_cast<float>(renderScaleDropFrames);
            const float wanted = scale * std::sqrt(aim / mean);
            const float next = std::min(quantiseRenderScale(settings, wanted),
                                        quantiseRenderScale(settings, scale - settings.step));
            if (next < scale) {
                return changeTo(next, mean);
            }
        }
    }

    // Rise: one step, when the slow average, grown by the step's extra pixels, still
    // fits the aim. Part of a frame's cost does not grow with the pixels, so the
    // estimate errs high and a rise never overshoots into a drop.
    const float next = quantiseRenderScale(settings, scale + settings.step);
    if (next > scale) {
        const float grown = state.slowMs * (next / scale) * (next / scale);
        if (grown <= aim * (1.0f - settings.changeThreshold)) {
            return changeTo(next, grown);
        }
    }
    return state;
}

}  // namespace frostline
