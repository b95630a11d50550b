#include "sound/SoundFile.h"

#include <filesystem>
#include <system_error>

#include <sndfile.h>

namespace frostline {

bool readSoundFile(const std::string& path, SoundData& data, std::string& problem)
{
    // libsndfile opens a folder and then fails on it in ways that vary: ask first.
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (!std::filesystem::exists(status)) {
        problem = "missing";
        return false;
    }
    if (!std::filesystem::is_regular_file(status)) {
        problem = "not a file";
        return false;
    }
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        problem = sf_strerror(nullptr);
        return false;
    }
    if (info.frames <= 0 || info.channels < 1 || info.channels > 2 || info.samplerate <= 0) {
        sf_close(file);
        problem = info.frames <= 0 ? "no samples" : "unsupported layout";
        return false;
    }
    data.channels = info.channels;
    data.sampleRate = info.samplerate;
    data.samples.assign(static_cast<std::size_t>(info.frames) * info.channels, 0);
    const sf_count_t read = sf_readf_short(file, data.samples.data(), info.frames);
    sf_close(file);
    if (read <= 0) {
        problem = "unreadable samples";
        return false;
    }
    data.samples.resize(static_cast<std::size_t>(read) * data.channels);
    return true;
}

}  // namespace frostline
