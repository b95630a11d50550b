#version 330 core
// Motion blur: averages the scene image along each pixel's motion, scaled by
// "blurScale" (0.8 at the reference frame rate).

in vec2 screenCoord;

uniform sampler2D blurTexture;      // unit 1: the lit scene
uniform sampler2D velocityTexture;  // unit 2: motion since the last frame, texture units
uniform float blurScale;

out vec4 fragColor;

const int taps = 8;
// The longest streak, in texture units: a first frame (measured against the
// identity) or a jump of the camera must not smear the whole screen.
const float longestBlur = 0.06;

void main()
{
    // The velocity image matches the window pixel for pixel: fetch, do not filter.
    vec2 motion = texelFetch(velocityTexture, ivec2(gl_FragCoord.xy), 0).xy * blurScale;
    float reach = length(motion);
    // Below half a pixel the blur would not show: one tap is the same picture.
    if (reach * float(textureSize(blurTexture, 0).x) < 0.5) {
        fragColor = vec4(texture(blurTexture, screenCoord).rgb, 1.0);
        return;
    }
    if (reach > longestBlur) {
        motion *= longestBlur / reach;
    }
    vec3 sum = vec3(0.0);
    for (int i = 0; i < taps; ++i) {
        float t = float(i) / float(taps - 1) - 0.5;
        sum += texture(blurTexture, screenCoord - motion * t).rgb;
    }
    fragColor = vec4(sum / float(taps), 1.0);
}
