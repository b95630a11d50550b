// The race rules on gates and pick-ups of a small level, and what the message
// line tells the player of them.
#include <gtest/gtest.h>

#include <functional>

#include "app/RaceState.h"
#include "tests/level/SmallLevel.h"
#include "tests/support/GlTestContext.h"
#include "ui/Hud.h"

using namespace frostline;

namespace {

const char* const missedMessage = "Verloren! Checkpoint verpasst\n";

/// Five gates in a row (ids 1 to 5) and a fresh race.
class RaceRulesTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(test::ensureGlContext(), nullptr);
        level = std::make_unique<test::SmallLevel>();
        scene::nextCheckpointId = 1;
        for (int i = 0; i < 5; ++i) {
            gates.push_back(&level->gate(vec3(10.0f * i, 0.0f, 0.0f)));
        }
    }

    /// Passes a gate and returns what the rules printed.
    std::string pass(int id)
    {
        testing::internal::CaptureStdout();
        race.passCheckpoint(*gates.at(id - 1));
        return testing::internal::GetCapturedStdout();
    }

    std::unique_ptr<test::SmallLevel> level;
    std::vector<scene::Checkpoint*> gates;
    RaceState race;
};

}  // namespace

TEST_F(RaceRulesTest, GatesInOrderWinTheRaceAndGainTenSecondsEach)
{
    // The player passes all five gates in order: no complaint, 50 seconds more, won.
    std::string printed;
    for (int id = 1; id <= 5; ++id) {
        EXPECT_FALSE(race.gameOver) << "before gate " << id;
        printed += pass(id);
    }
    EXPECT_EQ(printed, "");
    EXPECT_FLOAT_EQ(race.timeLeft, 60.0f);
    EXPECT_EQ(race.nextCheckpoint, 6);
    EXPECT_TRUE(race.gameOver);
    EXPECT_FALSE(race.lost);

    // Every passed gate lost its body: the sled rides through it from now on.
    for (scene::Checkpoint* gate : gates) {
        EXPECT_EQ(gate->getActor(), nullptr);
        EXPECT_FALSE(gate->hidden);
    }
}

TEST_F(RaceRulesTest, SkippingAGateLosesAndEveryLaterGateComplainsAgain)
{
    const std::size_t bodies = level->actorsInScene();
    pass(1);
    // The player misses gate 2 and rides through gate 3: "Verloren!", the race is lost, and
    // the count stays at gate 2, the gate that was next: the wrong gate is not counted.
    EXPECT_EQ(pass(3), missedMessage);
    EXPECT_TRUE(race.gameOver);
    EXPECT_TRUE(race.lost);
    EXPECT_EQ(race.nextCheckpoint, 2);
    EXPECT_EQ(race.wrongGate, 3);
    EXPECT_EQ(race.missedGate, 2);
    EXPECT_FLOAT_EQ(race.timeLeft, 20.0f);
    EXPECT_EQ(level->actorsInScene(), bodies - 2);

    // Gate 4 is not the 2 expected either.
    EXPECT_EQ(pass(4), missedMessage);
    // Gate 5 after a loss is no win.
    EXPECT_EQ(pass(5), missedMessage);
    EXPECT_TRUE(race.gameOver);
    EXPECT_TRUE(race.lost);
    // Gate 2 at last, in its turn: the count moves on; the loss and its reason stay.
    EXPECT_EQ(pass(2), "");
    EXPECT_EQ(race.nextCheckpoint, 3);
    EXPECT_EQ(race.wrongGate, 3);
    EXPECT_TRUE(race.lost);
}

TEST_F(RaceRulesTest, RunningOutOfTimeStaysLostThroughTheLastGate)
{
    for (int id = 1; id <= 4; ++id) {
        pass(id);
    }
    // The clock ran out (as the main loop records it), then the sled slides through gate 5.
    race.timeLeft = 0.0f;
    race.gameOver = true;
    race.lost = true;
    EXPECT_EQ(pass(5), "");
    EXPECT_TRUE(race.gameOver);
    EXPECT_TRUE(race.lost);
}

