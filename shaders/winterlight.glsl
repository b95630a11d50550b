// The winter light of the lit programs (basic and distant): the sun and the clear
// sky's fill, white-balanced on snow in the sun and rolled off by a soft tone
// curve, so that sunlit snow reads white and the shade a soft blue-grey.
//
// What it makes of the uniforms:
//   lightDirection  the unit vector toward the sun: the diffuse term and the
//                   sun's height, which sets the white point (snow lying flat
//                   in the sun).
//   lightIntensity  the sun's colour and strength: the diffuse light, and the
//                   white balance divides by it, so the sun's own colour never
//                   tints sunlit snow.
//   ambient         the clear sky's fill: its luminance sets how bright the
//                   shade is; its hue only tints the sky's pale winter blue a
//                   little (a saturated ambient would turn the shade teal).

// The hue of light from a clear winter sky, and how much of the given ambient's own hue it takes.
const vec3 winterSky = vec3(0.74, 0.84, 1.0);
const float ambientHueShare = 0.1;
// The fill in the shade, relative to the ambient's luminance: the whole sky dome plus
// the light the snow around throws back.
const float fillGain = 5.2;
const float exposure = 1.2;
const vec3 toLuminance = vec3(0.2126, 0.7152, 0.0722);
// Tone curve: linear up to the knee, then a soft shoulder toward 1.
const float knee = 0.72;

// The sun's light per unit of diffuse (sunLight) and the sky's fill on a face turned
// up (skyLight), white-balanced and exposed. Uniforms only: the same for every vertex.
void winterLight(vec3 lightDirection, vec3 lightIntensity, vec3 ambient, out vec3 sunLight, out vec3 skyLight)
{
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

// The light on a face with this unit normal: the sun's share by diffuse, the sky's
// fill more from above than from the side.
vec3 winterLightOn(vec3 normal, float diffuse, vec3 sunLight, vec3 skyLight)
{
    return sunLight * diffuse + skyLight * (0.8 + 0.2 * normal.y);
}

vec3 toneCurve(vec3 x)
{
    vec3 over = max(x - knee, 0.0);
    return min(x, vec3(knee)) + over * (1.0 - knee) / (over + (1.0 - knee));
}
