// Reading a sound file of the game's sounds folder into memory, through libsndfile.
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

/// Reads path into data. False, with the reason in problem, for a missing path, a folder,
/// an unreadable or empty file, a file libsndfile cannot decode or one with more than two channels.
bool readSoundFile(const std::string& path, SoundData& data, std::string& problem);

}  // namespace frostline
