// The single eye of the scene: an eye position and three Euler angles (degrees)
// turned into a camera-to-world matrix once per frame, a fixed perspective
// projection, and the view-frustum test the scene pass culls with.
#pragma once

#include <array>
#include <cstdint>

#include "scene/SceneObject.h"

namespace frostline {

/// Objects whose bounding radius (world units) is this or more are never culled.
inline constexpr float cullingRadiusLimit = 200.0f;

/// Six planes (a, b, c, d) with unit normals (a, b, c) pointing into the frustum:
/// left, right, bottom, top, near, far.
using FrustumPlanes = std::array<vec4, 6>;

/// The planes of a projection in eye (view) space, taken from the rows of the
/// projection matrix, each scaled so that (a, b, c) has unit length.
FrustumPlanes frustumPlanesFromProjection(const mat4& projection);

/// False as soon as one plane gives a*x + b*y + c*z + d <= -radius for the centre
/// (same space as the planes; radius in world units), true otherwise.
bool isSphereVisible(const FrustumPlanes& planes, vec3 centre, float radius);

}  // namespace frostline

namespace frostline::scene {

/// Directions of Camera::move.
enum class CameraMove : std::int32_t {
    Up = 0,        ///< + up * d
    Down = 1,      ///< - up * d
    Forward = 2,   ///< + forward * d
    Backward = 3,  ///< - forward * d
    Left = 4,      ///< - cross(forward, up) * d
    Right = 5,     ///< + cross(forward, up) * d
};

/// Snapshot kept by Camera::saveState.
struct CameraState {
    vec3 position{0.0f};   ///< eye position (world units)
    float pitch = 0.0f;    ///< degrees
    float yaw = 0.0f;      ///< degrees
    float roll = 0.0f;     ///< degrees
    vec3 forward{0.0f};    ///< horizontal viewing direction
};

class Camera : public SceneObject {
public:
    /// Identity matrix, the 70-degree projection for windowWidth / windowHeight
    /// (taken now, never changed), eye at (0, 2, 5) looking along -Z, 30 degrees down.
    Camera();

    /// pitch += degrees, kept within [-90, 90]; forward stays.
    void rotateX(float degrees) override;
    /// yaw += degrees (one +-360 correction) and forward turns about world Y.
    void rotateY(float degrees) override;
    /// roll += degrees (one +-360 correction).
    void rotateZ(float degrees) override;
    /// position += (x, y, z) in world units; the matrix follows at the next update.
    void translate(float x, float y, float z) override;
    /// The eye position (world units).
    vec3 getPosition() override;

    /// modelMatrix = T(position) * R(Z, roll) * R(Y, yaw) * R(X, pitch); dt unused.
    virtual void update(float dt);

    /// position += the displacement of direction for distance (world units).
    void move(CameraMove direction, float distance);
    /// Copies position, pitch, yaw, roll and forward into savedState.
    void saveState();
    /// Copies them back from savedState.
    void restoreState();

    mat4 projection{1.0f};               ///< fixed perspective projection
    vec3 position{0.0f, 2.0f, 5.0f};     ///< eye position in world space
    float pitch = -30.0f;                ///< degrees about X, within [-90, 90]
    float yaw = 0.0f;                    ///< degrees about Y
    float roll = 0.0f;                   ///< degrees about Z
    vec3 forward{0.0f, 0.0f, -1.0f};     ///< horizontal direction used by move; unit length
    vec3 up{0.0f, 1.0f, 0.0f};           ///< up direction used by move
    CameraState savedState;              ///< snapshot for saveState / restoreState
};

}  // namespace frostline::scene
