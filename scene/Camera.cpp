#include "scene/Camera.h"

#include <cmath>

#include "app/Globals.h"

namespace frostline {

FrustumPlanes frustumPlanesFromProjection(const mat4& projection)
{
    // Row r of the matrix (element r of every column).
    const auto row = [&projection](int r) {
        return vec4(projection[0][r], projection[1][r], projection[2][r], projection[3][r]);
    };
    const vec4 r0 = row(0);
    const vec4 r1 = row(1);
    const vec4 r2 = row(2);
    const vec4 r3 = row(3);
    FrustumPlanes planes = {r3 + r0, r3 - r0, r3 + r1, r3 - r1, r3 + r2, r3 - r2};
    // Unit normals make a*x + b*y + c*z + d the signed distance in view units.
    for (vec4& plane : planes) {
        plane *= 1.0f / length(vec3(plane));
    }
    return planes;
}

bool isSphereVisible(const FrustumPlanes& planes, vec3 centre, float radius)
{
    for (const vec4& plane : planes) {
        const float s = plane.x * centre.x + plane.y * centre.y + plane.z * centre.z + plane.w;
        if (s <= -radius) {
            return false;
        }
    }
    return true;
}

}  // namespace frostline

namespace frostline::scene {

namespace {

/// Half of the 70-degree vertical field of view, in radians.
constexpr float halfFieldOfView = 0.6108652353286743f;
constexpr float nearPlane = 0.01f;
constexpr float farPlane = 1000.0f;

/// One correction into (-360, 360]: angles only ever step a little past the bound.
float wrapOnce(float degrees)
{
    if (degrees > 360.0f) {
        degrees -= 360.0f;
    }
    if (degrees < -360.0f) {
        degrees += 360.0f;
    }
    return degrees;
}

}  // namespace

Camera::Camera()
{
    const float aspect = static_cast<float>(windowWidth) / static_cast<float>(windowHeight);
    projection = perspective(2.0f * halfFieldOfView, aspect, nearPlane, farPlane);
}

void Camera::rotateX(float degrees)
{
    if (pitch + degrees < -90.0f) {
        degrees = -90.0f - pitch;
    }
    if (pitch + degrees > 90.0f) {
        degrees = 90.0f - pitch;
    }
    pitch = wrapOnce(pitch + degrees);
}

void Camera::rotateY(float degrees)
{
    yaw += degrees;
    const float theta = degrees * degreesToRadians;
    const float c = static_cast<float>(std::cos(static_cast<double>(theta)));
    const float s = static_cast<float>(std::sin(static_cast<double>(theta)));
    forward = vec3(forward.x * c + forward.z * s, forward.y, forward.z * c - forward.x * s);
    yaw = wrapOnce(yaw);
}

void Camera::rotateZ(float degrees) { roll = wrapOnce(roll + degrees); }

void Camera::translate(float x, float y, float z) { position += vec3(x, y, z); }

vec3 Camera::getPosition() { return position; }

void Camera::update(float /*dt*/)
{
    mat4 m = frostline::translate(mat4(1.0f), position);
    m = rotate(m, vec3(0, 0, 1), roll);
    m = rotate(m, vec3(0, 1, 0), yaw);
    modelMatrix = rotate(m, vec3(1, 0, 0), pitch);
}

void Camera::move(CameraMove direction, float distance)
{
    const vec3 right = glm::cross(forward, up);
    switch (direction) {
    case CameraMove::Up: position += up * distance; break;
    case CameraMove::Down: position -= up * distance; break;
    case CameraMove::Forward: position += forward * distance; break;
    case CameraMove::Backward: position -= forward * distance; break;
    case CameraMove::Left: position -= right * distance; break;
    case CameraMove::Right: position += right * distance; break;
    }
}

void Camera::saveState() { savedState = {position, pitch, yaw, roll, forward}; }

void Camera::restoreState()
{
    position = savedState.position;
    pitch = savedState.pitch;
    yaw = savedState.yaw;
    roll = savedState.roll;
    forward = savedState.forward;
}

}  // namespace frostline::scene
