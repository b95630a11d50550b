#include "app/FileReading.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace frostline {

namespace {

/// Whether what stat found there can be read like a file of the game: a regular file
/// of at most maxGameFileBytes, or a stream (a pipe, a device) that gives its bytes
/// until it ends. A folder cannot be read, nor can a socket.
bool isFileLike(const struct stat& status)
{
    if (S_ISREG(status.st_mode)) {
        return status.st_size >= 0 && static_cast<unsigned long long>(status.st_size) <= maxGameFileBytes;
    }
    return S_ISFIFO(status.st_mode) || S_ISCHR(status.st_mode);
}

/// An open file descriptor, closed when it goes.
class OpenFile {
public:
    /// Opens path for reading when it is file-like. (Opening a pipe waits for its writer.)
    explicit OpenFile(const std::string& path)
    {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
        struct stat status {};
        if (fd >= 0 && (::fstat(fd, &status) != 0 || !isFileLike(status))) {
            ::close(fd);
            fd = -1;
        }
        if (fd >= 0 && S_ISREG(status.st_mode)) {
            size = static_cast<std::size_t>(status.st_size);
        }
    }
    ~OpenFile()
    {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    int fd = -1;           ///< the descriptor; -1 when there is nothing to read
    std::size_t size = 0;  ///< a regular file's size when it was opened (bytes)
};

}  // namespace

bool isReadableFile(const std::string& path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || !isFileLike(status)) {
        return false;
    }
    if (!S_ISREG(status.st_mode)) {
        // Opening a pipe to look would wait for its writer, and take its one reading.
        return ::access(path.c_str(), R_OK) == 0;
    }
    return OpenFile(path).fd >= 0;
}

std::optional<std::string> readWholeFile(const std::string& path)
{
    const OpenFile file(path);
    if (file.fd < 0) {
        return std::nullopt;
    }
    // Read to the end, whatever the size said: the file may change while it is read.
    std::string bytes;
    bytes.reserve(file.size);
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(file.fd, buffer, sizeof(buffer));
        if (got == 0) {
            return bytes;
        }
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return std::nullopt;
        }
        if (bytes.size() + static_cast<std::size_t>(got) > maxGameFileBytes) {
            return std::nullopt;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

}  // namespace frostline
