#version 330 core
// The full-screen quad of the blur composite. It sits at depth 0, in front of
// the far plane: where the window is cleared and tested for depth first (the
// plain way), it still covers every pixel.

layout(location = 0) in vec2 vPosition;

uniform sampler2D blurTexture;  // unit 1: the lit scene

out vec2 screenCoord;
// The scene image's size in texels, asked once a corner rather than once a pixel
// (a processor-drawn screen would ask it for every pixel).
flat out ivec2 imageSize;

void main()
{
    screenCoord = vPosition * 0.5 + 0.5;
    imageSize = textureSize(blurTexture, 0);
    gl_Position = vec4(vPosition, 0.0, 1.0);
}
