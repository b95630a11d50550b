// Conversions between the game's GLM types and Bullet's (single precision).
// Internal to the physics layer.
#pragma once

#include <LinearMath/btTransform.h>
#include <glm/glm.hpp>

#include "physics/Pose.h"

namespace frostline {

inline btVector3 toBullet(vec3 v) { return btVector3(v.x, v.y, v.z); }
inline btVector3 toBullet(const glm::dvec3& v)
{
    return btVector3(btScalar(v.x), btScalar(v.y), btScalar(v.z));
}
inline btQuaternion toBullet(const vec4& q) { return btQuaternion(q.x, q.y, q.z, q.w); }
inline btTransform toBullet(const Pose& pose) { return btTransform(toBullet(pose.q), toBullet(pose.p)); }

inline vec3 toVec3(const btVector3& v) { return vec3(v.x(), v.y(), v.z()); }

}  // namespace frostline
