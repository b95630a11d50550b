// A small level for the gameplay tests: the game's shape programs, the process's
// physics scene and gates, pick-ups and obstacles made from a 2 x 2 x 2 cube.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "physics/PhysicsWorld.h"
#include "render/ShaderProgram.h"
#include "scene/Checkpoint.h"
#include "scene/Collectable.h"
#include "scene/StaticShape.h"
#include "tests/scene/TestModels.h"

namespace frostline::test {

class SmallLevel {
public:
    /// Needs the GL test context; makes the physics scene on first use.
    SmallLevel();

    /// A gate from the cube, placed at position and in the scene; its id is the next one.
    scene::Checkpoint& gate(vec3 position);
    /// A pick-up of kind worth points from the cube, placed at position and in the scene.
    scene::Collectable& pickUp(std::int32_t kind, std::int32_t points, vec3 position);
    /// Keeps a shape alive for the test and puts its body into the scene.
    template <typename ShapeType>
    ShapeType& keep(std::unique_ptr<ShapeType> shape)
    {
        PhysicsWorld::instance().scene->addActor(*shape->getActor());
        ShapeType& kept = *shape;
        shapes.push_back(std::move(shape));
        return kept;
    }

    /// Actors in the physics scene now.
    std::size_t actorsInScene() const { return PhysicsWorld::instance().scene->getActorCount(); }

    SceneFolder folder;                      ///< working folder with Shader/ and models/white.jpg
    std::unique_ptr<ShaderProgram> basic;
    std::unique_ptr<ShaderProgram> motionBlur;
    Material* material = nullptr;
    std::string cubePath;                    ///< a cube of half size 1 about the origin
    std::vector<std::unique_ptr<scene::StaticShape>> shapes;  ///< released at the end of the test
};

}  // namespace frostline::test
