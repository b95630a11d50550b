#include "sound/SoundFile.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <optional>
#include <system_error>

#include <sndfile.h>

#include "app/FileReading.h"

namespace frostline {

namespace {

/// A file's bytes in memory, read by libsndfile as if they were the file.
struct MemoryFile {
    const std::string& bytes;
    sf_count_t at = 0;  ///< the reading position (bytes)
};

MemoryFile& memoryOf(void* file)
{
    return *static_cast<MemoryFile*>(file);
}

sf_count_t memoryLength(void* file)
{
    return static_cast<sf_count_t>(memoryOf(file).bytes.size());
}

sf_count_t memorySeek(sf_count_t offset, int whence, void* file)
{
    MemoryFile& memory = memoryOf(file);
    const auto size = static_cast<sf_count_t>(memory.bytes.size());
    const sf_count_t from = whence == SEEK_CUR ? memory.at : whence == SEEK_END ? size : 0;
    memory.at = std::clamp<sf_count_t>(from + offset, 0, size);
    return memory.at;
}

sf_count_t memoryRead(void* destination, sf_count_t count, void* file)
{
    MemoryFile& memory = memoryOf(file);
    const sf_count_t left = static_cast<sf_count_t>(memory.bytes.size()) - memory.at;
    const sf_count_t got = std::clamp<sf_count_t>(count, 0, left);
    std::memcpy(destination, memory.bytes.data() + memory.at, static_cast<std::size_t>(got));
    memory.at += got;
    return got;
}

sf_count_t memoryWrite(const void* /*source*/, sf_count_t /*count*/, void* /*file*/)
{
    return 0;  // read only
}

sf_count_t memoryTell(void* file)
{
    return memoryOf(file).at;
}

}  // namespace

bool readSoundFile(const std::string& path, SoundData& data, std::string& problem)
{
    // The game's own reader: regular files of a sane size only, like every other file.
    const std::optional<std::string> bytes = readWholeFile(path);
    if (!bytes) {
        std::error_code error;
        problem = std::filesystem::exists(path, error) ? "not a readable file" : "missing";
        return false;
    }
    MemoryFile memory{*bytes};
    SF_VIRTUAL_IO io{memoryLength, memorySeek, memoryRead, memoryWrite, memoryTell};
    SF_INFO info{};
    SNDFILE* file = sf_open_virtual(&io, SFM_READ, &info, &memory);
    if (!file) {
        problem = sf_strerror(nullptr);
        return false;
    }
    if (info.frames <= 0 || info.channels < 1 || info.channels > 2 || info.samplerate <= 0) {
        sf_close(file);
        problem = info.frames <= 0 ? "no samples" : "unsupported layout";
        return false;
    }
    // A header may claim any length: decoded, no sound is larger than the largest file.
    if (info.frames > static_cast<sf_count_t>(maxGameFileBytes / sizeof(int16_t)) / info.channels) {
        sf_close(file);
        problem = "too long";
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
