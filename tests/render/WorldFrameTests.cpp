#include "render/World.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <memory>
#include <vector>

#include "app/Globals.h"
#include "render/ParticleSystem.h"
#include "render/RenderTargets.h"
#include "scene/Shape.h"
#include "tests/scene/TestModels.h"
#include "tests/support/GlTestContext.h"

using namespace frostline;

namespace {

/// A shape that counts its updates.
class CountingShape : public scene::Shape {
public:
    using Shape::Shape;
    void update(float dt) override
    {
        ++updates;
        lastDt = dt;
    }
    int updates = 0;
    float lastDt = 0.0f;
};

/// A 40 x 40 snow field with a 2-unit block on it, seen from above and behind,
/// in a World without a level; GL state as the game sets it.
class WorldFrameTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(test::ensureGlContext(), nullptr);
        world = std::make_unique<World>(LevelContent::Empty);
        ground = addShape("ground.obj", test::planeObj(20.0f));
        block = addShape("block.obj", test::cubeObj(1.0f, vec3(0.0f, 1.0f, 0.0f)));
        world->camera->position = vec3(0.0f, 6.0f, 12.0f);
        world->camera->pitch = -25.0f;
        world->camera->update(0.0f);

        test::startLikeTheGame();
        blurReferenceRate = 60.0f;
    }

    void TearDown() override
    {
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        wireframe = false;
        motionBlur = true;
        frustumCulling = false;
        shapes.clear();
        world.reset();
    }

    CountingShape* addShape(const std::string& name, const std::string& obj)
    {
        shapes.push_back(std::make_unique<CountingShape>(world->basicProgram, world->motionBlurProgram,
                                                         folder.write(name, obj)));
        world->objects.insert(shapes.back().get());
        return shapes.back().get();
    }

    mat4 viewProjection() const { return world->camera->projection * inverse(world->camera->modelMatrix); }

    /// Window pixel at which a world point appears.
    glm::ivec2 pixelOf(vec3 point) const
    {
        const vec4 clip = viewProjection() * vec4(point, 1.0f);
        const vec2 ndc = vec2(clip) / clip.w;
        return {static_cast<int>((ndc.x * 0.5f + 0.5f) * windowWidth),
                static_cast<int>((ndc.y * 0.5f + 0.5f) * windowHeight)};
    }

    /// Renders one frame (and waits for it).
    void renderFrame()
    {
        world->renderFrame();
        glFinish();
    }

    test::Rgba windowPixel(vec3 point) const
    {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        const glm::ivec2 p = pixelOf(point);
        return test::readPixel(p.x, p.y);
    }

    /// The motion written by the scene pass at a world point (texture units), from what
    /// the velocity image stores (motion * 2 + 0.5).
    vec2 velocityAt(vec3 point) const
    {
        const glm::ivec2 p = pixelOf(point);
        vec2 stored(0.0f);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, world->sceneTarget->framebuffer);
        glReadBuffer(GL_COLOR_ATTACHMENT1);
        glReadPixels(p.x, p.y, 1, 1, GL_RG, GL_FLOAT, &stored.x);
        glReadBuffer(GL_COLOR_ATTACHMENT0);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        return (stored - velocityAtRest) * 0.5f;
    }

    /// Pixels of the window whiter than the sky (red above the sky's 125 by more than
    /// 20: snow of a fifth or more coverage), and their mean x (pixels).
    static std::pair<int, float> snowOnTheSky()
    {
        std::vector<unsigned char> rgba(static_cast<size_t>(windowWidth) * windowHeight * 4);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, windowWidth, windowHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        int count = 0;
        double sumX = 0.0;
        for (int y = 0; y < windowHeight; ++y) {
            for (int x = 0; x < windowWidth; ++x) {
                if (rgba[(static_cast<size_t>(y) * windowWidth + x) * 4] > 145) {
                    ++count;
                    sumX += x;
                }
            }
        }
        return {count, count > 0 ? static_cast<float>(sumX / count) : 0.0f};
    }

    test::SceneFolder folder;
    std::unique_ptr<World> world;
    std::vector<std::unique_ptr<CountingShape>> shapes;
    CountingShape* ground = nullptr;
    CountingShape* block = nullptr;
};

