// Reading a sound file of the game's sounds folder into memory, decoded by libsndfile.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace frostline {

/// A decoded sound: interleaved 16-bit samples.
struct SoundData {
    std::vector<int16_t> samples;  ///< frames x channels, interleaved
    int channels = 0;              ///< 1 or 2
    int sampleRate = 0;            ///< frames per second
};

/// Reads path into data through the game's file reader (regular files of a sane size), decoded by
/// libsndfile from memory. False, with the reason in problem, for a missing path, anything the
/// reader refuses, an empty file, a file libsndfile cannot decode, one with more than two channels
/// or one longer, decoded, than the largest file the game reads.
bool readSoundFile(const std::string& path, SoundData& data, std::string& problem);

}  // namespace frostline
