// The game's frame is drawn with savings (the sun's depth map kept between frames,
// and the other shortcuts of the passes); the plain way draws every pass in full.
// Both must show the same picture: a scripted ride on the real level is rendered
// both ways and the frames compared pixel by pixel.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/Globals.h"
#include "physics/ControllerShape.h"
#include "render/ParticleSystem.h"
#include "render/ShadowCache.h"
#include "render/World.h"
#include "scene/Collectable.h"
#include "scene/StaticShape.h"
#include "scene/Terrain.h"
#include "tests/support/GlTestContext.h"

using namespace frostline;

namespace {

/// One frame of the window as RGBA bytes.
using Frame = std::vector<unsigned char>;

Frame readWindow()
{
    Frame pixels(static_cast<size_t>(windowWidth) * windowHeight * 4);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, windowWidth, windowHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

/// How two frames differ: the largest difference of a colour channel and the pixels that differ.
struct Difference {
    int largest = 0;
    int pixels = 0;
};

Difference compare(const Frame& a, const Frame& b)
{
    Difference d;
    for (size_t p = 0; p < a.size(); p += 4) {
        int largest = 0;
        for (size_t c = 0; c < 3; ++c) {
            largest = std::max(largest, std::abs(int(a[p + c]) - int(b[p + c])));
        }
        d.largest = std::max(d.largest, largest);
        d.pixels += largest > 0 ? 1 : 0;
    }
    return d;
}

/// The real level with its sled at the start, seen by the chase camera, and a script
/// that moves it: the sled rides ahead with its sprays, a pick-up spins in view and
/// is collected half-way, a standing object that should stay put is moved.
class SamePictureTest : public testing::Test {
protected:
    static constexpr int frameCount = 14;

    void SetUp() override
    {
        ASSERT_NE(test::ensureGlContext(), nullptr);
        world = std::make_unique<World>();
        sled = world->player;
        // One step as the game takes it puts the drawn sled where its body stands.
        deltaTime = 1.0f / 60.0f;
        world->update();
        sled->updateChaseCamera();
        world->camera->update(0.0f);
        // The pick-up and the standing object nearest to the sled (the set's order is by address).
        const auto distance = [this](scene::SceneObject* object) {
            return glm::distance(object->getPosition(), sled->getPosition());
        };
        for (scene::SceneObject* object : world->objects) {
            if (auto* collectable = dynamic_cast<scene::Collectable*>(object)) {
                if (!pickUp || distance(collectable) < distance(pickUp)) {
                    pickUp = collectable;
                }
            } else if (auto* still = dynamic_cast<scene::StaticShape*>(object)) {
                if (!standing || distance(still) < distance(standing)) {
                    standing = still;
                }
            }
        }
        ASSERT_NE(pickUp, nullptr);
        ASSERT_NE(standing, nullptr);

        // The pick-up and the standing object stand a little ahead of the sled, in view.
        const vec3 ahead = sled->heading;
        const vec3 side = glm::cross(ahead, vec3(0.0f, 1.0f, 0.0f));
        pickUp->modelMatrix[3] = vec4(sled->getPosition() + ahead * 9.0f + side * 1.5f + vec3(0, 1, 0), 1.0f);
        standing->modelMatrix[3] = vec4(sled->getPosition() + ahead * 16.0f - side * 5.0f, 1.0f);

        // Scripted spray time: both ways see the same flakes.
        for (scene::ParticleSystem* spray : {world->leftSpray, world->rightSpray}) {
            spray->clock = [this] { return sprayTime; };
        }
        for (scene::SceneObject* object : world->objects) {
            start[object] = {object->modelMatrix, static_cast<scene::Shape*>(object)->previousMvp,
                             static_cast<scene::Shape*>(object)->hidden};
        }
        // The land around the course is drawn apart from the object set.
        ASSERT_TRUE(world->surroundings);
        start[world->surroundings.get()] = {world->surroundings->modelMatrix,
                                            world->surroundings->previousMvp, false};
        startCamera = *world->camera;
        test::startLikeTheGame();
    }

    void TearDown() override { world.reset(); }

    /// Puts every object, the sprays and the camera back where the ride starts.
    void rewind()
    {
        for (auto& [object, state] : start) {
            auto* shape = static_cast<scene::Shape*>(object);
            shape->modelMatrix = state.model;
            shape->previousMvp = state.previousMvp;
            shape->hidden = state.hidden;
        }
        for (scene::ParticleSystem* spray : {world->leftSpray, world->rightSpray}) {
            spray->previousMvp = mat4(1.0f);
        }
        *world->camera = startCamera;
        world->camera->update(0.0f);
    }

    /// Frame k of the ride, as the main loop draws it.
    Frame frame(int k)
    {
        // The sled, its parts and the camera 1.2 units further along the heading.
        const vec3 step = sled->heading * (1.2f * static_cast<float>(k));
        for (scene::SceneObject* part :
             {static_cast<scene::SceneObject*>(sled), static_cast<scene::SceneObject*>(sled->leftPart),
              static_cast<scene::SceneObject*>(sled->rightPart)}) {
            part->modelMatrix = start[part].model;
            part->modelMatrix[3] += vec4(step, 0.0f);
        }
        world->camera->position = startCamera.position + step;
        world->camera->update(0.0f);
        // Braking on one side, then both, at about three quarters of top speed.
        sled->speed = sled->maxSpeed * 0.75f;
        sled->leftSprayActive = true;
        sled->rightSprayActive = k > 3;
        world->placeSprays(world->sledSprayState());
        sprayTime = 20.0 + k / 30.0;
        world->blurScale = 0.4f;
        // The pick-up spins and is collected on frame 7; the standing object moves on frame 4.
        pickUp->update(1.0f / 30.0f);
        if (k == 7) {
            pickUp->hidden = true;
        }
        if (k == 4) {
            standing->modelMatrix[3] += vec4(0.0f, 0.0f, 2.0f, 0.0f);
        }

        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        if (leftoverWindow) {
            // What a frame that skipped its clear finds: an old picture (magenta here)
            // and a depth buffer at the near plane, where every test would fail.
            glClearColor(1.0f, 0.0f, 1.0f, 1.0f);
            glClearDepth(0.0);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            glClearDepth(1.0);
            glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        } else {
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        }
        world->renderFrame();
        glFinish();
        return readWindow();
    }

    std::vector<Frame> ride(bool plain)
    {
        rewind();
        world->plainPasses = plain;
        std::vector<Frame> frames;
        for (int k = 0; k < frameCount; ++k) {
            frames.push_back(frame(k));
            keepFrame(frames.back(), (plain ? "plain_" : "saving_") + std::to_string(k) + ".png");
        }
        return frames;
    }

    /// Keeps a frame for a look when FROSTLINE_FRAME_DIR names a folder.
    static void keepFrame(const Frame&, const std::string& name)
    {
        if (const char* dir = std::getenv("FROSTLINE_FRAME_DIR")) {
            test::savePixelsPng(std::string(dir) + "/" + name);
        }
    }

    struct StartState {
        mat4 model{1.0f};
        mat4 previousMvp{1.0f};
        bool hidden = false;
    };

    std::unique_ptr<World> world;
    scene::ControllerShape* sled = nullptr;
    scene::Collectable* pickUp = nullptr;
    scene::StaticShape* standing = nullptr;  ///< the standing object that moves
    std::map<scene::SceneObject*, StartState> start;
    scene::Camera startCamera;
    double sprayTime = 0.0;
    bool leftoverWindow = false;  ///< start each frame on an uncleared window
};

}  // namespace

TEST_F(SamePictureTest, ARideLooksTheSameDrawnInFullAndWithSavings)
{
    const std::vector<Frame> plain = ride(true);
    const std::vector<Frame> saving = ride(false);

    // The ride shows movement: the last frame is not the first.
    EXPECT_GT(compare(plain.front(), plain.back()).pixels, 10000);
    // Every frame the same, up to one level where floating-point work runs in another order.
    int differing = 0;
    for (int k = 0; k < frameCount; ++k) {
        const Difference d = compare(plain[k], saving[k]);
        EXPECT_LE(d.largest, 1) << "frame " << k << ": " << d.pixels << " pixels differ";
        differing += d.pixels;
    }
    std::printf("%d frames compared, %d pixels differ by one level\n", frameCount, differing);
    // Some shapes, and some chunks of the terrain, lie outside the last view: the
    // savings left them out.
    const mat4 viewProjection = world->camera->projection * glm::inverse(world->camera->getModelMatrix());
    size_t chunksLeftOut = 0;
    size_t chunkCount = 0;
    size_t shapesLeftOut = 0;
    for (scene::SceneObject* object : world->objects) {
        auto* shape = static_cast<scene::Shape*>(object);
        vec3 boxMin;
        vec3 boxMax;
        if (scene::meshesBox(*shape, boxMin, boxMax) &&
            scene::boxOutsideView(viewProjection * shape->getModelMatrix(), boxMin, boxMax)) {
            ++shapesLeftOut;
        }
        if (auto* terrain = dynamic_cast<scene::Terrain*>(object)) {
            const mat4 mvp = viewProjection * terrain->getModelMatrix();
            for (const scene::MeshEntry& entry : *terrain->meshes) {
                chunkCount += entry.chunks.size();
                for (const scene::MeshChunk& chunk : entry.chunks) {
                    chunksLeftOut += scene::boxOutsideView(mvp, chunk.boxMin, chunk.boxMax) ? 1 : 0;
                }
            }
        }
    }
    EXPECT_GT(chunksLeftOut, 0u);
    EXPECT_GT(shapesLeftOut, 0u);
    EXPECT_LT(chunksLeftOut, chunkCount);
    // The still part of the depth map holds the scenery and gates, but neither the sled
    // and its two parts, nor the pick-ups, nor the standing object that moved.
    size_t pickUps = 0;
    for (scene::SceneObject* object : world->objects) {
        pickUps += dynamic_cast<scene::Collectable*>(object) ? 1 : 0;
    }
    ASSERT_NE(world->shadowCache, nullptr);
    EXPECT_GT(world->shadowCache->stillCount(), 10u);
    EXPECT_EQ(world->shadowCache->stillCount(), world->objects.size() - pickUps - 3 - 1);
}

TEST_F(SamePictureTest, TheCompositeReplacesWhateverTheWindowHeld)
{
    // The game does not clear a window the blur composite covers: every frame must be
    // the same as on a cleared window, whatever colour and depth the last one left.
    const std::vector<Frame> cleared = ride(false);
    leftoverWindow = true;
    const std::vector<Frame> leftover = ride(false);
    for (int k = 0; k < frameCount; ++k) {
        const Difference d = compare(cleared[k], leftover[k]);
        EXPECT_EQ(d.pixels, 0) << "frame " << k << ": largest difference " << d.largest;
    }
    EXPECT_TRUE(world->compositeCoversWindow());
    world->plainPasses = true;
    EXPECT_FALSE(world->compositeCoversWindow());
}
