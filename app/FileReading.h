// Reading the game's files: options, shaders, models and their material files,
// images, sounds. Only a regular file is read: one that is missing, that is a
// folder, a pipe, a device or a socket, that cannot be opened, that fails while
// it is read, or that is larger than any file the game reads, counts as no file
// at all, and every caller then says what it says about a missing file. Nothing
// here throws, and nothing waits for another program (as opening a pipe would).
//
// Once the game keeps what it reads (keepFilesRead), each file is read at most
// once in the process: a race built again gets the bytes of the first reading,
// so a file changed or removed while the game runs changes nothing. Main thread only.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace frostline {

/// Largest file the game reads (bytes); its largest asset, the terrain, is about 6 MB.
inline constexpr std::size_t maxGameFileBytes = std::size_t{64} << 20;

/// Whether path (links followed) names a regular file of at most maxGameFileBytes that
/// can be opened for reading; while files are kept, whether readWholeFile gives bytes.
bool isReadableFile(const std::string& path);

/// Every byte of the file at path; nothing when it is not a readable file as
/// isReadableFile says, when a read fails, or when it grows past maxGameFileBytes
/// while it is read. An empty file gives an empty string. While files are kept, the
/// first answer for path is kept and given again (a missing file stays missing).
std::optional<std::string> readWholeFile(const std::string& path);

/// keep true: from now on readWholeFile keeps what it reads, as said above. false:
/// everything kept is forgotten and files are read afresh each time (the default).
void keepFilesRead(bool keep);
/// Whether readWholeFile keeps what it reads.
bool filesKept();
/// Forgets what is kept of path, for a file whose user keeps what it made of it (an
/// imported model): it would be read afresh if asked for again.
void forgetKeptFile(const std::string& path);

}  // namespace frostline
