#version 330 core
// The land around the course, which the sled never reaches: banks, forest and
// mountains. It takes the lit shader's winter light (winterlight.glsl: the sun and
// the clear sky's fill, white-balanced on snow in the sun) but no shadows, and fades into the
// haze of the air with distance. Much of it covers what would otherwise be sky:
// on a processor-drawn screen every pixel counts, so the per-pixel work is one
// texture read, the diffuse term, the tone curve and the motion.

#include "winterlight.glsl"

layout(location = 0) in vec3 vPosition;
layout(location = 1) in vec3 vNormal;
layout(location = 2) in vec2 vTexCoord;

uniform mat4 modelViewProjectionMatrix;
uniform mat4 prevMVPMatrix;
uniform mat3 normalMatrix;    // model to world, for normals
uniform vec3 lightDirection;  // unit vector toward the sun
uniform vec3 lightIntensity;
uniform vec3 ambient;         // the clear sky's fill

out vec2 texCoord;
out vec3 worldNormal;
out float haze;    // how much of the air's colour lies between the eye and here
out vec4 currentClip;
out vec4 previousClip;
// The sun's light per unit of diffuse and the sky's fill on a face turned up,
// white-balanced and exposed (uniforms only: the same for every vertex).
flat out vec3 sunLight;
flat out vec3 skyLight;

// The haze: none up to hazeStart units from the eye, the most at the far plane.
const float hazeStart = 120.0;
const float hazeEnd = 1000.0;
const float hazeMost = 0.55;

void main()
{
    vec4 position = vec4(vPosition, 1.0);
    gl_Position = modelViewProjectionMatrix * position;
    currentClip = gl_Position;
    previousClip = prevMVPMatrix * position;
    texCoord = vTexCoord;

    winterLight(lightDirection, lightIntensity, ambient, sunLight, skyLight);
    worldNormal = normalMatrix * vNormal;

    // The eye's distance along the view: w of a perspective projection.
    float t = clamp((gl_Position.w - hazeStart) / (hazeEnd - hazeStart), 0.0, 1.0);
    haze = hazeMost * t * (2.0 - t);
}
