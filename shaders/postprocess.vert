#version 330 core
// The full-screen quad of the blur composite. It sits at depth 0, in front of
// the far plane: the depth buffer was just cleared and depth testing is on.

layout(location = 0) in vec2 vPosition;

out vec2 screenCoord;

void main()
{
    screenCoord = vPosition * 0.5 + 0.5;
    gl_Position = vec4(vPosition, 0.0, 1.0);
}
