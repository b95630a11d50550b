#include "app/MainLoop.h"

#include <gtest/gtest.h>

#include "app/Globals.h"
#include "app/RaceState.h"
#include "ui/Hud.h"

using namespace frostline;

namespace {

/// Resets the countdown globals as a fresh start would.
void restartCountdown()
{
    countdownTime = 3.0f;
    countdownDone = false;
}

}  // namespace

TEST(Countdown, ShowsThreeTwoOneZeroThenStartsOnTheNextFrame)
{
    restartCountdown();
    std::vector<std::string> shown;
    deltaTime = 0.25f;
    bool started = false;
    int frames = 0;
    while (!started && frames < 100) {
        started = updateCountdown();
        if (!started && (shown.empty() || shown.back() != ui::currentMessage())) {
            shown.push_back(ui::currentMessage());
        }
        ++frames;
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"3", "2", "1", "0"}));
    // 12 frames of 0.25 s reach zero; the race starts on the frame after "0" is shown.
    EXPECT_EQ(frames, 13);
    EXPECT_EQ(countdownTime, 0.0f);
}

TEST(Countdown, EachNewNumberIsARaceEventForTheBeeps)
{
    // The race hears 3 on the first frame, then 2, 1 and 0 as they are shown, once each,
    // and nothing after the start; a long frame that skips numbers goes straight to 0.
    RaceState race;
    raceState = &race;
    restartCountdown();
    deltaTime = 0.25f;
    for (int frame = 0; frame < 20; ++frame) {
        updateCountdown();
    }
    std::vector<int> counts;
    for (const RaceEvent& event : race.events) {
        EXPECT_EQ(event.kind, RaceEventKind::CountdownTick);
        counts.push_back(event.count);
    }
    EXPECT_EQ(counts, (std::vector<int>{3, 2, 1, 0}));

    race.events.clear();
    restartCountdown();
    deltaTime = 10.0f;
    updateCountdown();
    ASSERT_EQ(race.events.size(), 1u);
    EXPECT_EQ(race.events[0].count, 0);
    raceState = nullptr;
}

TEST(Countdown, EachNumberGoesOnTheMessageLineUnlessANewerMessageHoldsIt)
{
    // The loading line gives way to "3"; "2" comes a second later. A message of the
    // player's ("Press Back again to leave") set meanwhile stays: "1" does not replace it.
    restartCountdown();
    showHelp = false;
    ui::showPassingMessage("performing snowstorm...");
    deltaTime = 0.5f;
    EXPECT_FALSE(updateCountdown());  // 2.5 s left: "3"
    EXPECT_EQ(ui::currentMessage(), "3");
    EXPECT_EQ(ui::messageAge, 0.0f);
    ui::messageAge = 0.5f;
    EXPECT_FALSE(updateCountdown());  // 2 s left: still "3", its age runs on
    EXPECT_EQ(ui::messageAge, 0.5f);
    EXPECT_FALSE(updateCountdown());  // 1.5 s left: "2"
    EXPECT_EQ(ui::currentMessage(), "2");
    ui::showMessage("Press Back again to leave");
    deltaTime = 1.0f;
    EXPECT_FALSE(updateCountdown());  // 0.5 s left: "1", but the newer message stays
    EXPECT_EQ(ui::currentMessage(), "Press Back again to leave");
    EXPECT_FALSE(updateCountdown());  // done: "0" still waits for the line
    EXPECT_EQ(ui::currentMessage(), "Press Back again to leave");
    EXPECT_TRUE(updateCountdown());

    // Once blank, the line takes the next number again; a single long frame goes straight to "0".
    restartCountdown();
    ui::showMessage(" ");
    deltaTime = 10.0f;
    EXPECT_FALSE(updateCountdown());
    EXPECT_EQ(ui::currentMessage(), "0");
    EXPECT_EQ(countdownTime, 0.0f);
}
