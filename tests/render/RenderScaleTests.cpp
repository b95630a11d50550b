#include "render/RenderScale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace frostline;

namespace {

/// A renderer whose frame costs fixedMs plus pixelMs at full size, times the pixels
/// drawn (the square of the scale), with a spread of +-noise of the cost.
struct ModelRenderer {
    float fixedMs;
    float pixelMs;
    float noise = 0.0f;
    std::mt19937 random{7};

    float frame(float scale)
    {
        const float cost = fixedMs + pixelMs * scale * scale;
        std::uniform_real_distribution<float> spread(1.0f - noise, 1.0f + noise);
        return cost * spread(random);
    }
};

/// Runs the governor for seconds of frames of the renderer; returns the changes of scale.
int ride(RenderScaleState& state, const RenderScaleSettings& settings, ModelRenderer& renderer, float seconds)
{
    int changes = 0;
    for (float t = 0.0f; t < seconds;) {
        const float ms = renderer.frame(state.scale);
        const float before = state.scale;
        state = stepRenderScale(settings, state, ms, ms / 1000.0f);
        changes += state.scale != before;
        t += ms / 1000.0f;
    }
    return changes;
}

}  // namespace

TEST(RenderScale, ASlowLoadDropsTheScaleWithinAFewFramesThenItHolds)
{
    // A machine that needs 40 ms a frame at full size: within three frames the scale
    // drops, then it settles where the frame fits the display's 16.7 ms, and on that
    // steady (noisy) load it never changes again.
    const RenderScaleSettings settings;
    RenderScaleState state;
    state.sinceChange = 10.0f;
    ModelRenderer slow{4.0f, 36.0f, 0.08f};
    for (int frame = 0; frame < 3; ++frame) {
        state = stepRenderScale(settings, state, slow.frame(state.scale), 0.04f);
    }
    EXPECT_LT(state.scale, 1.0f);

    ride(state, settings, slow, 10.0f);
    const float settled = state.scale;
    EXPECT_LE(slow.fixedMs + slow.pixelMs * settled * settled, settings.budgetMs * 1.05f);
    EXPECT_GE(settled, 0.55f) << "the frame fits at 0.6 already: at most one step below";
    EXPECT_EQ(ride(state, settings, slow, 30.0f), 0) << "a steady load holds the scale";
    EXPECT_FLOAT_EQ(state.scale, settled);
}

TEST(RenderScale, RecoveryIsSlowStepwiseAndWithinTheBounds)
{
    // Something else on the machine slows every frame down to 200 ms: the scale goes
    // to its lowest and no further. When the load goes, it climbs back one step at a
    // time, at least half a second apart, and a fast machine sits at full size.
    const RenderScaleSettings settings;
    RenderScaleState state;
    ModelRenderer loaded{150.0f, 50.0f};
    ride(state, settings, loaded, 5.0f);
    EXPECT_FLOAT_EQ(state.scale, settings.lowest);

    ModelRenderer fast{1.0f, 3.0f};
    float lastChange = 0.0f;
    float t = 0.0f;
    float previous = state.scale;
    while (t < 20.0f) {
        const float ms = fast.frame(state.scale);
        state = stepRenderScale(settings, state, ms, ms / 1000.0f);
        t += ms / 1000.0f;
        if (state.scale != previous) {
            EXPECT_NEAR(state.scale - previous, settings.step, 1e-4f) << "one step up at a time";
            EXPECT_GE(t - lastChange, settings.holdSeconds - 0.01f);
            lastChange = t;
            previous = state.scale;
        }
    }
    EXPECT_FLOAT_EQ(state.scale, settings.highest);
    EXPECT_GE(lastChange, 10 * settings.holdSeconds) << "ten steps from 0.5 to 1 take their time";

    // Nothing measured, or nonsense, changes nothing.
    const RenderScaleState before = state;
    state = stepRenderScale(settings, state, NAN, 0.016f);
    state = stepRenderScale(settings, state, -5.0f, 0.016f);
    EXPECT_FLOAT_EQ(state.scale, before.scale);
    EXPECT_FLOAT_EQ(quantiseRenderScale(settings, 0.12f), settings.lowest);
    EXPECT_FLOAT_EQ(quantiseRenderScale(settings, 0.731f), 0.75f);
    EXPECT_EQ(scaledSide(768, 0.7f), 538);
}
