#version 330 core
// Lit, shadowed, textured objects. Passes on the world normal, the texture
// coordinate, the position in the sun's depth map, and this and the previous
// frame's clip positions for the velocity image.

#include "winterlight.glsl"

layout(location = 0) in vec3 vPosition;
layout(location = 1) in vec3 vNormal;
layout(location = 2) in vec2 vTexCoord;

uniform mat4 modelViewProjectionMatrix;
uniform mat4 prevMVPMatrix;
uniform mat3 normalMatrix;  // model to world, for normals
uniform mat4 DepthBiasMVP;  // model to depth-map texture space [0, 1]
uniform vec3 lightDirection;  // unit vector toward the sun
uniform vec3 lightIntensity;
uniform vec3 ambient;         // the clear sky's fill

out vec3 worldNormal;
out vec2 texCoord;
out vec3 shadowCoord;  // the sun's view is orthographic: w is 1
out vec4 currentClip;
out vec4 previousClip;
// The winter light (winterlight.glsl), white-balanced and exposed: the sun's light per
// unit of diffuse, and the sky's fill on a face turned up. Uniforms only, so the same
// for every vertex; worked out here, once a vertex instead of once a pixel.
flat out vec3 sunLight;
flat out vec3 skyLight;

void main()
{
    vec4 position = vec4(vPosition, 1.0);
    gl_Position = modelViewProjectionMatrix * position;
    currentClip = gl_Position;
    previousClip = prevMVPMatrix * position;
    worldNormal = normalMatrix * vNormal;
    texCoord = vTexCoord;
    shadowCoord = (DepthBiasMVP * position).xyz;

    winterLight(lightDirection, lightIntensity, ambient, sunLight, skyLight);
}
