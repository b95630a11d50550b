#version 330 core
// A panel: the unit quad scaled to the panel's half-extents and centred on its
// point (NDC); the whole image is spread over the quad.

in vec2 vPosition;  // corner of the unit quad, -1..1

uniform vec2 translate;  // centre of the panel (NDC)
uniform vec2 scale;      // half width and half height of the panel (NDC)

out vec2 texCoords;

void main()
{
    gl_Position = vec4(vPosition * scale + translate, 0.0, 1.0);
    texCoords = vPosition * 0.5 + 0.5;
}
