#version 330 core
// One character of a text label: the unit quad scaled to the glyph's half-extents
// and moved to its place, all in normalised device coordinates.

in vec2 vPosition;    // corner of the unit quad, -1..1
in vec2 vTexCoords;   // the corner's place in the font image

uniform vec2 position;  // centre of the character (NDC)
uniform vec2 scale;     // half width and half height of the character (NDC)

out vec2 texCoords;

void main()
{
    gl_Position = vec4(vPosition * scale + position, 0.0, 1.0);
    texCoords = vTexCoords;
}