TEST_F(RaceRulesTest, AGateCountsOnce)
{
    // A gate already passed has no body; touching it again (it cannot) would change nothing.
    pass(1);
    pass(1);
    EXPECT_EQ(race.nextCheckpoint, 2);
    EXPECT_FLOAT_EQ(race.timeLeft, 20.0f);
    EXPECT_FALSE(race.lost);
}

TEST_F(RaceRulesTest, PickUpsAddTheirPointsOnceAndDisappear)
{
    // Two snowflakes at one place, one turned: two pick-ups of 50 each.
    scene::Collectable& first = level->pickUp(scene::Snowflake, 50, vec3(0.0f, 5.0f, 0.0f));
    scene::Collectable& second = level->pickUp(scene::Snowflake, 50, vec3(0.0f, 5.0f, 0.0f));
    second.rotateY(90.0f);
    const std::size_t bodies = level->actorsInScene();

    race.collect(first);
    EXPECT_EQ(race.points, 50u);
    EXPECT_TRUE(first.hidden);
    EXPECT_EQ(first.getActor(), nullptr);
    EXPECT_EQ(level->actorsInScene(), bodies - 1);

    race.collect(second);
    EXPECT_EQ(race.points, 100u);

    // A collected one is worth nothing more.
    race.collect(first);
    EXPECT_EQ(race.points, 100u);

    // A cow is worth 500.
    race.collect(level->pickUp(scene::Cow, 500, vec3(0.0f, 10.0f, 0.0f)));
    EXPECT_EQ(race.points, 600u);
    EXPECT_FALSE(race.gameOver);
}

TEST_F(RaceRulesTest, TheMessageLineSaysWhatEachTouchDid)
{
    // What a newcomer reads on the message line after each touch of one frame.
    const auto touchAndRead = [&](const std::function<void()>& touches) {
        race.events.clear();
        touches();
        ui::showMessage("-");
        ui::announceRaceEvents(race);
        return ui::currentMessage();
    };
    scene::Collectable& flake = level->pickUp(scene::Snowflake, 50, vec3(0.0f, 5.0f, 0.0f));
    scene::Collectable& cow = level->pickUp(scene::Cow, 500, vec3(0.0f, 10.0f, 0.0f));
    scene::Collectable& lateFlake = level->pickUp(scene::Snowflake, 50, vec3(0.0f, 15.0f, 0.0f));

    EXPECT_EQ(touchAndRead([&] { race.collect(flake); }), "+50");
    EXPECT_EQ(touchAndRead([&] { race.collect(cow); }), "+500  BOOST");
    EXPECT_EQ(touchAndRead([&] { pass(1); }), "Gate 1 of 5  +10 s");
    // A pick-up in the frame of a gate: the gate is told.
    scene::Collectable& sameFrameFlake = level->pickUp(scene::Snowflake, 50, vec3(0.0f, 20.0f, 0.0f));
    EXPECT_EQ(touchAndRead([&] { pass(2); race.collect(sameFrameFlake); }), "Gate 2 of 5  +10 s");
    // Gate 4 with 3 next: which gate, and which was expected; the outcome wins over the points.
    EXPECT_EQ(touchAndRead([&] { race.collect(lateFlake); pass(4); }), "Wrong gate: 4 - gate 3 was next");
    EXPECT_TRUE(race.lost);
    // Once the race is decided nothing replaces the outcome: later gates and pick-ups
    // still count but say nothing.
    scene::Collectable& afterFlake = level->pickUp(scene::Snowflake, 50, vec3(0.0f, 25.0f, 0.0f));
    EXPECT_EQ(touchAndRead([&] { pass(5); race.collect(afterFlake); }), "-");
    EXPECT_EQ(race.points, 700u);

    // The clock running out, as the main loop records it.
    RaceState timed;
    timed.events.push_back({RaceEventKind::TimeUp});
    ui::announceRaceEvents(timed);
    EXPECT_EQ(ui::currentMessage(), "Time is up");
}
