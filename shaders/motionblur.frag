#version 330 core
// Screen-space motion since the last frame, as the velocity image stores it (velocity.glsl).

#include "velocity.glsl"

in vec4 currentClip;
in vec4 previousClip;

out vec4 velocity;

void main()
{
    velocity = vec4(storedMotion(screenMotion(currentClip, previousClip)), 0.0, 1.0);
}
