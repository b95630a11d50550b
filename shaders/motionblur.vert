#version 330 core
// Velocity only: the shapes feed "vPosition" (location 0) to this program too.

layout(location = 0) in vec3 vPosition;

uniform mat4 modelViewProjectionMatrix;
uniform mat4 prevMVPMatrix;

out vec4 currentClip;
out vec4 previousClip;

void main()
{
    vec4 position = vec4(vPosition, 1.0);
    gl_Position = modelViewProjectionMatrix * position;
    currentClip = gl_Position;
    previousClip = prevMVPMatrix * position;
}
