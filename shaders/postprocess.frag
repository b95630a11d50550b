#version 330 core
// Motion blur: averages the scene image along each pixel's motion, scaled by
// "blurScale" (0.8 at the reference frame rate).

in vec2 screenCoord;
flat in float imageWidth;  // texels across the scene image

uniform sampler2D blurTexture;      // unit 1: the lit scene (clamped at its edges)
uniform sampler2D velocityTexture;  // unit 2: motion since the last frame, texture units
uniform float blurScale;
// The composite mirrors taps past the screen's edges itself (the image clamps); off
// when the image is read through a mirroring sampler instead (the plain way).
uniform bool mirrorTaps;

out vec4 fragColor;

// Four filtered taps, each standing for a quarter of the streak. Where a tap falls
// within its quarter changes from pixel to pixel (a fixed interleaved-gradient
// pattern), so neighbouring pixels read between each other's taps: a fast edge
// smears into one even streak instead of showing as separate copies, which evenly
// spaced taps do once they lie more than a pixel or two apart.
const int taps = 4;
// The longest streak, in texture units: a first frame (measured against the
// identity) or a jump of the camera must not smear the whole screen.
const float longestBlur = 0.06;

void main()
{
    // The velocity image matches the window pixel for pixel: fetch, do not filter.
    vec2 motion = texelFetch(velocityTexture, ivec2(gl_FragCoord.xy), 0).xy * blurScale;
    float reach = length(motion);
    // Below half a pixel the blur would not show: every tap reads the pixel itself.
    // (One path for all pixels: llvmpipe runs both sides of a branch anyway.)
    if (reach * imageWidth < 0.5) {
        motion = vec2(0.0);
    } else if (reach > longestBlur) {
        motion *= longestBlur / reach;
    }
    float offset = fract(52.9829189 * fract(dot(gl_FragCoord.xy, vec2(0.06711056, 0.00583715))));
    vec3 sum = vec3(0.0);
    for (int i = 0; i < taps; ++i) {
        float t = (float(i) + offset) / float(taps) - 0.5;
        vec2 c = screenCoord - motion * t;
        if (mirrorTaps) {
            // Back into the image, exactly: |c| below 0, 2 - c beyond 1.
            c = abs(c);
            c = min(c, 2.0 - c);
        }
        sum += texture(blurTexture, c).rgb;
    }
    fragColor = vec4(sum / float(taps), 1.0);
}
