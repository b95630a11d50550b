// Every sound the game plays, synthesised from oscillators, filtered noise and
// envelopes (no recordings), and written as 16-bit mono WAV files through
// libsndfile. Deterministic: the same sources give the same bytes.
#pragma once

#include <string>
#include <vector>

namespace frostline {

/// Samples per second of every generated sound.
inline constexpr int soundSampleRate = 44100;
/// Every sound is scaled so that its loudest sample sits here: -1.5 dBFS.
inline constexpr float soundPeak = 0.84f;

/// Main frequencies (Hz) of the tonal signals, as the tests and the recording check measure them.
inline constexpr float beepFrequency = 880.0f;       ///< countdown 3, 2 and 1
inline constexpr float goFrequency = 1760.0f;        ///< the start: an octave above the beeps
inline constexpr float chimeFrequency = 1568.0f;     ///< a snowflake collected
inline constexpr float gateLowFrequency = 784.0f;    ///< first note of the gate signal
inline constexpr float gateHighFrequency = 1174.7f;  ///< second note of the gate signal
inline constexpr float fanfareLastFrequency = 1046.5f;  ///< the won race's held last note

/// One generated sound: its file name (in the sounds folder) and samples in -1..1.
struct SoundClip {
    std::string file;
    std::vector<float> samples;
    bool loop = false;  ///< played over and over: its last sample runs smoothly into its first
};

/// All of the game's sounds, in a fixed order.
std::vector<SoundClip> makeSounds();

/// Writes clip as folder/file (16-bit PCM WAV, mono, soundSampleRate); false (with a line on
/// standard error) when libsndfile cannot write it.
bool writeSound(const std::string& folder, const SoundClip& clip);

}  // namespace frostline
