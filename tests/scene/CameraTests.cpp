#include "scene/Camera.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "app/Globals.h"

using namespace frostline;
using frostline::scene::Camera;
using frostline::scene::CameraMove;

namespace {

void expectNear(vec3 actual, vec3 expected, float tolerance = 1e-5f)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

/// A camera made for a window of the given size.
Camera cameraFor(int width, int height)
{
    windowWidth = width;
    windowHeight = height;
    Camera camera;
    windowWidth = 1024;
    windowHeight = 768;
    return camera;
}

}  // namespace

TEST(Camera, PitchIsClampedAndYawWrapsOnce)
{
    // The free camera cannot look past straight down or straight up.
    Camera camera = cameraFor(1024, 768);
    EXPECT_FLOAT_EQ(camera.pitch, -30.0f);
    camera.rotateX(-100.0f);
    EXPECT_FLOAT_EQ(camera.pitch, -90.0f);
    camera.rotateX(200.0f);
    EXPECT_FLOAT_EQ(camera.pitch, 90.0f);
    expectNear(camera.forward, vec3(0, 0, -1));  // pitch never tilts forward

    // Turning past a full circle comes back near zero; forward turns with it.
    camera.yaw = 350.0f;
    camera.rotateY(20.0f);
    EXPECT_NEAR(camera.yaw, 10.0f, 1e-4f);
    const float c = std::cos(20.0f * degreesToRadians);
    const float s = std::sin(20.0f * degreesToRadians);
    expectNear(camera.forward, vec3(-s, 0, -c));
    camera.yaw = -350.0f;
    camera.rotateY(-20.0f);
    EXPECT_NEAR(camera.yaw, -10.0f, 1e-4f);
    camera.roll = 355.0f;
    camera.rotateZ(10.0f);
    EXPECT_NEAR(camera.roll, 5.0f, 1e-4f);
}

TEST(Camera, MovesStayHorizontalAndFollowTheTurn)
{
    // A quarter turn left makes "right" point along -Z.
    Camera camera = cameraFor(1024, 768);
    camera.rotateY(90.0f);
    expectNear(camera.forward, vec3(-1, 0, 0));
    camera.move(CameraMove::Right, 1.0f);
    expectNear(camera.position, vec3(0, 2, 4));

    // Looking down steeply, forward still moves along the ground.
    camera.rotateX(-50.0f);
    camera.move(CameraMove::Forward, 2.0f);
    expectNear(camera.position, vec3(-2, 2, 4));
    camera.move(CameraMove::Up, 3.0f);
    camera.move(CameraMove::Backward, 1.0f);
    camera.move(CameraMove::Left, 1.0f);
    camera.move(CameraMove::Down, 1.0f);
    expectNear(camera.position, vec3(-1, 4, 5));

    // translate moves the eye at once, the matrix only at the next update.
    camera.translate(1.0f, 0.0f, 0.0f);
    expectNear(camera.getPosition(), vec3(0, 4, 5));
    EXPECT_EQ(camera.modelMatrix, mat4(1.0f));
    camera.update(0.016f);
    expectNear(vec3(camera.modelMatrix[3]), vec3(0, 4, 5));
}

TEST(Camera, SaveAndRestoreBringBackTheView)
{
    // Leaving the free camera returns to exactly where it was entered.
    Camera camera = cameraFor(1024, 768);
    camera.rotateY(30.0f);
    camera.move(CameraMove::Forward, 5.0f);
    camera.saveState();
    const Camera saved = camera;
    camera.rotateY(-70.0f);
    camera.rotateX(40.0f);
    camera.rotateZ(15.0f);
    camera.move(CameraMove::Left, 9.0f);
    camera.restoreState();
    expectNear(camera.position, saved.position);
    expectNear(camera.forward, saved.forward);
    EXPECT_EQ(camera.pitch, saved.pitch);
    EXPECT_EQ(camera.yaw, saved.yaw);
    EXPECT_EQ(camera.roll, saved.roll);
}

TEST(Camera, ViewLooksDownTheSlopeThroughTheFixedProjection)
{
    // A 70-degree view whose width follows the window it was made for.
    const Camera standard = cameraFor(1024, 768);
    EXPECT_NEAR(standard.projection[0][0], 1.071111f, 1e-5f);
    EXPECT_NEAR(standard.projection[1][1], 1.428148f, 1e-5f);
    EXPECT_NEAR(standard.projection[2][2], -1.00002f, 1e-6f);
    EXPECT_FLOAT_EQ(standard.projection[2][3], -1.0f);
    EXPECT_NEAR(standard.projection[3][2], -0.0200002f, 1e-7f);
    const Camera tall = cameraFor(1280, 1024);
    EXPECT_NEAR(tall.projection[0][0], 1.142518f, 1e-5f);

    // With the initial angles the eye looks along -Z, 30 degrees down.
    Camera camera = cameraFor(1024, 768);
    camera.update(0.0f);
    const vec3 look = -vec3(camera.modelMatrix[2]);
    expectNear(look, vec3(0, -0.5f, -std::sqrt(3.0f) / 2.0f));
    expectNear(vec3(camera.modelMatrix[3]), vec3(0, 2, 5));
}

