#include "base/Platform.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <locale.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace furlox::platform {

EntryKind KindOf(const std::filesystem::path& path)
{
    struct stat st = {};
    if (::lstat(path.c_str(), &st) != 0) {
        return errno == ENOENT || errno == ENOTDIR ? EntryKind::None : EntryKind::Error;
    }
    if (S_ISREG(st.st_mode)) {
        return EntryKind::File;
    }
    if (S_ISDIR(st.st_mode)) {
        return EntryKind::Folder;
    }
    return S_ISLNK(st.st_mode) ? EntryKind::Link : EntryKind::Other;
}

bool IsExecutableFile(const std::filesystem::path& path)
{
    struct stat st = {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           (st.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) != 0;
}

bool IsWritableFolder(const std::filesystem::path& folder)
{
    return ::access(folder.c_str(), W_OK) == 0;
}

std::filesystem::path ProgramFile()
{
    std::error_code ec;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path() : self;
}

int ReadInPieces(const std::filesystem::path& path, std::size_t pieceSize,
                 const std::function<void(std::string_view)>& take)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    std::unique_ptr<char[]> buffer(new char[pieceSize]);
    int failure = 0;
    for (;;) {
        const ssize_t n = ::read(fd, buffer.get(), pieceSize);
        if (n > 0) {
            take(std::string_view(buffer.get(), static_cast<std::size_t>(n)));
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            failure = errno;
            break;
        }
    }
    ::close(fd);
    return failure;
}

std::string ErrorText(int error)
{
    return std::strerror(error);
}

bool MakeFolder(const std::filesystem::path& folder)
{
    return ::mkdir(folder.c_str(), 0777) == 0;
}

bool ReplaceFile(const std::filesystem::path& from, const std::filesystem::path& to)
{
    return ::rename(from.c_str(), to.c_str()) == 0;
}

void RemoveFile(const std::filesystem::path& path)
{
    ::unlink(path.c_str());
}

std::unique_ptr<NewFile> NewFile::Create(const std::filesystem::path& folder, const char* prefix)
{
    std::string pattern = (folder / (std::string(prefix) + "XXXXXX")).string();
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    return std::unique_ptr<NewFile>(new NewFile(pattern, fd));
}

NewFile::~NewFile()
{
    if (m_handle >= 0) {
        ::close(m_handle);
    }
    if (!m_keep) {
        ::unlink(m_path.c_str());
    }
}

bool NewFile::Write(const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(m_handle, data, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool NewFile::Finish(std::optional<std::int64_t> modified)
{
    // mkstemp makes the file private; a new file gets what the user's mask allows of
    // read and write, whatever it replaces.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    bool ok = ::fchmod(m_handle, 0666 & ~mask) == 0;
    if (modified) {
        struct timespec times[2] = {};
        times[0].tv_nsec = UTIME_OMIT;
        times[1].tv_sec = static_cast<time_t>(*modified);
        ::futimens(m_handle, times);
    }
    ok = ::fsync(m_handle) == 0 && ok;
    ok = ::close(m_handle) == 0 && ok;
    m_handle = -1;
    return ok;
}

namespace {

locale_t Utf8Locale()
{
    static const locale_t locale = [] {
        for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"}) {
            if (locale_t l = ::newlocale(LC_ALL_MASK, name, static_cast<locale_t>(0))) {
                return l;
            }
        }
        return static_cast<locale_t>(0);
    }();
    return locale;
}

} // namespace

Utf8TextScope::Utf8TextScope()
{
    if (locale_t l = Utf8Locale()) {
        m_previous = ::uselocale(l);
    }
}

Utf8TextScope::~Utf8TextScope()
{
    if (m_previous) {
        ::uselocale(static_cast<locale_t>(m_previous));
    }
}

bool Utf8TextScope::Available()
{
    return Utf8Locale() != static_cast<locale_t>(0);
}

std::unique_ptr<FileLock> FileLock::Acquire(const std::filesystem::path& folder,
                                            std::chrono::milliseconds patience, bool* busy)
{
    *busy = false;
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            return std::unique_ptr<FileLock>(new FileLock(fd));
        }
        if ((errno != EWOULDBLOCK && errno != EINTR) ||
            std::chrono::steady_clock::now() >= deadline) {
            *busy = errno == EWOULDBLOCK;
            ::close(fd);
            return nullptr;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

FileLock::~FileLock()
{
    ::close(m_handle); // closing the last descriptor lets the lock go
}

} // namespace furlox::platform
