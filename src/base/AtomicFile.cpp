#include "base/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace furlox {

namespace {

bool WriteAll(int fd, std::string_view bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

bool WriteFileAtomic(const std::filesystem::path& requested, std::string_view bytes)
{
    // Write through a symbolic link to the file it names, not over the link.
    std::error_code ec;
    std::filesystem::path target = std::filesystem::weakly_canonical(requested, ec);
    if (ec) {
        target = requested;
    }
    // A device or pipe is written in place: renaming over it would replace the node itself.
    struct stat existing
    {
    };
    if (::stat(target.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)) {
        if (S_ISDIR(existing.st_mode)) {
            return false;
        }
        int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd < 0) {
            return false;
        }
        bool ok = WriteAll(fd, bytes);
        return (::close(fd) == 0) && ok;
    }
    const std::filesystem::path dir =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    std::string pattern = (dir / ("." + target.filename().string() + ".XXXXXX")).string();
    int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        return false;
    }
    bool ok = WriteAll(fd, bytes);
    // A new file gets the usual permissions, not mkstemp's private ones; an existing file
    // keeps its own.
    mode_t mode = 0666;
    if (S_ISREG(existing.st_mode)) {
        mode = existing.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }
    ok = ok && ::fchmod(fd, mode) == 0;
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(pattern.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(pattern.c_str());
    }
    return ok;
}

} // namespace furlox
