#include "scene/Math.h"

#include <cmath>


namespace frostline {

float length(vec3 v)
{
    return static_cast<float>(std::sqrt(static_cast<double>(v.x * v.x + v.y * v.y + v.z * v.z)));
}

vec3 normalize(vec3 v)
{
    const float inv = 1.0f / length(v);
    return vec3(v.x * inv, v.y * inv, v.z * inv);
}

mat4 rotationMatrix(vec3 axis, float degrees)
{
    const vec3 a = normalize(axis);
    const float theta = degrees * degreesToRadians;
    const float c = static_cast<float>(std::cos(static_cast<double>(theta)));
    const float s = static_cast<float>(std::sin(static_cast<double>(theta)));
    const float t = 1.0f - c;
    const float x = a.x, y = a.y, z = a.z;
    mat4 r(1.0f);
    r[0] = vec4(t * x * x + c, t * x * y + s * z, t * x * z - s * y, 0.0f);
    r[1] = vec4(t * x * y - s * z, t * y * y + c, t * y * z + s * x, 0.0f);
    r[2] = vec4(t * x * z + s * y, t * y * z - s * x, t * z * z + c, 0.0f);
    r[3] = vec4(0.0f, 0.0f, 0.0f, 1.0f);
    return r;
}

mat4 rotate(const mat4& m, vec3 axis, float degrees)
{
    const mat4 r = rotationMatrix(axis, degrees);
    mat4 result = m;
    for (int column = 0; column < 3; ++column) {
        result[column] = m[0] * r[column][0] + m[1] * r[column][1] + m[2] * r[column][2];
    }
    return result;
}

mat4 translate(const mat4& m, vec3 offset)
{
    mat4 result = m;
    result[3] = m[0] * offset.x + m[1] * offset.y + m[2] * offset.z + m[3];
    return result;
}

mat4 scale(const mat4& m, vec3 factors)
{
    mat4 result = m;
    result[0] *= factors.x;
    result[1] *= factors.y;
    result[2] *= factors.z;
    return result;
}

mat4 inverse(const mat4& m)
{
    return glm::inverse(m);
}

mat4 perspective(float fovy, float aspect, float nearPlane, float farPlane)
{
    const float h = static_cast<float>(std::tan(static_cast<double>(fovy) / 2.0));
    mat4 p(0.0f);
    p[0][0] = 1.0f / (aspect * h);
    p[1][1] = 1.0f / h;
    p[2][2] = -(farPlane + nearPlane) / (farPlane - nearPlane);
    p[2][3] = -1.0f;
    p[3][2] = -(2.0f * farPlane * nearPlane) / (farPlane - nearPlane);
    return p;
}

mat4 orthographic(float left, float right, float bottom, float top, float nearPlane, float farPlane)
{
    mat4 o(1.0f);
    o[0][0] = 2.0f / (right - left);
    o[1][1] = 2.0f / (top - bottom);
    o[2][2] = -2.0f / (farPlane - nearPlane);
    o[3][0] = -(right + left) / (right - left);
    o[3][1] = -(top + bottom) / (top - bottom);
    o[3][2] = -(farPlane + nearPlane) / (farPlane - nearPlane);
    return o;
}

mat4 lookAt(vec3 eye, vec3 centre, vec3 up)
{
    const vec3 f = normalize(centre - eye);
    const vec3 s = normalize(glm::cross(f, up));
    const vec3 u = glm::cross(s, f);
    mat4 v(1.0f);
    v[0][0] = s.x; v[1][0] = s.y; v[2][0] = s.z;
    v[0][1] = u.x; v[1][1] = u.y; v[2][1] = u.z;
    v[0][2] = -f.x; v[1][2] = -f.y; v[2][2] = -f.z;
    v[3][0] = -glm::dot(s, eye);
    v[3][1] = -glm::dot(u, eye);
    v[3][2] = glm::dot(f, eye);
    return v;
}

mat4 poseMatrix(const vec4& q, vec3 p)
{
    const float x = q.x, y = q.y, z = q.z, w = q.w;
    mat4 m(1.0f);
    m[0] = vec4(1 - 2 * y * y - 2 * z * z, 2 * x * y + 2 * z * w, 2 * x * z - 2 * y * w, 0);
    m[1] = vec4(2 * x * y - 2 * z * w, 1 - 2 * x * x - 2 * z * z, 2 * y * z + 2 * x * w, 0);
    m[2] = vec4(2 * x * z + 2 * y * w, 2 * y * z - 2 * x * w, 1 - 2 * x * x - 2 * y * y, 0);
    m[3] = vec4(p.x, p.y, p.z, 1);
    return m;
}

}  // namespace frostline