int brightness(test::Rgba p) { return p.r + p.g + p.b; }

/// Keeps the window's picture for a look when FROSTLINE_FRAME_DIR names a folder.
void keepFrame(const std::string& name)
{
    if (const char* dir = std::getenv("FROSTLINE_FRAME_DIR")) {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        test::savePixelsPng(std::string(dir) + "/" + name);
    }
}

}  // namespace

TEST_F(WorldFrameTest, TheSkyShowsWithMotionBlurOnAndOff)
{
    // Through the blur composite the sky is light blue above the snow field.
    const vec3 skyPoint = world->camera->position + vec3(0.0f, 0.5f, -10.0f);
    renderFrame();
    renderFrame();
    const test::Rgba sky = windowPixel(skyPoint);
    EXPECT_NEAR(sky.r, 125, 2);
    EXPECT_NEAR(sky.g, 186, 2);
    EXPECT_EQ(sky.b, 255);
    const test::Rgba blockLit = windowPixel(vec3(0.0f, 1.0f, 1.0f));
    EXPECT_GT(brightness(blockLit), 200);
    keepFrame("frame_blur.png");

    // Drawn straight to the window (F6), the same frame has the same sky behind the
    // scene, and no GL error is left behind.
    motionBlur = false;
    while (glGetError() != GL_NO_ERROR) {
    }
    renderFrame();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    const test::Rgba plainSky = windowPixel(skyPoint);
    EXPECT_EQ(plainSky.r, 125);
    EXPECT_EQ(plainSky.g, 186);
    EXPECT_EQ(plainSky.b, 255);
    const test::Rgba blockPlain = windowPixel(vec3(0.0f, 1.0f, 1.0f));
    EXPECT_NEAR(blockPlain.g, blockLit.g, 3);
    keepFrame("frame_plain.png");

    // In wireframe the scene is lines, but the composite still fills the screen.
    motionBlur = true;
    wireframe = true;
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    renderFrame();
    const test::Rgba wireSky = windowPixel(skyPoint);
    EXPECT_EQ(wireSky.b, 255);
    GLint modes[2] = {0, 0};
    glGetIntegerv(GL_POLYGON_MODE, modes);
    EXPECT_EQ(modes[0], GL_LINE);
}

TEST_F(WorldFrameTest, TheBlocksShadowDarkensTheSnowRightUpToItsFoot)
{
    // The sun stands behind-left and high: the shadow falls toward +x and -z.
    renderFrame();
    renderFrame();
    keepFrame("frame_shadow.png");
    const test::Rgba lit = windowPixel(vec3(-4.0f, 0.0f, 4.0f));
    const test::Rgba shadowed = windowPixel(vec3(1.6f, 0.0f, -1.6f));
    const test::Rgba atFoot = windowPixel(vec3(1.15f, 0.0f, -0.5f));
    EXPECT_GT(brightness(lit), 600);
    // The shade is a soft blue-grey, about seven tenths of the sunlit snow.
    EXPECT_LT(brightness(shadowed), brightness(lit) - 150);
    EXPECT_LT(brightness(atFoot), brightness(lit) - 150) << "the shadow must touch the block";

    // Lit snow away from the block is evenly lit: no speckles of self-shadowing.
    int checked = 0;
    for (float x = -9.0f; x <= 9.0f; x += 0.7f) {
        for (float z = 2.5f; z <= 10.0f; z += 0.45f) {
            const glm::ivec2 p = pixelOf(vec3(x, 0.0f, z));
            if (p.x < 0 || p.y < 0 || p.x >= windowWidth || p.y >= windowHeight) {
                continue;
            }
            ++checked;
            const test::Rgba snow = windowPixel(vec3(x, 0.0f, z));
            EXPECT_NEAR(brightness(snow), brightness(lit), 6) << x << ", " << z;
        }
    }
    EXPECT_GT(checked, 200);
}

