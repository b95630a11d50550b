#version 330 core
// Depth of the shapes as the sun sees them. The position sits at location 0,
// where every shape's vertex array feeds "vPosition".

layout(location = 0) in vec3 vPosition;

uniform mat4 depthMVP;

void main()
{
    gl_Position = depthMVP * vec4(vPosition, 1.0);
}
