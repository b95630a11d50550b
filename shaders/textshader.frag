#version 330 core
// The glyph's pixel from the font, tinted with the label's colour; the font's
// alpha decides how much of the character covers what lies behind it.

in vec2 texCoords;

uniform sampler2D colorTexture;  // the font image
uniform vec4 color;              // the label's colour, alpha 1

out vec4 fragColor;

void main()
{
    fragColor = texture(colorTexture, texCoords) * color;
}
