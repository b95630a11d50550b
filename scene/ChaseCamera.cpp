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
    return {rider + up * settings.pivotHeight, rider - heading * settings.distance + up * (settings.height + lift)};
}

vec3 chaseCameraView(const ChaseCameraSettings& settings, vec3 heading)
{
    const float tilt = settings.pitch * degreesToRadians;
    return heading * std::cos(tilt) + vec3(0.0f, std::sin(tilt), 0.0f);
}

float highestChaseCameraLift(const ChaseCameraSettings& settings)
{
    const float steepest = (settings.sledBelowMiddle - settings.pitch) * degreesToRadians;
    return std::max(settings.distance * std::tan(steepest) - settings.height, 0.0f);
}

ChaseCameraState stepChaseCamera(const ChaseCameraSettings& settings, ChaseCameraState state,
                                 const ChaseCameraProbe& probe, float dt)
{
    // The lift: up while the snow fills the view, slowly down once it reaches far again.
    if (probe.viewReach < settings.shortestView) {
        state.lift += settings.liftRate * dt;
    } else if (probe.viewReach > settings.shortestView * settings.settleBeyond) {
        state.lift -= settings.settleRate * dt;
    }
    state.lift = std::clamp(state.lift, 0.0f, highestChaseCameraLift(settings));

    // The arm: in at once, out smoothly.
    if (dt <= 0.0f || state.arm < 0.0f || probe.clearArm <= state.arm) {
        state.arm = probe.clearArm;
    } else {
        const float eased = (probe.clearArm - state.arm) * (1.0f - std::exp(-dt / settings.easeOutTime));
        state.arm = std::min(probe.clearArm, state.arm + eased + settings.easeOutSpeed * dt);
    }
    state.arm = std::max(state.arm, probe.innerArm);
    return state;
}

}  // namespace frostline::scene
