#version 330 core
// The panel's image as it is; its alpha lets the game show through.

in vec2 texCoords;

uniform sampler2D colorTexture;  // the panel image

out vec4 fragColor;

void main()
{
    fragColor = texture(colorTexture, texCoords);
}
