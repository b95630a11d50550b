#version 330 core
// Snow thrown from a runner. Every particle leaves the spray's origin with its
// launch velocity at its start time, flies for its own lifetime under gravity,
// fades out and starts again; "factor" (the spray strength, 0 to about 0.5 at
// top speed) sets how many particles show and how large they are.

#include "velocity.glsl"

layout(location = 0) in vec3 velocity;    // launch velocity (world units / s)
layout(location = 1) in float startTime;  // seconds

uniform float systemTime;  // seconds since the timer started
uniform float factor;
uniform mat4 modelViewProjectionMatrix;
uniform mat4 prevMVPMatrix;
uniform float pointScale;  // the scene's pixels per window pixel (the render scale)

// A flake is one point: its fade and its motion are the same over all its pixels.
// Flat, they are worked out once a particle rather than interpolated for every
// pixel (on a processor-drawn screen each interpolated value costs set-up work).
flat out float fade;
flat out vec2 motion;  // screen-space motion since the last frame, as the velocity image stores it
// The particle's fixed number, read back once by the program: knowing which particles
// a strength hides, it hands only the others to the draw.
out float showHash;

const float launchScale = 0.3;           // the stored velocities are a hard throw
const vec3 gravity = vec3(0.0, -9.81, 0.0);
const float shortestLife = 0.3;          // seconds
const float longestLife = 1.6;           // seconds
const float flakeSize = 0.07;            // world units at factor 0
const float pixelsPerUnit = 550.0;       // about 1 / tan(35 degrees) * 384 pixels

// A fixed number in [0, 1) per particle.
float particleHash(float seed)
{
    return fract(sin(seed * 12.9898 + 78.233) * 43758.5453);
}

void main()
{
    float hash = particleHash(startTime);
    showHash = hash;
    // A weak spray shows only some of its particles.
    if (hash >= clamp(factor * 2.0, 0.0, 1.0)) {
        gl_Position = vec4(2.0, 2.0, 2.0, 1.0);  // outside the view: clipped
        gl_PointSize = 1.0;
        fade = 0.0;
        motion = vec2(0.5);  // none
        return;
    }
    float lifetime = mix(shortestLife, longestLife, fract(hash * 7.31));
    float age = mod(systemTime - startTime, lifetime);
    vec4 position = vec4(velocity * launchScale * age + 0.5 * gravity * age * age, 1.0);

    gl_Position = modelViewProjectionMatrix * position;
    motion = storedMotion(screenMotion(gl_Position, prevMVPMatrix * position));
    float size = flakeSize * (0.6 + 1.6 * factor);
    gl_PointSize = clamp(size * pixelsPerUnit * pointScale / max(gl_Position.w, 0.01), 1.0, 24.0 * pointScale);
    float left = 1.0 - age / lifetime;
    fade = left * left;
}
