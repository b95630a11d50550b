// What the player hears: the cues the race's events call for, the loops that
// follow the ride, and the sound itself on OpenAL's null device (the suite runs
// with ALSOFT_DRIVERS=null): halting for help and M, a new race from silence,
// two sounds side by side, files that do not read, no device at all.
#include "sound/Sound.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "scene/Collectable.h"
#include "sound/SoundMix.h"
#include "tests/support/TestFiles.h"
#include "tools/assetgen/Sounds.h"

namespace frostline::test {

namespace {

RaceEvent event(RaceEventKind kind, int32_t gate = 0, vec3 where = vec3(0.0f))
{
    RaceEvent e{kind};
    e.gate = gate;
    e.where = where;
    return e;
}

RaceEvent tick(int32_t count)
{
    RaceEvent e{RaceEventKind::CountdownTick};
    e.count = count;
    return e;
}

RaceEvent pickUp(int32_t kind)
{
    RaceEvent e{RaceEventKind::PickedUp};
    e.pickupKind = kind;
    return e;
}

Ride riding(float speed)
{
    Ride ride;
    ride.speed = speed;
    return ride;
}

constexpr float frame = 1.0f / 60.0f;
constexpr int loopsOnly = loopCount;

}  // namespace

TEST(RaceSounds, EventsCallForTheirSignals)
{
    // The countdown beeps three times and sounds the start; each gate's signal is higher than
    // the one before; a snowflake chimes and a cow moos; a wrong gate buzzes and the falling
    // phrase follows it; the fanfare follows the last gate's signal; the clock running out
    // sounds the falling phrase at once; thuds and the swoosh for obstacles and R.
    const std::vector<CuePlay> countdown = cuesFor({tick(3), tick(2), tick(1), tick(0)});
    ASSERT_EQ(countdown.size(), 4u);
    EXPECT_EQ(countdown[0].cue, Cue::Beep);
    EXPECT_EQ(countdown[2].cue, Cue::Beep);
    EXPECT_EQ(countdown[3].cue, Cue::Go);

    float lastPitch = 0.0f;
    for (int gate = 1; gate <= 5; ++gate) {
        const std::vector<CuePlay> cues = cuesFor({event(RaceEventKind::GatePassed, gate)});
        ASSERT_EQ(cues.size(), 1u);
        EXPECT_EQ(cues[0].cue, Cue::Gate);
        EXPECT_GT(cues[0].pitch, lastPitch);
        lastPitch = cues[0].pitch;
    }
    EXPECT_FLOAT_EQ(cuesFor({event(RaceEventKind::GatePassed, 1)})[0].pitch, 1.0f);

    EXPECT_EQ(cuesFor({pickUp(scene::Snowflake)})[0].cue, Cue::Chime);
    EXPECT_EQ(cuesFor({pickUp(scene::Cow)})[0].cue, Cue::Moo);

    // The buzzer sounds from the gate touched; the phrase that follows is centred.
    const vec3 gateAt(12.0f, 3.0f, -40.0f);
    const std::vector<CuePlay> wrong = cuesFor({event(RaceEventKind::WrongGate, 3, gateAt)});
    ASSERT_EQ(wrong.size(), 2u);
    EXPECT_EQ(wrong[0].cue, Cue::Buzzer);
    EXPECT_TRUE(wrong[0].placed && wrong[0].where == gateAt);
    EXPECT_EQ(wrong[1].cue, Cue::Lose);
    EXPECT_FALSE(wrong[1].placed);
    EXPECT_GT(wrong[1].delay, 0.0f);

    const std::vector<CuePlay> won =
        cuesFor({event(RaceEventKind::GatePassed, 5), event(RaceEventKind::Won, 5)});
    ASSERT_EQ(won.size(), 2u);
    EXPECT_EQ(won[1].cue, Cue::Fanfare);
    EXPECT_GT(won[1].delay, 0.0f);

    const std::vector<CuePlay> timeUp = cuesFor({event(RaceEventKind::TimeUp)});
    ASSERT_EQ(timeUp.size(), 1u);
    EXPECT_EQ(timeUp[0].cue, Cue::Lose);
    EXPECT_EQ(timeUp[0].delay, 0.0f);
    EXPECT_EQ(cuesFor({event(RaceEventKind::ObstacleHit)})[0].cue, Cue::Thud);
    EXPECT_TRUE(cuesFor({event(RaceEventKind::ObstacleHit, 0, gateAt)})[0].placed);
    EXPECT_FALSE(cuesFor({event(RaceEventKind::Respawned)})[0].placed);
    EXPECT_EQ(cuesFor({event(RaceEventKind::Respawned)})[0].cue, Cue::Swoosh);
}

TEST(RaceSounds, LoopsFollowTheRide)
{
    const auto wind = static_cast<int>(Loop::Wind);
    const auto runners = static_cast<int>(Loop::Runners);
    const auto scrape = static_cast<int>(Loop::Scrape);
    const auto boost = static_cast<int>(Loop::Boost);

    // Standing: no wind, no runners.
    const LoopLevels standing = loopLevels(riding(0.0f));
    EXPECT_EQ(standing.gain[wind], 0.0f);
    EXPECT_EQ(standing.gain[runners], 0.0f);

    // Faster: the wind grows louder and higher; the runners hiss on the snow.
    const LoopLevels slow = loopLevels(riding(5.0f));
    const LoopLevels fast = loopLevels(riding(30.0f));
    EXPECT_GT(slow.gain[wind], 0.0f);
    EXPECT_GT(fast.gain[wind], slow.gain[wind]);
    EXPECT_GT(fast.pitch[wind], slow.pitch[wind]);
    EXPECT_GT(slow.gain[runners], 0.0f);
    EXPECT_EQ(slow.gain[scrape], 0.0f);
    // Sliding backwards sounds the same as forwards.
    EXPECT_EQ(loopLevels(riding(-30.0f)).gain[wind], fast.gain[wind]);

    // Leaning (steering or braking) roughens and raises the hiss.
    Ride leaning = riding(30.0f);
    leaning.lean = 1.0f;
    const LoopLevels dragged = loopLevels(leaning);
    EXPECT_GT(dragged.gain[scrape], 0.0f);
    EXPECT_GT(dragged.pitch[runners], fast.pitch[runners]);

    // In the air the runners and the scrape stop; the wind goes on.
    leaning.grounded = false;
    const LoopLevels flying = loopLevels(leaning);
    EXPECT_EQ(flying.gain[runners], 0.0f);
    EXPECT_EQ(flying.gain[scrape], 0.0f);
    EXPECT_EQ(flying.gain[wind], fast.gain[wind]);

    // The boost whooshes while it lasts, standing or not.
    Ride boosting = riding(0.0f);
    boosting.boosting = true;
    EXPECT_GT(loopLevels(boosting).gain[boost], 0.0f);
    EXPECT_EQ(fast.gain[boost], 0.0f);
}

TEST(SoundPlayback, HaltsForHelpAndMuteAndDropsWhatHappensMeanwhile)
{
    // On a device, the game's loops run while the sled rides; help (paused) and M (muted) stop
    // every source, and the race's signals meanwhile are not heard later; afterwards the
    // loops play on. A cue sounds once for its event, a thud at most a few times a second.
    Sound sound("sounds");
    ASSERT_TRUE(sound.audible());
    for (int i = 0; i < cueCount; ++i) {
        EXPECT_TRUE(sound.hasCue(static_cast<Cue>(i))) << cueSettings[i].file;
    }
    sound.update({}, riding(20.0f), frame);
    EXPECT_EQ(sound.playingSources(), loopsOnly);

    sound.update({event(RaceEventKind::GatePassed, 1)}, riding(20.0f), frame);
    EXPECT_EQ(sound.playingSources(), loopsOnly + 1);

    Ride help = riding(20.0f);
    help.paused = true;
    sound.update({tick(2)}, help, frame);
    EXPECT_EQ(sound.playingSources(), 0);
    sound.update({}, riding(20.0f), frame);
    EXPECT_EQ(sound.playingSources(), loopsOnly + 1);  // the gate's signal goes on, the tick is gone

    Ride muted = riding(20.0f);
    muted.muted = true;
    sound.update({pickUp(scene::Snowflake)}, muted, frame);
    EXPECT_EQ(sound.playingSources(), 0);

    // Scraping along a wall: a thud every frame asked for, two heard in a quarter second.
    Sound fresh("sounds");
    ASSERT_TRUE(fresh.audible());
    for (int i = 0; i < 15; ++i) {
        fresh.update({event(RaceEventKind::ObstacleHit)}, riding(0.0f), frame);
    }
    EXPECT_EQ(fresh.playingSources(), loopsOnly + 1);

    sound.release();
    sound.release();
    EXPECT_FALSE(sound.audible());
    sound.update({tick(1)}, riding(20.0f), frame);  // nothing left to play on: harmless
}

TEST(SoundPlayback, ANewRaceStartsFromSilence)
{
    // The race is won over the wind (the fanfare waits for the gate's signal) and the player
    // races again at once: the loading screen is silent. In the next race a gate sounds, help
    // comes up over it, and the race is raced again from there: the new race hears neither
    // the old fanfare nor the paused gate, only its own loops from its first frame on.
    Sound sound("sounds");
    ASSERT_TRUE(sound.audible());
    sound.update({}, riding(30.0f), frame);
    sound.update({event(RaceEventKind::GatePassed, 5), event(RaceEventKind::Won, 5)}, riding(30.0f), frame);
    sound.startRace();
    EXPECT_EQ(sound.playingSources(), 0);

    sound.update({event(RaceEventKind::GatePassed, 1)}, riding(30.0f), frame);
    Ride help = riding(30.0f);
    help.paused = true;
    sound.update({}, help, frame);
    sound.startRace();
    for (int i = 0; i < 60; ++i) {
        sound.update({}, riding(0.0f), frame);
    }
    EXPECT_EQ(sound.playingSources(), loopsOnly);
    EXPECT_EQ(sound.sourcesHeld(), loopCount + voiceCount);
    EXPECT_EQ(sound.buffersHeld(), cueCount + loopCount);
}

TEST(SoundPlayback, TwoSoundsNeverTouchEachOthersSources)
{
    // Two sounds side by side (the second one made last): the first one's ride plays only
    // its own loops, and releasing it leaves the second one whole and heard.
    Sound first("sounds");
    Sound second("sounds");
    ASSERT_TRUE(first.audible() && second.audible());
    first.update({}, riding(20.0f), frame);
    EXPECT_EQ(first.playingSources(), loopsOnly);
    EXPECT_EQ(second.playingSources(), 0);

    first.release();
    EXPECT_EQ(second.sourcesHeld(), loopCount + voiceCount);
    second.update({event(RaceEventKind::GatePassed, 1)}, riding(20.0f), frame);
    EXPECT_EQ(second.playingSources(), loopsOnly + 1);
}

TEST(SoundPlayback, FilesThatDoNotReadStaySilentAndTheRestPlay)
{
    // A folder in place of a file, an empty file, a text file, a missing file: each named on
    // one line, each silent; the others load and the ride is heard.
    const TempDir folder;
    for (const SoundClip& clip : makeSounds()) {
        if (clip.file == "wind.wav") {
            ASSERT_TRUE(writeSound(folder.path().string(), clip));
        }
    }
    std::filesystem::create_directory(folder.path() / "chime.wav");
    folder.write("beep.wav", "");
    folder.write("runners.wav", "this is not a sound\n");

    testing::internal::CaptureStdout();
    Sound sound(folder.path().string());
    const std::string said = testing::internal::GetCapturedStdout();
    ASSERT_TRUE(sound.audible());
    EXPECT_NE(said.find("chime.wav (not a readable file)"), std::string::npos) << said;
    EXPECT_NE(said.find("beep.wav ("), std::string::npos) << said;
    EXPECT_NE(said.find("runners.wav ("), std::string::npos) << said;
    EXPECT_NE(said.find("go.wav (missing)"), std::string::npos) << said;
    EXPECT_FALSE(sound.hasCue(Cue::Chime));
    EXPECT_FALSE(sound.hasCue(Cue::Beep));
    EXPECT_FALSE(sound.hasLoop(Loop::Runners));
    EXPECT_TRUE(sound.hasLoop(Loop::Wind));

    sound.update({tick(3), pickUp(scene::Snowflake)}, riding(20.0f), frame);
    EXPECT_EQ(sound.playingSources(), 1);  // the wind alone
}

TEST(SoundPlayback, WithoutADeviceTheGamePlaysSilently)
{
    // A sound system that cannot open (a backend that does not exist) leaves a silent sound
    // that takes every frame as usual.
    EXPECT_EXIT(
        {
            setenv("ALSOFT_DRIVERS", "no-such-backend", 1);
            Sound sound("sounds");
            sound.update({tick(3)}, riding(20.0f), frame);
            std::exit(!sound.audible() && sound.playingSources() == 0 ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

}  // namespace frostline::test