TEST_F(WorldFrameTest, WithoutADepthMapTheLevelIsDrawnLitWithoutShadows)
{
    // Lit snow and the block's sunny face with the depth map.
    renderFrame();
    renderFrame();
    const vec3 snowInTheOpen(-4.0f, 0.0f, 4.0f);
    const vec3 snowInTheShadow(1.6f, 0.0f, -1.6f);
    const vec3 sunnyFace(0.0f, 1.0f, 1.0f);
    const int litSnow = brightness(windowPixel(snowInTheOpen));
    const int litFace = brightness(windowPixel(sunnyFace));
    ASSERT_GT(litSnow, 600);

    // A depth map the driver refuses (twice its largest texture): one line says so.
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    testing::internal::CaptureStdout();
    world->createShadowMap(2 * largest, 4000);
    const std::string said = testing::internal::GetCapturedStdout();
    EXPECT_EQ(said, "FB error, status: " + std::to_string(GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT) + "\n");
    EXPECT_EQ(world->shadowCache, nullptr);

    // The level is drawn lit as before, the block casts no shadow, no GL error is left.
    renderFrame();
    renderFrame();
    keepFrame("frame_without_depth_map.png");
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_NEAR(brightness(windowPixel(snowInTheOpen)), litSnow, 6);
    EXPECT_NEAR(brightness(windowPixel(snowInTheShadow)), litSnow, 6);
    EXPECT_NEAR(brightness(windowPixel(sunnyFace)), litFace, 6);
}

TEST_F(WorldFrameTest, ATurnedBlockIsLitOnTheFaceTowardTheSun)
{
    // The sun stands high toward -x and +z. Seen from the front right, the block shows
    // its +z face (toward the sun) and its +x face (away from it), however it is turned:
    // a quarter turn brings other faces of the model there, lit as where they face now.
    world->camera->position = vec3(9.0f, 5.0f, 9.0f);
    world->camera->rotateY(45.0f);
    world->camera->update(0.0f);
    const vec3 towardSun(0.0f, 1.0f, 1.001f);
    const vec3 awayFromSun(1.001f, 1.0f, 0.0f);
    for (const float turn : {0.0f, 90.0f, 90.0f, 90.0f}) {
        SCOPED_TRACE("turned by another " + std::to_string(turn) + " degrees");
        block->rotateY(turn);
        renderFrame();
        renderFrame();
        const int lit = brightness(windowPixel(towardSun));
        const int dark = brightness(windowPixel(awayFromSun));
        // The shade is the sky's soft fill: clearly darker than the sunny face, never black.
        EXPECT_GT(lit, 550);
        EXPECT_LT(dark, lit - 150);
    }
    keepFrame("frame_turned_block.png");
}

TEST_F(WorldFrameTest, AMovingBlockTakesItsShadowAlong)
{
    // The shadow falls toward +x and -z of the block; the block slides 6 units toward -x
    // in three steps, and the snow where its shadow lay is lit again.
    renderFrame();
    renderFrame();
    const vec3 firstShadow(1.6f, 0.0f, -1.6f);
    const int lit = brightness(windowPixel(vec3(-4.0f, 0.0f, 4.0f)));
    ASSERT_LT(brightness(windowPixel(firstShadow)), lit - 150);
    for (int step = 0; step < 3; ++step) {
        block->translate(-2.0f, 0.0f, 0.0f);
        renderFrame();
    }
    EXPECT_NEAR(brightness(windowPixel(firstShadow)), lit, 6);
    EXPECT_LT(brightness(windowPixel(firstShadow - vec3(6.0f, 0.0f, 0.0f))), lit - 150);
}

