#version 330 core
// The blurred picture, filtered between its four nearest pixels. A texture read
// straight from an interpolated coordinate and written as it is: the simplest
// shader there is, which a processor-drawn screen runs on its fastest path.

in vec2 texCoord;

uniform sampler2D pictureTexture;  // unit 0: the composite at the scene's size

out vec4 fragColor;

void main()
{
    fragColor = texture(pictureTexture, texCoord);
}
