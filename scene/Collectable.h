// A pick-up: a spinning static shape worth some points, collected once.
#pragma once

#include <cstdint>
#include <map>

#include "scene/StaticShape.h"

namespace frostline::scene {

/// Kinds of pick-up.
enum CollectableKind : std::int32_t {
    Snowflake = 0,  ///< 50 points in the level
    Star = 1,       ///< named, but the level places none
    Cow = 2,        ///< 500 points and a speed boost
};

/// Actor name of each pick-up kind ("Snowflake", "Star", "Cow").
extern const std::map<std::int32_t, const char*> collectableNames;

class Collectable : public StaticShape {
public:
    /// A pick-up of kind worth points, from modelPath, with a box body named after its kind.
    Collectable(ShaderProgram* program, ShaderProgram* motionBlurProgram, const std::string& modelPath,
                Material* material, std::int32_t kind, std::int32_t points);
    /// Another pick-up of the same model, kind and points.
    Collectable(const Collectable& source) = default;
    Collectable& operator=(const Collectable&) = delete;

    /// Spins the drawn model about its local Y at 90 degrees per second (dt in s); the body stays.
    void update(float dt) override;

    std::int32_t kind = Snowflake;  ///< Snowflake, Star or Cow
    std::int32_t points = 0;        ///< points awarded when collected
};

}  // namespace frostline::scene
