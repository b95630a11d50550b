#version 330 core
// The arrow in one flat colour.

uniform vec4 color;

out vec4 fragColor;

void main()
{
    fragColor = color;
}
