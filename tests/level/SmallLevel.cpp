#include "tests/level/SmallLevel.h"

namespace frostline::test {

SmallLevel::SmallLevel()
{
    basic = std::make_unique<ShaderProgram>("Shader/basic.vert", "Shader/basic.frag");
    motionBlur = std::make_unique<ShaderProgram>("Shader/motionblur.vert", "Shader/motionblur.frag");
    PhysicsWorld::instance().initPhysicsScene();
    material = PhysicsWorld::instance().physics->findOrCreateMaterial(0.5f, 0.5f, 0.5f);
    cubePath = folder.write("cube.obj", cubeObj(1.0f));
}

scene::Checkpoint& SmallLevel::gate(vec3 position)
{
    auto checkpoint = std::make_unique<scene::Checkpoint>(basic.get(), motionBlur.get(), cubePath, material);
    checkpoint->setPosition(position.x, position.y, position.z);
    return keep(std::move(checkpoint));
}

scene::Collectable& SmallLevel::pickUp(std::int32_t kind, std::int32_t points, vec3 position)
{
    auto collectable =
        std::make_unique<scene::Collectable>(basic.get(), motionBlur.get(), cubePath, material, kind, points);
    collectable->setPosition(position.x, position.y, position.z);
    return keep(std::move(collectable));
}

}  // namespace frostline::test