TEST_F(WorldFrameTest, ACameraMovingSidewaysWritesTheSceneMotion)
{
    // Standing still, nothing moves on screen (after the first frame).
    renderFrame();
    renderFrame();
    const vec3 onGround(-3.0f, 0.0f, 2.0f);
    const vec2 still = velocityAt(onGround);
    EXPECT_NEAR(still.x, 0.0f, 1e-5f);  // a hundredth of a pixel: the stored motion's step
    EXPECT_NEAR(still.y, 0.0f, 1e-5f);

    // A step to the right slides the scene left by the projected difference.
    const vec4 before = viewProjection() * vec4(onGround, 1.0f);
    world->camera->translate(0.5f, 0.0f, 0.0f);
    world->camera->update(0.0f);
    const vec4 after = viewProjection() * vec4(onGround, 1.0f);
    const vec2 expected = (vec2(after) / after.w - vec2(before) / before.w) * 0.5f;
    renderFrame();
    const vec2 moved = velocityAt(onGround);
    EXPECT_LT(moved.x, 0.0f);
    EXPECT_NEAR(moved.x, expected.x, std::abs(expected.x) * 0.05f);
    EXPECT_NEAR(moved.y, expected.y, 2e-4f);

    // A last frame that is not a number (a broken matrix) gives no motion, not a streak.
    block->previousMvp = mat4(std::numeric_limits<float>::quiet_NaN());
    renderFrame();
    const vec2 broken = velocityAt(vec3(0.0f, 2.0f, 0.0f));
    EXPECT_NEAR(broken.x, 0.0f, 1e-5f);
    EXPECT_NEAR(broken.y, 0.0f, 1e-5f);
}

TEST_F(WorldFrameTest, HiddenObjectsAreNeitherCountedNorUpdatedNorDrawn)
{
    // A collected pick-up vanishes: no block, no shadow, no update.
    renderFrame();
    EXPECT_EQ(totalObjectCount, 2);
    EXPECT_EQ(drawnObjectCount, 2);
    const test::Rgba snow = windowPixel(vec3(-4.0f, 0.0f, 4.0f));

    block->hidden = true;
    world->update();
    EXPECT_EQ(block->updates, 0);
    EXPECT_EQ(ground->updates, 1);
    EXPECT_FLOAT_EQ(ground->lastDt, 1.0f / 60.0f);
    renderFrame();
    renderFrame();
    EXPECT_EQ(totalObjectCount, 1);
    EXPECT_EQ(drawnObjectCount, 1);
    EXPECT_NEAR(brightness(windowPixel(vec3(0.0f, 1.0f, 1.0f))), brightness(snow), 6);
    EXPECT_NEAR(brightness(windowPixel(vec3(1.6f, 0.0f, -1.6f))), brightness(snow), 6);
}

TEST_F(WorldFrameTest, CullingSkipsSmallObjectsBehindTheCameraOnly)
{
    // A block behind the eye, and a huge slab also behind it.
    CountingShape* behind = addShape("behind.obj", test::cubeObj(1.0f, vec3(0.0f, 1.0f, 0.0f)));
    behind->translate(0.0f, 0.0f, 30.0f);
    CountingShape* slab = addShape("slab.obj", test::planeObj(200.0f));
    slab->translate(0.0f, -50.0f, 400.0f);
    ASSERT_GE(slab->boundingRadius, cullingRadiusLimit);

    renderFrame();
    EXPECT_EQ(totalObjectCount, 4);
    EXPECT_EQ(drawnObjectCount, 4);

    // With culling on, only the small block behind is skipped; it keeps its last matrix.
    frustumCulling = true;
    const mat4 lastDrawn = behind->previousMvp;
    renderFrame();
    EXPECT_EQ(totalObjectCount, 4);
    EXPECT_EQ(drawnObjectCount, 3);
    EXPECT_EQ(behind->previousMvp, lastDrawn);
    EXPECT_EQ(slab->previousMvp, viewProjection() * slab->modelMatrix);
}

