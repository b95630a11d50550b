// The snow slope: "models/terrain.obj", drawn like every shape, with a static
// triangle-mesh body named "Terrain" by which the sled knows it is on the ground.
// Unlike a static shape it copies its pose into the drawn matrix in update.
#pragma once

#include <memory>

#include "scene/Shape.h"

namespace frostline {
struct Material;
}

namespace frostline::scene {

class Terrain : public Shape {
public:
    /// Loads the terrain model and cooks its body (at the origin, not yet in a scene);
    /// a mesh that cannot be cooked ends the start-up with a fatal error.
    Terrain(ShaderProgram* program, ShaderProgram* motionBlurProgram, Material* material);
    /// Releases the body, then the Shape part.
    ~Terrain() override;
    Terrain(const Terrain&) = delete;
    Terrain& operator=(const Terrain&) = delete;

    /// Turns the body about its own X axis (degrees); the drawn matrix follows at update.
    void rotateX(float degrees) override;
    /// Turns the body about its own Y axis (degrees); the drawn matrix follows at update.
    void rotateY(float degrees) override;
    /// Turns the body about its own Z axis (degrees); the drawn matrix follows at update.
    void rotateZ(float degrees) override;
    /// The body's position (world units).
    vec3 getPosition() override;
    /// The body.
    Actor* getActor() override;
    /// modelMatrix = the body's pose; dt unused.
    void update(float dt) override;
    /// Puts the body at (x, y, z) unturned (world units); the drawn matrix follows at update.
    virtual void setPosition(float x, float y, float z);

    /// The land around the course: every mesh of the model after the first (the course,
    /// the only one the body is made of), moved to a shape of their own drawn by program.
    /// The terrain keeps the course; a model of one mesh gives a shape without meshes.
    std::unique_ptr<Shape> takeSurroundings(ShaderProgram* program, ShaderProgram* motionBlurProgram);

    /// Path of the terrain model.
    static constexpr const char* modelPath = "models/terrain.obj";

private:
    Actor* actor = nullptr;  ///< the static body (owned)
};

}  // namespace frostline::scene
