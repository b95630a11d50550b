// The chase camera behind the sled, as a spring arm: it wants the sled's own
// place for it (behind and above, looking along the heading at a fixed pitch);
// an arm reaches there from the rider's head, and where something is in the way
// the arm is pulled in to just before it, then eased back out once the way is
// clear. Where the snow ahead would fill the view, the wanted place is lifted
// (never so far that the sled leaves the view). The settings and a pure step
// live here; the sled measures what the step needs (ControllerShape).
#pragma once

#include "scene/Math.h"

namespace frostline::scene {

/// How the chase camera follows the sled.
struct ChaseCameraSettings {
    float distance = 8.0f;     ///< the wanted place behind the sled along its heading (world units)
    float height = 7.0f;       ///< the wanted place above the sled's centre (world units)
    float pitch = -30.0f;      ///< tilt of the view (degrees, negative down)
    float pivotHeight = 1.0f;  ///< the arm's root above the sled's centre: the rider's head (world units)
    /// Room kept between the eye and every surface (world units): the near plane's
    /// corners (0.01 ahead, 0.012 aside) stay far from the snow and never cut into it.
    float margin = 0.3f;
    float easeOutTime = 0.35f;  ///< time constant of the arm lengthening once clear (s)
    float easeOutSpeed = 1.0f;  ///< ... plus this steady part, so that it gets there (world units / s)
    /// The middle of the view must reach this far before it meets the snow or anything
    /// else (world units), or the camera is lifted.
    float shortestView = 14.0f;
    float settleBeyond = 1.6f;  ///< the lift comes down once the view reaches this many times shortestView
    float liftRate = 6.0f;      ///< how fast the lift grows while the view is too short (world units / s)
    float settleRate = 2.0f;    ///< how fast it goes back down (world units / s)
    /// The sled is kept at most this far below the middle of the view (degrees; the
    /// view reaches 35 down), which bounds the lift, the more the shorter the arm.
    float sledBelowMiddle = 26.0f;
};

/// What the chase camera carries from frame to frame.
struct ChaseCameraState {
    float arm = -1.0f;  ///< the arm's length now (world units); below 0 before the first placement
    float lift = 0.0f;  ///< how far the wanted place is raised (world units)
};

/// What the sled measured this frame for the step, along the arm of the state's lift.
struct ChaseCameraProbe {
    /// How far the eye can go out along the arm before its margin meets a surface (world units).
    float clearArm = 0.0f;
    /// How far out the eye must be at least: 0, or, while the rider's head is inside a
    /// tree's branches or a gate, far enough to be out of it (world units).
    float innerArm = 0.0f;
    /// How far the middle of the view reaches from the eye before it meets one (world units).
    float viewReach = 0.0f;
};

/// The arm for a sled whose centre is at rider, heading along heading (unit, level).
struct ChaseCameraArm {
    vec3 pivot{0.0f};   ///< where the arm starts: the rider's head (world units)
    vec3 wanted{0.0f};  ///< the sled's own place for the camera, lifted (world units)

    /// The eye at length along the arm from the pivot toward the wanted place (world units).
    vec3 eyeAt(float length) const;
};

/// The arm of settings for lift (world units).
ChaseCameraArm chaseCameraArm(const ChaseCameraSettings& settings, float lift, vec3 rider, vec3 heading);
/// The middle of the view: the heading tilted by the pitch (unit).
vec3 chaseCameraView(const ChaseCameraSettings& settings, vec3 heading);
/// The highest lift (world units) that keeps the sled's centre within sledBelowMiddle of
/// the view's middle, seen from the eye arm (world units) out along the lifted arm.
float highestChaseCameraLift(const ChaseCameraSettings& settings, float arm);

/// One frame of dt seconds: the arm comes in at once to what is clear and eases back
/// out; the lift grows while the view is short and settles once it reaches far. A dt
/// of 0 is a cut (a placement afresh): the arm goes straight to what is clear. The arm
/// of the result lies between probe.innerArm and probe.clearArm.
ChaseCameraState stepChaseCamera(const ChaseCameraSettings& settings, ChaseCameraState state,
                                 const ChaseCameraProbe& probe, float dt);

}  // namespace frostline::scene
