#version 330 core
// A soft, round, white flake.

in float fade;
in vec4 currentClip;
in vec4 previousClip;

out vec4 fragColor;
out vec4 velocity;  // alpha carries the coverage, so blending mixes the motion too

void main()
{
    vec2 fromCentre = gl_PointCoord * 2.0 - 1.0;
    float r2 = dot(fromCentre, fromCentre);
    if (r2 > 1.0) {
        discard;
    }
    float alpha = fade * (1.0 - r2);
    fragColor = vec4(1.0, 1.0, 1.0, alpha);

    vec2 current = currentClip.xy / currentClip.w;
    vec2 previous = previousClip.w > 1e-4 ? previousClip.xy / previousClip.w : current;
    velocity = vec4((current - previous) * 0.5, 0.0, alpha);
}
