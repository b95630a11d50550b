#include "scene/Collectable.h"

namespace frostline::scene {

namespace {
/// Spin of a pick-up (degrees / s).
constexpr float spinRate = 90.0f;
}  // namespace

const std::map<std::int32_t, const char*> collectableNames = {
    {Cow, "Cow"},
    {Snowflake, "Snowflake"},
    {Star, "Star"},
};

Collectable::Collectable(ShaderProgram* program, ShaderProgram* motionBlurProgram,
                         const std::string& modelPath, Material* material, std::int32_t kind,
                         std::int32_t points)
    : StaticShape(program, motionBlurProgram, modelPath, material, collectableNames.at(kind),
                  CollisionKind::Box),
      kind(kind),
      points(points)
{
}

void Collectable::update(float dt)
{
    // Only the drawn model spins; the body keeps its pose.
    SceneObject::rotateY(dt * spinRate);
}

}  // namespace frostline::scene
