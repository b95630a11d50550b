// Vector and matrix conventions of the scene: 32-bit floats, column-major
// matrices with the translation in the last column, handed to OpenGL untransposed.
// Every transform post-multiplies (acts in the object's local frame); angles at
// every scene interface are in degrees.
#pragma once

#include <glm/glm.hpp>

namespace frostline {

using vec2 = glm::vec2;
using vec3 = glm::vec3;
using vec4 = glm::vec4;
using mat3 = glm::mat3;
using mat4 = glm::mat4;

/// pi / 180 rounded to a 32-bit float; every degree value is multiplied by it.
inline constexpr float degreesToRadians = 0.017453292f;

/// R(axis, degrees): right-handed, counter-clockwise seen from the axis tip.
/// The axis is normalised first; trigonometry in double precision.
mat4 rotationMatrix(vec3 axis, float degrees);

/// M * R(axis, degrees): turns M in its own local frame; M's translation stays.
mat4 rotate(const mat4& m, vec3 axis, float degrees);

/// M * T(x, y, z): column 3 becomes c0*x + c1*y + c2*z + c3.
mat4 translate(const mat4& m, vec3 offset);

/// M * S(x, y, z): columns 0..2 scaled, column 3 kept.
mat4 scale(const mat4& m, vec3 factors);

/// General 4 x 4 inverse (adjugate over determinant); no test for singular input.
mat4 inverse(const mat4& m);

/// OpenGL perspective projection, clip depth -1..1; fovy in radians.
mat4 perspective(float fovy, float aspect, float nearPlane, float farPlane);

/// OpenGL orthographic projection, clip depth -1..1.
mat4 orthographic(float left, float right, float bottom, float top, float nearPlane, float farPlane);

/// Right-handed look-at view matrix.
mat4 lookAt(vec3 eye, vec3 centre, vec3 up);

/// Pose of a physics body (unit quaternion q = (x, y, z, w), position p) as a matrix.
mat4 poseMatrix(const vec4& q, vec3 p);

/// v * (1 / |v|), one reciprocal and three products; square root in double.
vec3 normalize(vec3 v);

/// Length with the square root taken in double precision.
float length(vec3 v);

}  // namespace frostline
