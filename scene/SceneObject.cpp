#include "scene/SceneObject.h"

namespace frostline::scene {

void SceneObject::rotateX(float degrees) { modelMatrix = rotate(modelMatrix, vec3(1, 0, 0), degrees); }
void SceneObject::rotateY(float degrees) { modelMatrix = rotate(modelMatrix, vec3(0, 1, 0), degrees); }
void SceneObject::rotateZ(float degrees) { modelMatrix = rotate(modelMatrix, vec3(0, 0, 1), degrees); }

void SceneObject::translate(float x, float y, float z)
{
    modelMatrix = frostline::translate(modelMatrix, vec3(x, y, z));
}

void SceneObject::scale(float x, float y, float z)
{
    modelMatrix = frostline::scale(modelMatrix, vec3(x, y, z));
}

mat4 SceneObject::getModelMatrix() { return modelMatrix; }

void SceneObject::setModelMatrix(mat4 m) { modelMatrix = m; }

vec3 SceneObject::getPosition() { return vec3(modelMatrix[3]); }

}  // namespace frostline::scene
