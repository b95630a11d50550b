// Reading the game's files: options, shaders, models and their material files,
// images, and whatever the game reads later. A file that is missing, that is a
// folder (or a socket), that cannot be opened, that fails while it is read, or
// that is larger than any file the game reads, counts as no file at all: every
// caller then says what it says about a missing file. Nothing here throws. A pipe
// is read like a file, to its end (opening it waits for its writer).
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace frostline {

/// Largest file the game reads (bytes); its largest asset, the terrain, is about 2 MB.
inline constexpr std::size_t maxGameFileBytes = std::size_t{64} << 20;

/// Whether path (links followed) names a regular file of at most maxGameFileBytes
/// that can be opened for reading, or a pipe or device this process may read.
bool isReadableFile(const std::string& path);

/// Every byte of the file at path, read to its end; nothing when it is not a
/// readable file as isReadableFile says, when a read fails, or when it grows past
/// maxGameFileBytes while it is read (a file that changes, an endless device). An
/// empty file gives an empty string.
std::optional<std::string> readWholeFile(const std::string& path);

}  // namespace frostline
