#version 330 core
// Diffuse sunlight plus ambient on the texture, shadowed through a hardware
// depth comparison in the sun's depth map (linearly filtered over 2 x 2 texels,
// so the edges are soft), and the screen-space motion of the fragment since the
// last frame, in texture units (fractions of the screen), for the blur composite.

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

void main()
{
    vec4 surface = texture(colorTexture, texCoord);
    vec3 normal = normalize(worldNormal);
    float nDotL = dot(normal, lightDirection);
    // Faces turned away from the sun are dark anyway: no lookup, no self-shadowing.
    float diffuse = nDotL > 0.0 ? nDotL * sunlight(nDotL) : 0.0;
    fragColor = vec4(surface.rgb * (ambient + lightIntensity * diffuse), surface.a);

    vec2 current = currentClip.xy / currentClip.w;
    // A point that was behind the eye last frame has no meaningful motion.
    vec2 previous = previousClip.w > 1e-4 ? previousClip.xy / previousClip.w : current;
    velocity = vec4((current - previous) * 0.5, 0.0, 1.0);
}
