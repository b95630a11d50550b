// The way to the next gate as the player sees it on the real level: the gates'
// signs follow the race, and the arrow at the screen's edge points toward the
// next gate whenever its sign is out of sight.
#include <gtest/gtest.h>

#include <cmath>
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
            shown += sign->look == scene::GateLook::Next ? 'N' : sign->look == scene::GateLook::Passed ? 'p' : '.';
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
    int hidden = 0;
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
            const vec4 world = sign.getModelMatrix() * vec4(0.5f * (boxMin + boxMax), 1.0f);
            const vec4 eye = inverse(camera.getModelMatrix()) * world;
            const vec4 clip = camera.projection * eye;
            const bool onScreen = clip.w > 0.0f && std::fabs(clip.x / clip.w) <= 1.0f &&
                                  std::fabs(clip.y / clip.w) <= 1.0f;
            const std::string where = "at " + std::to_string(standAt) + ", turn " + std::to_string(turn);
            EXPECT_EQ(guide.inView, onScreen) << where;
            EXPECT_EQ(guide.pointer, !onScreen) << where;
            if (onScreen) {
                ++hidden;
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
    // Both cases were met.
    EXPECT_GT(shown, 20);
    EXPECT_GT(hidden, 5);

    // Once the race is decided there is nothing to point at.
    race.race->gameOver = true;
    EXPECT_FALSE(ui::guideToNextGate(*race.world, *race.race).active);
}
