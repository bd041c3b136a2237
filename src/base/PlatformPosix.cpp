#include "base/Platform.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <iconv.h>
#include <locale.h>
#include <signal.h>
#include <stdexcept>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace furlox::platform {
namespace {

bool WriteAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
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

// One conversion with iconv, with a substitute for every byte sequence the target cannot take.
// A converter opened once per thread and direction: opening one looks up the character set
// modules, which costs far more than converting a field of a record.
class Converter
{
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from))
    {
        if (m_cd == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error("iconv cannot convert between CP932 and UTF-8");
        }
    }
    ~Converter() { iconv_close(m_cd); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    // The converter in its initial state.
    iconv_t Reset()
    {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        return m_cd;
    }

private:
    iconv_t m_cd;
};

std::string Convert(Converter& converter, std::string_view in, std::string_view substitute,
                    std::size_t badInputSkip)
{
    iconv_t cd = converter.Reset();
    std::string out;
    out.reserve(in.size() * 3 / 2 + 8);
    char buffer[4096];
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    while (srcLeft > 0) {
        char* dst = buffer;
        std::size_t dstLeft = sizeof buffer;
        std::size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer, static_cast<std::size_t>(dst - buffer));
        if (rc != static_cast<std::size_t>(-1)) {
            continue;
        }
        if (errno == E2BIG) {
            continue;
        }
        // EILSEQ or EINVAL (an invalid or cut-off sequence): substitute and skip it.
        out.append(substitute);
        std::size_t skip = 1;
        if (badInputSkip == 0) {
            // UTF-8 input: skip the whole character the target cannot hold.
            auto c = static_cast<unsigned char>(*src);
            skip = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        }
        skip = std::min(skip, srcLeft);
        src += skip;
        srcLeft -= skip;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

} // namespace

std::string Utf8ToCp932(std::string_view utf8)
{
    thread_local Converter toCp932("CP932", "UTF-8");
    return Convert(toCp932, utf8, "?", 0);
}

std::string Cp932ToUtf8(std::string_view cp932)
{
    thread_local Converter toUtf8("UTF-8", "CP932");
    return Convert(toUtf8, cp932, "\xEF\xBF\xBD", 1);
}

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
                 const std::function<bool(std::string_view)>& take)
{
    // Without blocking, so that opening a fifo does not wait for a writer; what is not a
    // regular file is then refused before a byte is read.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return errno == ENXIO ? kNotRegularFile : errno;
    }
    struct stat st = {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int error = errno;
        ::close(fd);
        return S_ISREG(st.st_mode) ? error : kNotRegularFile;
    }
    std::unique_ptr<char[]> buffer(new char[pieceSize]);
    int failure = 0;
    for (;;) {
        const ssize_t n = ::read(fd, buffer.get(), pieceSize);
        if (n > 0) {
            if (!take(std::string_view(buffer.get(), static_cast<std::size_t>(n)))) {
                break;
            }
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

bool IsReadOnlyFile(const std::filesystem::path& path)
{
    struct stat st = {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & S_IWUSR) == 0;
}

void SyncFolder(const std::filesystem::path& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

std::filesystem::path UserDataRoot()
{
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && *xdg) {
        return xdg;
    }
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home && *home ? home : "/tmp") / ".local" / "share";
}

std::vector<std::string> Utf8Arguments(int argc, char** argv)
{
    return std::vector<std::string>(argv, argv + argc);
}

void PrepareStandardStreams() {}

std::string UserKey()
{
    return std::to_string(::getuid());
}

bool ProcessRunning(std::int64_t processId)
{
    // Signal 0 asks only whether the process is still there.
    return processId > 0 && ::kill(static_cast<pid_t>(processId), 0) == 0;
}

bool ActivateWindowTitled(std::string_view)
{
    return false;
}

bool StderrIsTerminal()
{
    return ::isatty(STDERR_FILENO) != 0;
}

bool MakeFolder(const std::filesystem::path& folder)
{
    return ::mkdir(folder.c_str(), 0777) == 0;
}

bool MoveReplacing(const std::filesystem::path& from, const std::filesystem::path& to)
{
    return ::rename(from.c_str(), to.c_str()) == 0;
}

void RemoveFile(const std::filesystem::path& path)
{
    ::unlink(path.c_str());
}

std::unique_ptr<NewFile> NewFile::Create(const std::filesystem::path& folder,
                                         std::string_view prefix)
{
    std::string pattern = (folder / (std::string(prefix) + "XXXXXX")).native();
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    return std::unique_ptr<NewFile>(new NewFile(pattern, fd));
}

NewFile::~NewFile()
{
    if (m_handle >= 0) {
        ::close(static_cast<int>(m_handle));
    }
    if (!m_keep) {
        ::unlink(m_path.c_str());
    }
}

bool NewFile::Write(const char* data, std::size_t size)
{
    return WriteAll(static_cast<int>(m_handle), data, size);
}

bool WriteInPlace(const std::filesystem::path& path, std::string_view bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool ok = WriteAll(fd, bytes.data(), bytes.size());
    return ::close(fd) == 0 && ok;
}

bool NewFile::Finish(std::optional<std::int64_t> modified,
                     const std::filesystem::path& permissionsOf)
{
    // mkstemp makes the file private; a new file gets what the user's mask allows of
    // read and write.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode_t mode = 0666 & ~mask;
    struct stat existing = {};
    if (!permissionsOf.empty() && ::stat(permissionsOf.c_str(), &existing) == 0 &&
        S_ISREG(existing.st_mode)) {
        mode = existing.st_mode & 07777;
    }
    const int fd = static_cast<int>(m_handle);
    bool ok = ::fchmod(fd, mode) == 0;
    if (modified) {
        struct timespec times[2] = {};
        times[0].tv_nsec = UTIME_OMIT;
        times[1].tv_sec = static_cast<time_t>(*modified);
        ::futimens(fd, times);
    }
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
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
                                            std::chrono::milliseconds patience, bool* busy,
                                            LockKind kind)
{
    *busy = false;
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
        if (::flock(fd, (kind == LockKind::Shared ? LOCK_SH : LOCK_EX) | LOCK_NB) == 0) {
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
    ::close(static_cast<int>(m_handle)); // closing the last descriptor lets the lock go
}

} // namespace furlox::platform
