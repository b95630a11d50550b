#version 330 core
// Lit, shadowed, textured objects. Passes on the world normal, the texture
// coordinate, the position in the sun's depth map, and this and the previous
// frame's clip positions for the velocity image.

layout(location = 0) in vec3 vPosition;
layout(location = 1) in vec3 vNormal;
layout(location = 2) in vec2 vTexCoord;

uniform mat4 modelViewProjectionMatrix;
uniform mat4 prevMVPMatrix;
uniform mat3 normalMatrix;  // model to world, for normals
uniform mat4 DepthBiasMVP;  // model to depth-map texture space [0, 1]
uniform vec3 lightDirection;  // unit vector toward the sun
uniform vec3 lightIntensity;
uniform vec3 ambient;         // the clear sky's fill

out vec3 worldNormal;
out vec2 texCoord;
out vec3 shadowCoord;  // the sun's view is orthographic: w is 1
out vec4 currentClip;
out vec4 previousClip;
// The winter light of basic.frag, white-balanced and exposed: the sun's light per unit
// of diffuse, and the sky's fill on a face turned up. Uniforms only, so the same for
// every vertex; worked out here, once a vertex instead of once a pixel.
flat out vec3 sunLight;
flat out vec3 skyLight;

// The hue of light from a clear winter sky, and how much of the given ambient's own hue it takes.
const vec3 winterSky = vec3(0.74, 0.84, 1.0);
const float ambientHueShare = 0.1;
// The fill in the shade, relative to the ambient's luminance: the whole sky dome plus
// the light the snow around throws back.
const float fillGain = 5.2;
const float exposure = 1.2;
const vec3 toLuminance = vec3(0.2126, 0.7152, 0.0722);

void main()
{
    vec4 position = vec4(vPosition, 1.0);
    gl_Position = modelViewProjectionMatrix * position;
    currentClip = gl_Position;
    previousClip = prevMVPMatrix * position;
    worldNormal = normalMatrix * vNormal;
    texCoord = vTexCoord;
    shadowCoord = (DepthBiasMVP * position).xyz;

    // The sky's fill: ambient's strength in a pale blue.
    vec3 ambientHue = ambient / max(max(ambient.r, max(ambient.g, ambient.b)), 1e-4);
    vec3 sky = mix(winterSky, ambientHue, ambientHueShare) * (dot(ambient, toLuminance) * fillGain);
    // White point: what snow lying flat in the sun receives. Dividing by it balances the
    // sun's colour out; the sky's blue is balanced out only by luminance, so the shade
    // keeps its blue.
    vec3 white = lightIntensity * max(lightDirection.y, 0.2) + vec3(dot(sky, toLuminance));
    sunLight = lightIntensity / white * exposure;
    skyLight = sky / white * exposure;
}
