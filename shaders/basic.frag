#version 330 core
// Winter light on the texture: the sun (diffuse, shadowed through a hardware
// depth comparison in the sun's depth map, linearly filtered over 2 x 2 texels)
// and the clear sky's fill, white-balanced on snow in the sun and rolled off
// by a soft tone curve, so that sunlit snow reads white and the shade a soft
// blue-grey. Also the screen-space motion of the fragment since the last
// frame, in texture units (fractions of the screen), for the blur composite.
//
// The uniforms:
//   lightDirection  the unit vector toward the sun: the diffuse term and the
//                   sun's height, which sets the white point (snow lying flat
//                   in the sun).
//   lightIntensity  the sun's colour and strength: the diffuse light, and the
//                   white balance divides by it, so the sun's own colour never
//                   tints sunlit snow.
//   ambient         the clear sky's fill: its luminance sets how bright the
//                   shade is; its hue only tints the sky's pale winter blue a
//                   little (a saturated ambient would turn the shade teal).

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

out vec4 fragColor;
out vec4 velocity;  // xy used; alpha 1 so that blending leaves it as written

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

// Tone curve: linear up to the knee, then a soft shoulder toward 1.
const float knee = 0.72;

// The light, white-balanced and exposed, worked out once a triangle from the uniforms
// alone (see basic.vert): the sun's part per unit of diffuse, the sky's fill.
flat in vec3 sunLight;
flat in vec3 skyLight;

vec3 toneCurve(vec3 x)
{
    vec3 over = max(x - knee, 0.0);
    return min(x, vec3(knee)) + over * (1.0 - knee) / (over + (1.0 - knee));
}

void main()
{
    vec4 surface = texture(colorTexture, texCoord);
    vec3 normal = normalize(worldNormal);
    float nDotL = dot(normal, lightDirection);
    // Faces turned away from the sun get no sun anyway: no lookup, no self-shadowing.
    float diffuse = nDotL > 0.0 ? nDotL * sunlight(nDotL) : 0.0;

    // The sky's fill comes more from above than from the side.
    vec3 light = sunLight * diffuse + skyLight * (0.8 + 0.2 * normal.y);
    // Glints: the snow's pure white grains (only up close: the mipmaps average them
    // into the grain further away) flash past the tone curve's shoulder in the sun.
    float glint = smoothstep(0.985, 1.0, min(surface.r, min(surface.g, surface.b))) * diffuse;
    fragColor = vec4(toneCurve(surface.rgb * light) + 0.12 * glint, surface.a);

    vec2 current = currentClip.xy / currentClip.w;
    // A point that was behind the eye last frame has no meaningful motion.
    vec2 previous = previousClip.w > 1e-4 ? previousClip.xy / previousClip.w : current;
    velocity = vec4((current - previous) * 0.5, 0.0, 1.0);
}
