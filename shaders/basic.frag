#version 330 core
// Winter light (winterlight.glsl) on the texture: the sun, diffuse and shadowed
// through a hardware depth comparison in the sun's depth map (linearly filtered
// over 2 x 2 texels), and the clear sky's fill, through the tone curve. Also the
// screen-space motion of the fragment since the last frame for the blur composite,
// as the velocity image stores it (velocity.glsl).

#include "winterlight.glsl"
#include "velocity.glsl"

in vec3 worldNormal;
in vec2 texCoord;
in vec3 shadowCoord;
in vec4 currentClip;
in vec4 previousClip;

uniform sampler2D colorTexture;     // unit 0
uniform sampler2DShadow shadowMap;  // unit 1, compare mode LEQUAL
uniform vec3 lightDirection;        // unit vector toward the sun
uniform vec3 lightIntensity;
uniform vec3 ambient;
// How much of what lies behind shows through: 0 (the default of every uniform) for
// every shape of the level, more for the ghost rider.
uniform float transparency;

out vec4 fragColor;
out vec4 velocity;  // xy: the stored motion; alpha the coverage, so blending mixes the motion too

// Depth-map units per world unit along the sun's axis: the sun's box is 400 deep.
const float depthPerUnit = 1.0 / 400.0;
// One depth-map texel covers at most 0.075 world units (300 units over 4000 texels).
const float texelWorld = 0.075;

// Fraction of sunlight reaching this fragment, 0 (shadowed) to 1 (lit).
float sunlight(float nDotL)
{
    vec3 coord = shadowCoord;
    if (any(lessThan(coord, vec3(0.0))) || any(greaterThan(coord, vec3(1.0)))) {
        return 1.0;  // outside the sun's box nothing casts shadows
    }
    // Slope-scaled bias: across the filter's reach (one texel) a surface tilted
    // by theta against the sun changes depth by texel * tan(theta).
    float cosTheta = clamp(nDotL, 0.05, 1.0);
    float tanTheta = sqrt(1.0 - cosTheta * cosTheta) / cosTheta;
    float bias = (0.02 + texelWorld * min(tanTheta, 8.0)) * depthPerUnit;
    // One comparison, filtered over the 2 x 2 texels around the point. A texel
    // is 0.075 units: a few pixels next to the sled, less than one pixel some
    // tens of units away, and the motion blur softens the rest. (More taps would
    // smooth the steps next to the sled, at a cost a software-drawn screen feels.)
    return texture(shadowMap, vec3(coord.xy, coord.z - bias));
}

// The light, white-balanced and exposed, worked out once a triangle from the uniforms
// alone (see basic.vert): the sun's part per unit of diffuse, the sky's fill.
flat in vec3 sunLight;
flat in vec3 skyLight;

void main()
{
    vec4 surface = texture(colorTexture, texCoord);
    vec3 normal = normalize(worldNormal);
    float nDotL = dot(normal, lightDirection);
    // Faces turned away from the sun get no sun anyway: no lookup, no self-shadowing.
    float diffuse = nDotL > 0.0 ? nDotL * sunlight(nDotL) : 0.0;

    vec3 light = winterLightOn(normal, diffuse, sunLight, skyLight);
    // Glints: the snow's pure white grains (only up close: the mipmaps average them
    // into the grain further away) flash past the tone curve's shoulder in the sun.
    float glint = smoothstep(0.985, 1.0, min(surface.r, min(surface.g, surface.b))) * diffuse;
    float coverage = 1.0 - transparency;
    fragColor = vec4(toneCurve(surface.rgb * light) + 0.12 * glint, surface.a * coverage);
    velocity = vec4(storedMotion(screenMotion(currentClip, previousClip)), 0.0, coverage);
}
