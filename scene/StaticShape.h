// A drawn model that is also a fixed body of the physics scene: rocks, trees, the
// billboard, pick-ups and gates. The pose lives in the static actor; the drawn
// matrix is copied from it whenever the shape is placed or turned. The actor
// carries the shape's name and a link back to the shape, so the sled's hit report
// knows what it touched.
#pragma once

#include <string>

#include "physics/Pose.h"
#include "scene/Shape.h"

namespace frostline {
struct Material;
}

namespace frostline::scene {

/// What body a static shape gets from its model.
enum class CollisionKind : int {
    Box = 0,           ///< a box about the model origin from the first mesh's extents
    TriangleMesh = 1,  ///< the first mesh cooked into a triangle mesh
};

class StaticShape : public Shape {
public:
    /// Loads modelPath and makes its static actor (at the origin, not yet in a scene)
    /// named name (kept as a pointer: pass a literal). A mesh that cannot be cooked
    /// ends the start-up with a fatal error naming the model.
    StaticShape(ShaderProgram* program, ShaderProgram* motionBlurProgram, const std::string& modelPath,
                Material* material, const char* name, CollisionKind collisionKind);
    /// Another instance of the same model: shares the meshes, clones the actor at the
    /// source's pose with its name, linked to the copy.
    StaticShape(const StaticShape& source);
    StaticShape& operator=(const StaticShape&) = delete;
    /// Releases the actor (unless already released), then the Shape part.
    ~StaticShape() override;

    /// Turns the actor about its own X axis (degrees), then copies its pose.
    void rotateX(float degrees) override;
    /// Turns the actor about its own Y axis (degrees), then copies its pose.
    void rotateY(float degrees) override;
    /// Turns the actor about its own Z axis (degrees), then copies its pose.
    void rotateZ(float degrees) override;
    /// The actor's position (world units); once released, where the shape was last drawn.
    vec3 getPosition() override;
    /// The actor, or null once released.
    Actor* getActor() override;
    /// Puts the actor at (x, y, z) unturned (world units), then copies its pose.
    virtual void setPosition(float x, float y, float z);

    /// Takes the body out of the scene for good (a collected pick-up, a passed gate).
    void releaseActor();
    /// modelMatrix = the actor's pose.
    void syncFromActor();

private:
    /// Turns the actor about one of its own axes by degrees.
    void turnActor(vec3 axis, float degrees);

    Actor* actor = nullptr;  ///< the static body (owned); null once released
};

/// Turns a pose about one of its own axes (unit axis, degrees); the position stays.
Pose turnedPose(const Pose& pose, vec3 axis, float degrees);

}  // namespace frostline::scene
