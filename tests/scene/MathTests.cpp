#include "scene/Math.h"
#include "scene/Light.h"
#include "scene/SceneObject.h"

#include <gtest/gtest.h>

using namespace frostline;

namespace {

void expectNear(const vec4& actual, const vec4& expected, float tolerance = 1e-6f)
{
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(actual[i], expected[i], tolerance) << "component " << i;
    }
}

}  // namespace

TEST(Transforms, RotationsTurnTheLocalFrameCounterClockwise)
{
    // rotateY(90) on the identity maps local +X onto world -Z and keeps the origin.
    scene::SceneObject object;
    object.rotateY(90);
    expectNear(object.modelMatrix[0], vec4(0, 0, -1, 0));
    expectNear(object.modelMatrix[3], vec4(0, 0, 0, 1));

    // A translate after the turn moves along the turned axis.
    object.translate(1, 0, 0);
    const vec3 position = object.getPosition();
    EXPECT_NEAR(position.x, 0.0f, 1e-6f);
    EXPECT_NEAR(position.z, -1.0f, 1e-6f);

    // rotateX(90) turns +Y onto +Z, rotateZ(90) turns +X onto +Y.
    scene::SceneObject pitched;
    pitched.rotateX(90);
    expectNear(pitched.modelMatrix[1], vec4(0, 0, 1, 0));
    scene::SceneObject rolled;
    rolled.rotateZ(90);
    expectNear(rolled.modelMatrix[0], vec4(0, 1, 0, 0));
}

TEST(Transforms, ScaleKeepsTheOriginAndMatricesRoundTrip)
{
    scene::SceneObject object;
    object.translate(3, 4, 5);
    object.scale(2, 2, 2);
    EXPECT_EQ(object.getPosition(), vec3(3, 4, 5));
    EXPECT_EQ(object.modelMatrix[0], vec4(2, 0, 0, 0));

    mat4 m(0.0f);
    for (int i = 0; i < 16; ++i) {
        m[i / 4][i % 4] = static_cast<float>(i + 1);
    }
    object.setModelMatrix(m);
    const mat4 back = object.getModelMatrix();
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(back[i / 4][i % 4], static_cast<float>(i + 1));
    }
}

TEST(Transforms, InverseUndoesARotateTranslateScale)
{
    mat4 m = translate(mat4(1.0f), vec3(4, -2, 7));
    m = rotate(m, vec3(1, 2, 3), 37.0f);
    m = scale(m, vec3(2, 0.5f, 3));
    const mat4 product = inverse(m) * m;
    for (int c = 0; c < 4; ++c) {
        expectNear(product[c], mat4(1.0f)[c], 1e-5f);
    }
}

TEST(Transforms, ProjectionAndViewMatchTheCameraConventions)
{
    // 70 degree field of view, 1024 x 768.
    const mat4 p = perspective(0.6108652353286743f * 2.0f, 1024.0f / 768.0f, 0.01f, 1000.0f);
    EXPECT_NEAR(p[0][0], 1.071111f, 1e-5f);
    EXPECT_NEAR(p[1][1], 1.428148f, 1e-5f);
    EXPECT_FLOAT_EQ(p[2][2], -1.00002f);
    EXPECT_FLOAT_EQ(p[2][3], -1.0f);
    EXPECT_FLOAT_EQ(p[3][2], -0.0200002f);
    EXPECT_EQ(p[3][3], 0.0f);

    // The sun's orthographic box.
    const mat4 o = orthographic(-200, 200, -100, 200, -250, 150);
    EXPECT_FLOAT_EQ(o[0][0], 0.005f);
    EXPECT_NEAR(o[1][1], 0.00666667f, 1e-8f);
    EXPECT_FLOAT_EQ(o[2][2], -0.005f);
    EXPECT_FLOAT_EQ(o[3][1], -0.33333334f);
    EXPECT_FLOAT_EQ(o[3][2], 0.25f);

    // Looking from +Z at the origin puts the origin 5 units in front (-Z) of the eye.
    const mat4 view = lookAt(vec3(0, 0, 5), vec3(0, 0, 0), vec3(0, 1, 0));
    expectNear(view * vec4(0, 0, 0, 1), vec4(0, 0, -5, 1));
    expectNear(view * vec4(1, 0, 0, 1), vec4(1, 0, -5, 1));
}

TEST(Transforms, PoseMatrixAndSunDirection)
{
    // A quarter turn about Y as a quaternion maps +X onto -Z, like rotateY(90).
    const float h = static_cast<float>(std::sqrt(0.5));
    const mat4 pose = poseMatrix(vec4(0, h, 0, h), vec3(1, 2, 3));
    expectNear(pose[0], vec4(0, 0, -1, 0), 1e-6f);
    expectNear(pose[3], vec4(1, 2, 3, 1));

    scene::DirectionalLight sun(vec3(0.4f, -1.0f, -0.5f), vec3(1, 1, 1));
    const vec3 toward = sun.getDirection();
    EXPECT_NEAR(toward.x, -0.3369f, 1e-4f);
    EXPECT_NEAR(toward.y, 0.8422f, 1e-4f);
    EXPECT_NEAR(toward.z, 0.4211f, 1e-4f);
}
