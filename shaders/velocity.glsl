// The velocity image: the motion of each pixel on the screen since the last frame,
// in texture units (fractions of the screen), for the blur composite. It holds two
// 16-bit fractions a pixel, motion * 2 + 0.5: a quarter of the screen either way a
// frame, far more than the blur's longest streak, in steps of a hundredth of a
// pixel. Its clear value, 0.5, is no motion.

// The motion since the last frame of a point at these clip positions; none for a
// point that was behind the eye last frame, which has no meaningful motion.
vec2 screenMotion(vec4 currentClip, vec4 previousClip)
{
    vec2 current = currentClip.xy / currentClip.w;
    vec2 previous = previousClip.w > 1e-4 ? previousClip.xy / previousClip.w : current;
    return (current - previous) * 0.5;
}

// The motion as the velocity image stores it; one that is not a number is stored as none.
vec2 storedMotion(vec2 motion)
{
    return any(isnan(motion)) ? vec2(0.5) : clamp(motion * 2.0 + 0.5, 0.0, 1.0);
}

// The motion a stored value stands for.
vec2 motionFromStore(vec2 stored)
{
    return (stored - 0.5) * 0.5;
}
