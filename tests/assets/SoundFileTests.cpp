// The generated sounds as the game reads them from sounds/: every one there, at
// its length, none clipping, loops that join without a click, the tonal
// signals at their notes, and the same bytes from every run of the generator.
#include <cmath>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "sound/SoundMix.h"
#include "tests/support/SoundAnalysis.h"
#include "tests/support/TestFiles.h"
#include "tools/assetgen/Sounds.h"

namespace frostline::test {

namespace {

std::string soundPath(const std::string& file)
{
    return "sounds/" + file;
}

std::string bytesOf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

/// Strongest frequency (Hz) within 100 ms from second at (s) of a recording.
float noteAt(const Recording& sound, float at)
{
    const auto first = static_cast<std::size_t>(at * static_cast<float>(sound.sampleRate));
    return strongestFrequency(sound.samples, first, static_cast<std::size_t>(sound.sampleRate / 10),
                              sound.sampleRate, 100.0f, 5000.0f, 2.0f);
}

}  // namespace

TEST(GeneratedSounds, EverySoundIsThereAtItsLengthAndNoneClips)
{
    // Every sound the game asks for is in sounds/, as long as the generator made it,
    // loud enough to hear and at or below -1 dBFS at its loudest.
    std::set<std::string> generated;
    for (const SoundClip& clip : makeSounds()) {
        SCOPED_TRACE(clip.file);
        generated.insert(clip.file);
        const Recording sound = readRecording(soundPath(clip.file));
        ASSERT_TRUE(sound.loaded());
        EXPECT_EQ(sound.sampleRate, soundSampleRate);
        EXPECT_EQ(sound.samples.size(), clip.samples.size());
        const float loudest = decibels(peak(sound.samples, 0, sound.samples.size()));
        EXPECT_LE(loudest, -1.0f);
        EXPECT_GE(loudest, -3.0f);
        // One-shots are short; loops long enough not to be heard repeating at once.
        if (clip.loop) {
            EXPECT_GE(sound.seconds(), 1.0);
        } else {
            EXPECT_LE(sound.seconds(), 2.0);
            // They fade out: no click when they end.
            EXPECT_LT(std::fabs(sound.samples.back()), 0.01f);
        }
    }
    for (const CueSettings& cue : cueSettings) {
        EXPECT_TRUE(generated.count(cue.file)) << cue.file;
    }
    for (const LoopSettings& loop : loopSettings) {
        EXPECT_TRUE(generated.count(loop.file)) << loop.file;
    }
}

TEST(GeneratedSounds, LoopsJoinWithoutAClick)
{
    // Played over and over, a loop's last sample runs into its first no more abruptly
    // than any two neighbours inside it, and the level does not jump at the join.
    for (const SoundClip& clip : makeSounds()) {
        if (!clip.loop) {
            continue;
        }
        SCOPED_TRACE(clip.file);
        const Recording sound = readRecording(soundPath(clip.file));
        ASSERT_TRUE(sound.loaded());
        const std::vector<float>& s = sound.samples;
        double stepSquares = 0.0;
        for (std::size_t i = 1; i < s.size(); ++i) {
            stepSquares += static_cast<double>(s[i] - s[i - 1]) * (s[i] - s[i - 1]);
        }
        const float typicalStep =
            static_cast<float>(std::sqrt(stepSquares / static_cast<double>(s.size() - 1)));
        EXPECT_LE(std::fabs(s.front() - s.back()), 3.0f * typicalStep);
        // Over 50 ms, a few of the scrape's grains.
        const std::size_t span = static_cast<std::size_t>(sound.sampleRate / 20);
        const float before = decibels(rms(s, s.size() - span, span));
        const float after = decibels(rms(s, 0, span));
        EXPECT_NEAR(before, after, 6.0f);
    }
}

TEST(GeneratedSounds, SignalsSoundAtTheirNotes)
{
    // The countdown beeps at 880 Hz, the start an octave higher and longer; the snowflake's
    // chime rings at 1568 Hz; the gate signal rises from its first note to its second; the
    // fanfare ends on a high C.
    const Recording beep = readRecording(soundPath("beep.wav"));
    const Recording go = readRecording(soundPath("go.wav"));
    const Recording chime = readRecording(soundPath("chime.wav"));
    const Recording gate = readRecording(soundPath("gate.wav"));
    const Recording fanfare = readRecording(soundPath("fanfare.wav"));
    ASSERT_TRUE(beep.loaded() && go.loaded() && chime.loaded() && gate.loaded() && fanfare.loaded());
    EXPECT_NEAR(noteAt(beep, 0.02f), beepFrequency, 4.0f);
    EXPECT_NEAR(noteAt(go, 0.05f), goFrequency, 4.0f);
    EXPECT_GE(go.seconds(), 3.0 * beep.seconds());
    EXPECT_NEAR(noteAt(chime, 0.01f), chimeFrequency, 4.0f);
    EXPECT_NEAR(noteAt(gate, 0.01f), gateLowFrequency, 4.0f);
    EXPECT_NEAR(noteAt(gate, 0.15f), gateHighFrequency, 4.0f);
    EXPECT_NEAR(noteAt(fanfare, 0.8f), fanfareLastFrequency, 4.0f);
}

TEST(GeneratedSounds, ARerunWritesTheSameBytes)
{
    // The generator is deterministic: written again, every file is byte for byte the one the build made.
    const TempDir folder;
    for (const SoundClip& clip : makeSounds()) {
        SCOPED_TRACE(clip.file);
        ASSERT_TRUE(writeSound(folder.path().string(), clip));
        const std::string built = bytesOf(soundPath(clip.file));
        EXPECT_FALSE(built.empty());
        EXPECT_TRUE(built == bytesOf((folder.path() / clip.file).string()));
    }
}

}  // namespace frostline::test
