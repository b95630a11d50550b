#version 330 core
// The land around the course: its texture in the sun and the sky's fill (see
// distant.vert), through the lit shader's tone curve, then the haze. Also the
// screen-space motion since the last frame, as every shape gives (velocity.glsl).

#include "winterlight.glsl"
#include "velocity.glsl"

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

void main()
{
    vec3 surface = texture(colorTexture, texCoord).rgb;
    vec3 normal = normalize(worldNormal);
    vec3 light = winterLightOn(normal, max(dot(normal, lightDirection), 0.0), sunLight, skyLight);
    fragColor = vec4(mix(toneCurve(surface * light), hazeColour, haze), 1.0);
    velocity = vec4(storedMotion(screenMotion(currentClip, previousClip)), 0.0, 1.0);
}
