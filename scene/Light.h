// The sun: lights hold plain values and are deleted directly by their owner.
#pragma once

#include "scene/Math.h"

namespace frostline::scene {

class Light {
public:
    virtual ~Light() = default;

    /// Unit vector from the scene toward the light.
    virtual vec3 getDirection() = 0;
    /// RGB intensity.
    virtual vec3 getIntensity() = 0;
};

class DirectionalLight : public Light {
public:
    DirectionalLight(vec3 direction, vec3 intensity) : direction(direction), intensity(intensity) {}

    /// normalize(-direction): points from the scene toward the light.
    vec3 getDirection() override { return normalize(-direction); }
    vec3 getIntensity() override { return intensity; }

    vec3 direction;  ///< direction in which the light travels (not normalised)
    vec3 intensity;  ///< RGB intensity
};

}  // namespace frostline::scene
