#version 330 core
// The HUD's arrow toward the next gate: a shape in pixels about its centre,
// pointing right, turned to its direction, grown by size and placed at its centre.

in vec2 vPosition;  // corner of the arrow (pixels, pointing along +x)

uniform vec2 translate;  // the arrow's centre (NDC)
uniform vec2 scale;      // NDC per pixel, x and y
uniform vec2 direction;  // cosine and sine of the arrow's angle
uniform float size;      // 1, or more for the dark rim drawn first

void main()
{
    vec2 p = vPosition * size;
    vec2 turned = vec2(p.x * direction.x - p.y * direction.y, p.x * direction.y + p.y * direction.x);
    gl_Position = vec4(translate + turned * scale, 0.0, 1.0);
}
