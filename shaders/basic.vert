#version 330 core
// Lit, shadowed, textured objects. Passes on the world normal, the texture
// coordinate, the position in the sun's depth map, and this and the previous
// frame's clip positions for the velocity image.

layout(location = 0) in vec3 vPosition;
layout(location = 1) in vec3 vNormal;
layout(location = 2) in vec2 vTexCoord;

uniform mat4 modelViewProjectionMatrix;
uniform mat4 prevMVPMatrix;
uniform mat3 normalMatrix;  // model to world, for normals
uniform mat4 DepthBiasMVP;  // model to depth-map texture space [0, 1]

out vec3 worldNormal;
out vec2 texCoord;
out vec3 shadowCoord;  // the sun's view is orthographic: w is 1
out vec4 currentClip;
out vec4 previousClip;

void main()
{
    vec4 position = vec4(vPosition, 1.0);
    gl_Position = modelViewProjectionMatrix * position;
    currentClip = gl_Position;
    previousClip = prevMVPMatrix * position;
    worldNormal = normalMatrix * vNormal;
    texCoord = vTexCoord;
    shadowCoord = (DepthBiasMVP * position).xyz;
}
