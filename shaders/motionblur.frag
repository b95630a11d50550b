#version 330 core
// Screen-space motion since the last frame, in texture units.

in vec4 currentClip;
in vec4 previousClip;

out vec4 velocity;

void main()
{
    vec2 current = currentClip.xy / currentClip.w;
    vec2 previous = previousClip.w > 1e-4 ? previousClip.xy / previousClip.w : current;
    velocity = vec4((current - previous) * 0.5, 0.0, 1.0);
}
