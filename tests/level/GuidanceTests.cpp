// The way to the next gate as the player sees it on the real level: the gates'
// signs follow the race, and an arrow points toward the next gate whenever its
// sign cannot be seen, off the screen or hidden on it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "render/Texture.h"
#include "scene/GateMarker.h"
#include "tests/level/RaceHarness.h"
#include "tests/support/GlTestContext.h"
#include "ui/GatePointer.h"

using namespace frostline;

namespace {

/// Smallest difference of two angles (degrees).
float angleBetween(float a, float b)
{
    return std::fabs(std::remainder(a - b, 360.0f));
}

}  // namespace

TEST(GuidanceTest, TheSignsMarkTheNextGateAndDimThePassedOnes)
{
    ASSERT_NE(test::ensureGlContext(), nullptr);
    test::RaceHarness race;
    const auto looks = [&] {
        std::string shown;
        for (scene::GateMarker* sign : race.world->gateMarkers) {
            sign->update(0.0f);
            shown += sign->look == scene::GateLook::Next     ? 'N'
                     : sign->look == scene::GateLook::Passed ? 'p'
                                                             : '.';
        }
        return shown;
    };
    // One sign a gate, each standing on its gate.
    ASSERT_EQ(race.world->gateMarkers.size(), 5u);
    for (scene::GateMarker* sign : race.world->gateMarkers) {
        EXPECT_EQ(sign->getModelMatrix(), race.gate(sign->number)->getModelMatrix());
    }
    EXPECT_EQ(looks(), "N....");
    race.race->passCheckpoint(*race.gate(1));
    race.race->passCheckpoint(*race.gate(2));
    EXPECT_EQ(looks(), "ppN..");
    // Each look is a picture of its own: what is drawn changes with it.
    std::vector<std::string> pictures;
    for (const scene::MeshEntry& mesh : *race.world->gateMarkers[2]->meshes) {
        pictures.push_back(mesh.texture->path);
    }
    EXPECT_EQ(pictures, (std::vector<std::string>{"models/gatesign3_next.png", "models/palette.png"}));
    for (int id = 3; id <= 5; ++id) {
        race.race->passCheckpoint(*race.gate(id));
    }
    EXPECT_EQ(looks(), "ppppp");
}

TEST(GuidanceTest, TheArrowPointsTowardTheNextGateWheneverItIsOutOfSight)
{
    ASSERT_NE(test::ensureGlContext(), nullptr);
    test::RaceHarness race;
    scene::Camera& camera = *race.world->camera;
    int shown = 0;
    int seen = 0;
    int hidden = 0;
    const vec2 half(512.0f, 384.0f);
    // The sled at the start and at every gate, for the first gate and the one after,
    // turned all the way round in steps of 30 degrees.
    for (int standAt = 0; standAt <= 5; ++standAt) {
        const vec3 place = standAt == 0 ? race.sled->respawnPosition : race.gate(standAt)->getPosition();
        race.race->nextCheckpoint = standAt == 5 ? 1 : standAt + 1;
        for (int turn = 0; turn < 12; ++turn) {
            race.sled->setPosition(place.x, place.y, place.z);
            race.sled->rotateY(30.0f);
            race.sled->updateChaseCamera();
            camera.update(0.0f);
            const ui::GateGuide guide = ui::guideToNextGate(*race.world, *race.race);
            ASSERT_TRUE(guide.active);
            EXPECT_EQ(guide.gate, race.race->nextCheckpoint);

            // Where the next gate's sign is seen, worked out here from the camera alone.
            scene::GateMarker& sign = *race.world->gateMarkers[guide.gate - 1];
            vec3 boxMin;
            vec3 boxMax;
            ASSERT_TRUE(scene::meshesBox(sign, boxMin, boxMax));
            const mat4 view = inverse(camera.getModelMatrix());
            const vec4 world = sign.getModelMatrix() * vec4(0.5f * (boxMin + boxMax), 1.0f);
            const vec4 eye = view * world;
            const vec4 clip = camera.projection * eye;
            const bool onScreen = clip.w > 0.0f && std::fabs(clip.x / clip.w) <= 1.0f &&
                                  std::fabs(clip.y / clip.w) <= 1.0f;
            const std::string where = "at " + std::to_string(standAt) + ", turn " + std::to_string(turn);
            // A sign seen (even only an edge of it) needs no arrow.
            EXPECT_NE(guide.inView, guide.pointer) << where;
            if (guide.inView) {
                ++seen;
                continue;
            }
            if (onScreen) {
                // Its place is on the screen, but a hill, a tree or a wall hides it: the arrow
                // stands just below (or above) that place and points at it, its tip clear of
                // everything of the sign's board.
                ++hidden;
                EXPECT_TRUE(guide.hidden) << where;
                const vec2 at = vec2(clip) / clip.w * half;
                const vec2 arrow = guide.pointerPosition * half;
                float footprint = 0.0f;
                const scene::MeshEntry& board = sign.meshes->front();
                for (int k = 0; k < 8; ++k) {
                    const vec3 corner(k & 1 ? board.boxMax.x : board.boxMin.x,
                                      k & 2 ? board.boxMax.y : board.boxMin.y,
                                      k & 4 ? board.boxMax.z : board.boxMin.z);
                    const vec4 c = camera.projection * view * sign.getModelMatrix() * vec4(corner, 1.0f);
                    footprint = std::max(footprint, glm::length(vec2(c) / c.w * half - at));
                }
                EXPECT_GE(glm::distance(arrow, at) - 36.0f, footprint)
                    << where << ": the arrow's tip is on the sign";
                if (std::fabs(at.x) < half.x - 70.0f) {
                    const float toward = std::atan2(at.y - arrow.y, at.x - arrow.x) / degreesToRadians;
                    EXPECT_LT(angleBetween(guide.angle, toward), 1.0f) << where;
                }
                continue;
            }
            ++shown;
            if (clip.w > 0.0f) {
                // In front but off the screen: along the line from the centre to its projection.
                const float toProjection =
                    std::atan2(clip.y / clip.w * 768.0f, clip.x / clip.w * 1024.0f) / degreesToRadians;
                EXPECT_LT(angleBetween(guide.angle, toProjection), 5.0f) << where;
            } else {
                // Behind the eye: toward its side of the view, as the camera would have to turn.
                const float toSide = std::atan2(eye.y, eye.x) / degreesToRadians;
                EXPECT_LT(angleBetween(guide.angle, toSide), 5.0f) << where;
            }
            // The arrow stands inside the screen, clear of the labels at the top and bottom.
            EXPECT_LE(std::fabs(guide.pointerPosition.x), 0.9f) << where;
            EXPECT_LE(guide.pointerPosition.y, 0.46f) << where;
            EXPECT_GE(guide.pointerPosition.y, -0.67f) << where;
        }
    }
    // Every case was met: out of view, seen, and on the screen but hidden.
    std::printf("Guide: %d out of view, %d seen, %d hidden\n", shown, seen, hidden);
    EXPECT_GT(shown, 20);
    EXPECT_GT(seen, 5);
    EXPECT_GT(hidden, 0);

    // Once the race is decided there is nothing to point at.
    race.race->gameOver = true;
    EXPECT_FALSE(ui::guideToNextGate(*race.world, *race.race).active);
}