TEST(Camera, LooksAlongItsForwardDirectionWhicheverWayItIsTurned)
{
    // Turned step by step all the way round (as the free camera's mouse and the chase
    // camera's steering turn it), level or tilted down, the eye looks along forward, and
    // a point ahead along forward appears in the middle of the screen.
    Camera camera = cameraFor(1024, 768);
    for (const float step : {30.0f, 45.0f, 60.0f, 90.0f, -135.0f, -170.0f, 100.0f, 77.0f, 200.0f}) {
        camera.rotateY(step);
        for (const float pitch : {0.0f, -30.0f}) {
            SCOPED_TRACE("yaw " + std::to_string(camera.yaw) + ", pitch " + std::to_string(pitch));
            camera.pitch = pitch;
            camera.update(0.0f);
            const vec3 look = -vec3(camera.modelMatrix[2]);
            expectNear(glm::normalize(vec3(look.x, 0.0f, look.z)), camera.forward, 1e-5f);
            EXPECT_NEAR(look.y, std::sin(pitch * degreesToRadians), 1e-5f);
            const float down = std::tan(pitch * degreesToRadians);
            const vec3 ahead = camera.position + 10.0f * (camera.forward + vec3(0.0f, down, 0.0f));
            const vec4 clip = camera.projection * inverse(camera.modelMatrix) * vec4(ahead, 1.0f);
            EXPECT_GT(clip.w, 0.0f);
            EXPECT_NEAR(clip.x / clip.w, 0.0f, 1e-4f);
            EXPECT_NEAR(clip.y / clip.w, 0.0f, 1e-4f);
        }
    }
}

TEST(Frustum, SpheresAreCulledOnlyWhenWhollyOutsideOnePlane)
{
    // Planes at x = 0 (inside toward +x) and z = 0 (inside toward -z), the rest far away.
    FrustumPlanes planes;
    planes.fill(vec4(0, 1, 0, 100));
    planes[0] = vec4(1, 0, 0, 0);
    planes[5] = vec4(0, 0, -1, 0);

    // A small object 2 units beyond one plane is skipped; one half a unit beyond is drawn.
    EXPECT_FALSE(isSphereVisible(planes, vec3(-2, 0, -5), 1.0f));
    EXPECT_TRUE(isSphereVisible(planes, vec3(-0.5f, 0, -5), 1.0f));
    EXPECT_FALSE(isSphereVisible(planes, vec3(-1.0f, 0, -5), 1.0f));  // touching counts as outside
    EXPECT_TRUE(isSphereVisible(planes, vec3(3, 0, -0.5f), 1.0f));
    EXPECT_FALSE(isSphereVisible(planes, vec3(3, 0, 2), 1.0f));
}

TEST(Frustum, PlanesOfTheCameraProjectionBoundWhatTheEyeSees)
{
    // In view space the eye looks along -Z with a 35-degree half angle upward.
    const Camera camera = cameraFor(1024, 768);
    const FrustumPlanes planes = frustumPlanesFromProjection(camera.projection);
    for (const vec4& plane : planes) {
        EXPECT_NEAR(length(vec3(plane)), 1.0f, 1e-5f);
    }
    EXPECT_TRUE(isSphereVisible(planes, vec3(0, 0, -10), 0.5f));
    EXPECT_FALSE(isSphereVisible(planes, vec3(0, 0, 10), 0.5f));      // behind the eye
    EXPECT_FALSE(isSphereVisible(planes, vec3(0, 0, -1200), 100.0f));  // beyond the far plane
    // The top plane passes 35 degrees above the axis; its distances are world lengths.
    const float edge = 10.0f * std::tan(35.0f * degreesToRadians);
    EXPECT_TRUE(isSphereVisible(planes, vec3(0, edge + 0.9f, -10), 1.0f));
    EXPECT_FALSE(isSphereVisible(
        planes, vec3(0, edge + 1.0f / std::cos(35.0f * degreesToRadians) + 0.05f, -10), 1.0f));
}
