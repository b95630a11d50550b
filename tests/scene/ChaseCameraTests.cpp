// The chase camera's spring arm, fed measured sequences at a fixed frame time
// without a window: what is in the way pulls the eye in at once, a clear way lets
// it ease back out, and a view filled with snow lifts it as far as the sled allows.
#include "scene/ChaseCamera.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace frostline;
using frostline::scene::ChaseCameraProbe;
using frostline::scene::ChaseCameraSettings;
using frostline::scene::ChaseCameraState;

namespace {

constexpr float frameTime = 1.0f / 60.0f;

}  // namespace

TEST(ChaseCamera, WhatIsInTheWayPullsTheEyeInAtOnceAndItEasesBackOut)
{
    // Riding past a tree: for half a second its branches stand 3 units out along the arm,
    // then the way is clear again. The eye is never beyond the branches, and a second and
    // a half later it is back at the sled's own place for it, without overshooting.
    const ChaseCameraSettings settings;
    const vec3 rider(10.0f, 50.0f, -20.0f), heading(1.0f, 0.0f, 0.0f);
    const scene::ChaseCameraArm arm = scene::chaseCameraArm(settings, 0.0f, rider, heading);
    const float full = glm::length(arm.wanted - arm.pivot);
    // With nothing in the way the eye is where the sled has always put it: 8 behind, 7 above.
    EXPECT_LT(glm::distance(arm.eyeAt(full), rider - heading * 8.0f + vec3(0.0f, 7.0f, 0.0f)), 1e-5f);

    ChaseCameraState state;
    state = scene::stepChaseCamera(settings, state, {full, 0.0f, 100.0f}, frameTime);
    EXPECT_FLOAT_EQ(state.arm, full);
    for (float t = 0.0f; t < 0.5f; t += frameTime) {
        state = scene::stepChaseCamera(settings, state, {3.0f, 0.0f, 100.0f}, frameTime);
        ASSERT_LE(state.arm, 3.0f) << t << " s behind the branches";
    }
    float previous = state.arm;
    float time = 0.0f;
    for (; state.arm < full && time < 5.0f; time += frameTime) {
        state = scene::stepChaseCamera(settings, state, {full, 0.0f, 100.0f}, frameTime);
        ASSERT_GE(state.arm, previous);
        ASSERT_LE(state.arm, full);
        previous = state.arm;
    }
    EXPECT_LE(time, 1.5f) << "back out";

    // The rider's head inside a gate it passes through: the eye keeps out beyond it.
    state = scene::stepChaseCamera(settings, state, {full, 4.0f, 100.0f}, 0.0f);
    EXPECT_GE(state.arm, 4.0f);
}

TEST(ChaseCamera, ASlopeFillingTheViewLiftsTheEyeNoFurtherThanKeepsTheSledInView)
{
    // Climbing a slope, the middle of the view meets the snow 5 units out for three
    // seconds: the eye rises, but never so far that the sled sinks more than 26 degrees
    // below the middle of the view, on the whole arm or on an arm pulled in to 4 units;
    // once the view reaches far again it comes back down.
    const ChaseCameraSettings settings;
    const vec3 rider(0.0f), heading(0.0f, 0.0f, -1.0f);
    const auto sledBelowMiddle = [&](const ChaseCameraState& state) {
        const vec3 toSled =
            rider - scene::chaseCameraArm(settings, state.lift, rider, heading).eyeAt(state.arm);
        return std::atan2(-toSled.y, glm::length(vec2(toSled.x, toSled.z))) / degreesToRadians +
               settings.pitch;
    };
    for (const float clear : {100.0f, 4.0f}) {
        ChaseCameraState state;
        float lift = 0.0f;
        for (float t = 0.0f; t < 3.0f; t += frameTime) {
            state = scene::stepChaseCamera(settings, state, {clear, 0.0f, 5.0f}, frameTime);
            ASSERT_GE(state.lift, lift);
            lift = state.lift;
        }
        SCOPED_TRACE("arm clear to " + std::to_string(clear));
        EXPECT_GT(state.lift, clear > 10.0f ? 2.0f : 0.5f);
        EXPECT_LE(sledBelowMiddle(state), settings.sledBelowMiddle + 0.01f);
        EXPECT_GE(sledBelowMiddle(state), settings.sledBelowMiddle - 0.5f) << "lifted as far as it may go";

        // A view just long enough holds the lift; a long one lets it settle to nothing.
        state =
            scene::stepChaseCamera(settings, state, {clear, 0.0f, settings.shortestView * 1.2f}, frameTime);
        EXPECT_FLOAT_EQ(state.lift, lift);
        for (float t = 0.0f; t < 5.0f; t += frameTime) {
            state = scene::stepChaseCamera(settings, state, {clear, 0.0f, 100.0f}, frameTime);
        }
        EXPECT_FLOAT_EQ(state.lift, 0.0f);
    }
}
