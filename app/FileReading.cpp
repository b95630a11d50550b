#include "app/FileReading.h"

#include <cerrno>
#include <map>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace frostline {

namespace {

/// What stat found is a file of the game: a regular file of at most maxGameFileBytes.
bool isGameFile(const struct stat& status)
{
    return S_ISREG(status.st_mode) && status.st_size >= 0 &&
           static_cast<unsigned long long>(status.st_size) <= maxGameFileBytes;
}

/// An open file descriptor, closed when it goes.
class OpenFile {
public:
    /// Opens path for reading when it is a file of the game. It is opened without
    /// waiting: opening a pipe for reading would wait for a writer, and a device may too.
    explicit OpenFile(const std::string& path)
    {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        struct stat status {};
        if (fd >= 0 && (::fstat(fd, &status) != 0 || !isGameFile(status))) {
            ::close(fd);
            fd = -1;
        }
        if (fd >= 0) {
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
    std::size_t size = 0;  ///< the file's size when it was opened (bytes)
};

/// Every byte of the file at path, read now.
std::optional<std::string> readNow(const std::string& path)
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

bool keeping = false;
/// While keeping: the first answer of readWholeFile for each path as it was asked for.
std::map<std::string, std::optional<std::string>> keptFiles;

/// The kept answer for path, read now when there is none yet.
const std::optional<std::string>& keptReading(const std::string& path)
{
    auto found = keptFiles.find(path);
    if (found == keptFiles.end()) {
        found = keptFiles.emplace(path, readNow(path)).first;
    }
    return found->second;
}

}  // namespace

bool isReadableFile(const std::string& path)
{
    return keeping ? keptReading(path).has_value() : OpenFile(path).fd >= 0;
}

std::optional<std::string> readWholeFile(const std::string& path)
{
    return keeping ? keptReading(path) : readNow(path);
}

void keepFilesRead(bool keep)
{
    keeping = keep;
    if (!keep) {
        keptFiles.clear();
    }
}

bool filesKept()
{
    return keeping;
}

void forgetKeptFile(const std::string& path)
{
    keptFiles.erase(path);
}

}  // namespace frostline
