// The ghost rider's guide, as a newcomer meets it on the first race: its path, ridden
// back through the replay by the sled's own body, passes the level's gates 1 to 5 in
// order within the clock.
#include <gtest/gtest.h>

#include <cstdio>
#include <optional>

#include "app/FileReading.h"
#include "app/GhostRace.h"
#include "ghost/GhostRun.h"
#include "physics/CapsuleController.h"
#include "tests/level/RaceHarness.h"
#include "tests/support/GlTestContext.h"

using namespace frostline;

TEST(GhostGuide, ItsPathPassesEveryGateInOrderWithinTheClock)
{
    ASSERT_NE(test::ensureGlContext(), nullptr);
    const std::optional<std::string> bytes = readWholeFile(guideGhostPath);
    ASSERT_TRUE(bytes.has_value()) << guideGhostPath;
    const std::optional<GhostRun> guide = readGhostRun(*bytes);
    ASSERT_TRUE(guide.has_value());
    ASSERT_TRUE(guide->won());

    // The sled's capsule follows the replayed pose frame by frame (the drawn sled sits a
    // little above the capsule's centre); what it touches, the race's rules judge.
    test::RaceHarness race;
    const float frame = 1.0f / 60.0f;
    const float modelLift = 0.4f;
    float clock = race.race->timeLeft;
    for (float t = 0.0f; t <= guide->finishTime + 1.0f && !race.race->gameOver; t += frame) {
        const GhostPose pose = guide->poseAt(t);
        const vec3 centre = pose.position - glm::mat3_cast(pose.orientation) * vec3(0.0f, modelLift, 0.0f);
        const int before = race.race->nextCheckpoint;
        race.sled->controller->move(centre - race.sled->getPosition(), 1e-4f, frame);
        clock -= frame;
        if (race.race->nextCheckpoint != before) {
            std::printf("guide: gate %d at %.2f s, %.2f s left on the clock\n", before, t, clock);
            EXPECT_GT(clock, 0.0f) << "gate " << before << " within the clock";
            clock += race.race->checkpointTimeBonus;
        }
    }
    EXPECT_EQ(race.race->nextCheckpoint, 6) << "every gate passed";
    EXPECT_TRUE(race.race->gameOver);
    EXPECT_FALSE(race.race->lost) << "no gate out of turn";
}
