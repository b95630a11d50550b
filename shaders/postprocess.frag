#version 330 core
// Motion blur: averages the scene image along each pixel's motion, scaled by
// "blurScale" (0.8 at the reference frame rate).

#include "velocity.glsl"

in vec2 screenCoord;
flat in ivec2 imageSize;  // texels across and up the scene image

uniform sampler2D blurTexture;      // unit 1: the lit scene
uniform sampler2D velocityTexture;  // unit 2: motion since the last frame, stored (velocity.glsl)
uniform float blurScale;

out vec4 fragColor;

// Four taps, each standing for a quarter of the streak. Where a tap falls within
// its quarter changes from pixel to pixel (a fixed interleaved-gradient pattern),
// so neighbouring pixels read between each other's taps: a fast edge smears into
// one even streak instead of showing as separate copies, which evenly spaced taps
// do once they lie more than a pixel or two apart.
//
// Each tap reads the one texel it falls in. The jitter already spreads the taps
// over every position along the streak, so filtering each between four texels
// softens the picture only slightly more, at twice the cost of the whole
// composite on a processor-drawn screen.
const int taps = 4;
// The longest streak, in texture units: a first frame (measured against the
// identity) or a jump of the camera must not smear the whole screen.
const float longestBlur = 0.06;

void main()
{
    // The velocity image matches the window pixel for pixel.
    vec2 motion = motionFromStore(texelFetch(velocityTexture, ivec2(gl_FragCoord.xy), 0).xy) * blurScale;
    float reach = length(motion);
    // Below half a pixel the blur would not show: every tap reads the pixel itself.
    // So does a motion that is not a number or endless (a blur strength gone wrong),
    // which no streak can follow. (One path for all pixels: llvmpipe runs both sides
    // of a branch anyway.)
    if (!(reach * float(imageSize.x) >= 0.5) || isinf(reach)) {
        motion = vec2(0.0);
    } else if (reach > longestBlur) {
        motion *= longestBlur / reach;
    }
    float offset = fract(52.9829189 * fract(dot(gl_FragCoord.xy, vec2(0.06711056, 0.00583715))));
    vec3 sum = vec3(0.0);
    for (int i = 0; i < taps; ++i) {
        float t = (float(i) + offset) / float(taps) - 0.5;
        vec2 c = screenCoord - motion * t;
        // Taps past the screen's edges read the image mirrored back: |c| below 0,
        // 2 - c beyond 1; a tap on the far edge itself reads the last texel.
        c = abs(c);
        c = min(c, 2.0 - c);
        ivec2 texel = min(ivec2(c * vec2(imageSize)), imageSize - 1);
        sum += texelFetch(blurTexture, texel, 0).rgb;
    }
    fragColor = vec4(sum / float(taps), 1.0);
}
