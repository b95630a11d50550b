#version 330 core
// The land around the course: its texture in the sun and the sky's fill (see
// distant.vert), through the lit shader's tone curve, then the haze. Also the screen-space motion since the last frame, as every shape gives.

in vec2 texCoord;
in vec3 worldNormal;
in float haze;
in vec4 currentClip;
in vec4 previousClip;
flat in vec3 sunLight;
flat in vec3 skyLight;

uniform vec3 lightDirection;  // unit vector toward the sun

uniform sampler2D colorTexture;  // unit 0

out vec4 fragColor;
out vec4 velocity;

// The air far away: a pale version of the clear sky's blue.
const vec3 hazeColour = vec3(0.74, 0.85, 0.97);
const float knee = 0.72;

vec3 toneCurve(vec3 x)
{
    vec3 over = max(x - knee, 0.0);
    return min(x, vec3(knee)) + over * (1.0 - knee) / (over + (1.0 - knee));
}

void main()
{
    vec3 surface = texture(colorTexture, texCoord).rgb;
    vec3 normal = normalize(worldNormal);
    vec3 light = sunLight * max(dot(normal, lightDirection), 0.0) + skyLight * (0.8 + 0.2 * normal.y);
    fragColor = vec4(mix(toneCurve(surface * light), hazeColour, haze), 1.0);

    vec2 current = currentClip.xy / currentClip.w;
    vec2 previous = previousClip.w > 1e-4 ? previousClip.xy / previousClip.w : current;
    velocity = vec4((current - previous) * 0.5, 0.0, 1.0);
}
