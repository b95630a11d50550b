// Base of every object of the 3D scene: one object-to-world matrix and the
// virtual transform operations that derived classes redirect to their own state.
#pragma once

#include "scene/Math.h"

namespace frostline::scene {

class SceneObject {
public:
    SceneObject() = default;
    virtual ~SceneObject() = default;

    /// modelMatrix = modelMatrix * R(X, degrees).
    virtual void rotateX(float degrees);
    /// modelMatrix = modelMatrix * R(Y, degrees).
    virtual void rotateY(float degrees);
    /// modelMatrix = modelMatrix * R(Z, degrees).
    virtual void rotateZ(float degrees);
    /// modelMatrix = modelMatrix * T(x, y, z), in the local frame (world units).
    virtual void translate(float x, float y, float z);
    /// modelMatrix = modelMatrix * S(x, y, z); the origin stays.
    virtual void scale(float x, float y, float z);
    /// A copy of the object-to-world matrix.
    virtual mat4 getModelMatrix();
    /// Replaces the object-to-world matrix.
    virtual void setModelMatrix(mat4 m);
    /// World position of the model origin (column 3 of modelMatrix).
    virtual vec3 getPosition();

    mat4 modelMatrix{1.0f};  ///< object-to-world; identity at construction
};

}  // namespace frostline::scene
