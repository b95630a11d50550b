#version 330 core
// A soft, round, white flake.

flat in float fade;
flat in vec2 motion;

out vec4 fragColor;
out vec4 velocity;  // alpha carries the coverage, so blending mixes the stored motion too

void main()
{
    vec2 fromCentre = gl_PointCoord * 2.0 - 1.0;
    float r2 = dot(fromCentre, fromCentre);
    if (r2 > 1.0) {
        discard;
    }
    float alpha = fade * (1.0 - r2);
    fragColor = vec4(1.0, 1.0, 1.0, alpha);

    velocity = vec4(motion, 0.0, alpha);
}
