#include "ghost/GhostRun.h"
#include "ghost/GhostSession.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace frostline;

namespace {

/// A sled riding a quarter circle of radius 50 in 20 s, turning as it goes, its left
/// part swinging out and back once a second.
GhostPose ridden(float seconds)
{
    const float angle = seconds / 20.0f * 1.5708f;
    GhostPose pose;
    pose.position = glm::vec3(50.0f * std::sin(angle), 100.0f - seconds, 50.0f * std::cos(angle));
    pose.orientation = glm::angleAxis(angle, glm::vec3(0.0f, 1.0f, 0.0f));
    pose.leftLean = 20.0f * (1.0f - std::cos(seconds * 6.2832f));
    return pose;
}

/// The run recorded from frames of frameSeconds each, won at 20 s.
GhostRun recordAt(float frameSeconds)
{
    GhostRecorder recorder;
    recorder.start();
    for (float t = 0.0f; t <= 20.0f; t += frameSeconds) {
        recorder.frame(t, ridden(t));
    }
    recorder.finish(20.0f);
    return recorder.run();
}

float apart(const GhostPose& a, const GhostPose& b)
{
    return glm::length(a.position - b.position) + std::fabs(a.leftLean - b.leftLean) +
           (1.0f - std::fabs(glm::dot(a.orientation, b.orientation)));
}

}  // namespace

TEST(GhostRun, TheRunIsTheSameWhateverTheFrameRateAndSurvivesItsFile)
{
    // Recorded at 30 and at 144 frames a second, a ride gives a sample every twentieth of
    // a second, and both replay where the sled was, between the samples too.
    const GhostRun slow = recordAt(1.0f / 30.0f);
    const GhostRun fast = recordAt(1.0f / 144.0f);
    EXPECT_NEAR(static_cast<float>(slow.samples.size()), 401.0f, 1.0f);
    EXPECT_NEAR(static_cast<float>(fast.samples.size()), 401.0f, 1.0f);
    for (const float t : {0.0f, 0.37f, 5.02f, 13.333f, 19.9f}) {
        EXPECT_LT(apart(slow.poseAt(t), ridden(t)), 0.35f) << t;
        EXPECT_LT(apart(fast.poseAt(t), ridden(t)), 0.35f) << t;
    }
    EXPECT_LT(apart(slow.poseAt(-1.0f), ridden(0.0f)), 1e-4f) << "before GO it waits at the start";
    EXPECT_LT(apart(slow.poseAt(99.0f), slow.samples.back()), 1e-4f) << "after its end it stays";

    // Its file gives the same run back, and writing that again gives the same bytes.
    const std::string bytes = writeGhostRun(slow);
    const std::optional<GhostRun> back = readGhostRun(bytes);
    ASSERT_TRUE(back.has_value());
    EXPECT_TRUE(writeGhostRun(*back) == bytes) << "written again, the same bytes";
    EXPECT_NEAR(back->finishTime, 20.0f, 1e-3f);
    EXPECT_LT(apart(back->poseAt(7.77f), slow.poseAt(7.77f)), 1e-3f);

    // A file that is not a whole run is none.
    const std::string lines[] = {"", "frostline ghost 2\n", bytes.substr(0, bytes.size() / 2),
                                 bytes + "1 2 3 1 0 0 0 0 0\n",
                                 bytes.substr(0, bytes.rfind("\n", bytes.size() - 2)) + "\nx\n"};
    for (const std::string& broken : lines) {
        EXPECT_FALSE(readGhostRun(broken).has_value()) << broken.substr(0, 40);
    }
    std::string nan = bytes;
    nan.replace(nan.find('\n', nan.find("samples")) + 1, 3, "nan");
    EXPECT_FALSE(readGhostRun(nan).has_value());
}

TEST(GhostSession, TheGuideRidesUntilAWinAndOnlyAFasterWinReplacesTheBest)
{
    GhostSession session;
    EXPECT_EQ(session.ride(), nullptr) << "no guide file, no win: no ghost";
    GhostRun guide = recordAt(0.1f);
    guide.finishTime = 30.0f;
    session.setGuide(guide);
    ASSERT_NE(session.ride(), nullptr);
    EXPECT_FALSE(session.ridesBest());

    GhostRun lost = recordAt(0.1f);
    lost.finishTime = -1.0f;
    EXPECT_FALSE(session.offerWin(lost)) << "a lost race is no best";
    EXPECT_FALSE(session.ridesBest());

    GhostRun first = recordAt(0.1f);
    first.finishTime = 41.0f;  // slower than the guide, yet the player's own
    EXPECT_TRUE(session.offerWin(first));
    EXPECT_TRUE(session.ridesBest());
    GhostRun slower = first;
    slower.finishTime = 45.0f;
    EXPECT_FALSE(session.offerWin(slower));
    EXPECT_FLOAT_EQ(session.ride()->finishTime, 41.0f);
    GhostRun faster = first;
    faster.finishTime = 35.5f;
    EXPECT_TRUE(session.offerWin(faster));
    EXPECT_FLOAT_EQ(session.ride()->finishTime, 35.5f);
}