TEST_F(WorldFrameTest, UpdateSetsTheBlurForTheFrameRate)
{
    // Twice the reference rate halves the frame time and doubles the blur.
    deltaTime = 1.0f / 120.0f;
    world->update();
    EXPECT_NEAR(world->blurScale, 1.6f, 1e-4f);
    // A frame of no length keeps the last strength instead of an infinite one.
    deltaTime = 0.0f;
    world->update();
    EXPECT_NEAR(world->blurScale, 1.6f, 1e-4f);
    deltaTime = 1.0f / 20.0f;
    world->update();
    EXPECT_NEAR(world->blurScale, 0.26667f, 1e-4f);
    // During a boost the reference rate is 30.
    blurReferenceRate = 30.0f;
    deltaTime = 1.0f / 60.0f;
    world->update();
    EXPECT_NEAR(world->blurScale, 1.6f, 1e-4f);
}

TEST_F(WorldFrameTest, SpraysFollowTheRunnersAndShowOnlyWhileTheSledMoves)
{
    world->leftSpray = new scene::ParticleSystem(world->particleProgram, world->motionBlurProgram);
    world->rightSpray = new scene::ParticleSystem(world->particleProgram, world->motionBlurProgram);

    // The sprays sit at the runners in the sled's own (turned) frame.
    SledSprayState sled;
    sled.modelMatrix = rotate(translate(mat4(1.0f), vec3(0.0f, 2.0f, 0.0f)), vec3(0, 1, 0), 90.0f);
    sled.speed = 20.0f;
    sled.maxSpeed = 40.0f;
    world->placeSprays(sled);
    const vec3 left = world->leftSpray->getPosition();
    EXPECT_NEAR(left.x, 0.1f, 1e-5f);
    EXPECT_NEAR(left.y, 0.8f, 1e-5f);
    EXPECT_NEAR(left.z, 0.95f, 1e-5f);
    EXPECT_NEAR(world->rightSpray->getPosition().z, -0.95f, 1e-5f);
    EXPECT_FLOAT_EQ(world->leftSpray->factor, 0.25f);
    EXPECT_FLOAT_EQ(world->rightSpray->factor, 0.25f);

    // Snow only, on the sky: no objects, no blur.
    world->objects.clear();
    motionBlur = false;
    sled.modelMatrix = translate(mat4(1.0f), vec3(0.0f, 2.0f, 0.0f));
    sled.speed = 40.0f;
    world->placeSprays(sled);
    const auto sprayFrame = [&](bool leftActive, bool rightActive, float speed) {
        sled.leftSprayActive = leftActive;
        sled.rightSprayActive = rightActive;
        sled.speed = speed;
        world->renderFrame();
        world->drawSprays(viewProjection(), sled);
        glFinish();
        return snowOnTheSky();
    };

    // Without a sled the frame has no sprays at all.
    world->renderFrame();
    EXPECT_EQ(snowOnTheSky().first, 0);

    // Standing still, neither side throws snow, and the matrices are left alone.
    const mat4 rightBefore = world->rightSpray->previousMvp;
    EXPECT_EQ(sprayFrame(true, true, 0.0f).first, 0);
    EXPECT_EQ(world->rightSpray->previousMvp, rightBefore);

    // Moving with only the left runner braking: snow on the left, the right spray
    // not drawn but its matrix kept current.
    const auto [leftCount, leftCentre] = sprayFrame(true, false, 40.0f);
    keepFrame("frame_spray_left.png");
    EXPECT_GT(leftCount, 200);
    EXPECT_EQ(world->rightSpray->previousMvp, viewProjection() * world->rightSpray->modelMatrix);
    const auto [rightCount, rightCentre] = sprayFrame(false, true, 40.0f);
    EXPECT_GT(rightCount, 200);
    EXPECT_GT(rightCentre - leftCentre, 60.0f);
    const auto [bothCount, bothCentre] = sprayFrame(true, true, 40.0f);
    EXPECT_GT(bothCount, leftCount);
    keepFrame("frame_spray_both.png");

    // A weak spray shows fewer flakes.
    sled.speed = 8.0f;
    world->placeSprays(sled);
    EXPECT_LT(sprayFrame(true, true, 8.0f).first, bothCount);
}
