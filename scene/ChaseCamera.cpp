#include "scene/ChaseCamera.h"

#include <algorithm>
#include <cmath>

namespace frostline::scene {

vec3 ChaseCameraArm::eyeAt(float length) const
{
    const vec3 along = wanted - pivot;
    const float full = glm::length(along);
    return full > 0.0f ? pivot + along * (std::clamp(length, 0.0f, full) / full) : pivot;
}

ChaseCameraArm chaseCameraArm(const ChaseCameraSettings& settings, float lift, vec3 rider, vec3 heading)
{
    const vec3 up(0.0f, 1.0f, 0.0f);
    return {rider + up * settings.pivotHeight,
            rider - heading * settings.distance + up * (settings.height + lift)};
}

vec3 chaseCameraView(const ChaseCameraSettings& settings, vec3 heading)
{
    const float tilt = settings.pitch * degreesToRadians;
    return heading * std::cos(tilt) + vec3(0.0f, std::sin(tilt), 0.0f);
}

float highestChaseCameraLift(const ChaseCameraSettings& settings, float arm)
{
    // How far below the level the sled's centre lies seen from the eye (radians).
    const auto sledBelow = [&](float lift) {
        const ChaseCameraArm lifted = chaseCameraArm(settings, lift, vec3(0.0f), vec3(0.0f, 0.0f, -1.0f));
        const vec3 toSled = -lifted.eyeAt(arm);
        return std::atan2(-toSled.y, glm::length(vec2(toSled.x, toSled.z)));
    };
    const float steepest = (settings.sledBelowMiddle - settings.pitch) * degreesToRadians;
    // The whole arm's bound, then halved toward what the arm allows (the steeper, the higher).
    float high = std::max(settings.distance * std::tan(steepest) - settings.height, 0.0f);
    if (sledBelow(high) <= steepest) {
        return high;
    }
    float low = 0.0f;
    if (sledBelow(low) > steepest) {
        return 0.0f;
    }
    for (int step = 0; step < 12; ++step) {
        const float middle = 0.5f * (low + high);
        (sledBelow(middle) <= steepest ? low : high) = middle;
    }
    return low;
}

ChaseCameraState stepChaseCamera(const ChaseCameraSettings& settings, ChaseCameraState state,
                                 const ChaseCameraProbe& probe, float dt)
{
    // The arm: in at once, out smoothly.
    if (dt <= 0.0f || state.arm < 0.0f || probe.clearArm <= state.arm) {
        state.arm = probe.clearArm;
    } else {
        const float eased = (probe.clearArm - state.arm) * (1.0f - std::exp(-dt / settings.easeOutTime));
        state.arm = std::min(probe.clearArm, state.arm + eased + settings.easeOutSpeed * dt);
    }
    state.arm = std::max(state.arm, probe.innerArm);

    // The lift: up while the snow fills the view, slowly down once it reaches far again;
    // never so high that the sled, seen from this arm, leaves the view.
    if (probe.viewReach < settings.shortestView) {
        state.lift += settings.liftRate * dt;
    } else if (probe.viewReach > settings.shortestView * settings.settleBeyond) {
        state.lift -= settings.settleRate * dt;
    }
    state.lift = std::clamp(state.lift, 0.0f, highestChaseCameraLift(settings, state.arm));
    return state;
}

}  // namespace frostline::scene
