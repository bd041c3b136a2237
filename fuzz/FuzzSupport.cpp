#include "FuzzSupport.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace furlox::fuzz {

void Finding(std::string_view what)
{
    std::fprintf(stderr, "\n==FUZZ FINDING== %.*s\n", static_cast<int>(what.size()), what.data());
    std::fflush(stderr);
    std::abort();
}

namespace {

// Scratch folders of processes that are gone (a finding ends a run with abort, before any
// clean-up): furlox-fuzz-<pid>-XXXXXX whose process no longer exists.
void RemoveStaleScratchFolders(const std::string& base)
{
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(base, ec)) {
        const std::string name = entry.path().filename().string();
        const std::string prefix = "furlox-fuzz-";
        if (name.rfind(prefix, 0) != 0) {
            continue;
        }
        const long pid = std::strtol(name.c_str() + prefix.size(), nullptr, 10);
        if (pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
            std::filesystem::remove_all(entry.path(), ec);
        }
    }
}

std::filesystem::path MakeScratchRoot()
{
    std::string base;
    if (const char* env = std::getenv("FURLOX_FUZZ_TMP"); env && *env) {
        base = env;
    } else if (::access("/dev/shm", W_OK) == 0) {
        base = "/dev/shm";
    } else {
        std::error_code ec;
        base = std::filesystem::temp_directory_path(ec).string();
        if (ec || base.empty()) {
            base = "/tmp";
        }
    }
    RemoveStaleScratchFolders(base);
    std::string pattern = base + "/furlox-fuzz-" + std::to_string(::getpid()) + "-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        Finding("cannot make the scratch folder under " + base);
    }
    return std::filesystem::canonical(pattern);
}

std::filesystem::path* g_root = nullptr;

void RemoveScratchRoot()
{
    if (g_root) {
        std::error_code ec;
        std::filesystem::remove_all(*g_root, ec);
    }
}

} // namespace

const std::filesystem::path& ScratchRoot()
{
    if (!g_root) {
        g_root = new std::filesystem::path(MakeScratchRoot());
        std::atexit(RemoveScratchRoot);
    }
    return *g_root;
}

void WriteBytes(const std::filesystem::path& path, std::string_view bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        Finding("cannot write the scratch file " + path.string());
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            ::close(fd);
            Finding("cannot write the scratch file " + path.string());
        }
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
}

std::vector<std::filesystem::path> TreeBelow(const std::filesystem::path& root)
{
    std::vector<std::filesystem::path> out;
    std::error_code ec;
    std::filesystem::recursive_directory_iterator it(root, std::filesystem::directory_options::none,
                                                     ec);
    if (ec) {
        return out;
    }
    for (; it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        if (ec) {
            Finding("cannot walk " + root.string() + ": " + ec.message());
        }
        out.push_back(it->path());
    }
    return out;
}

void RemoveTree(const std::filesystem::path& path)
{
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
    if (ec) {
        Finding("cannot remove " + path.string() + ": " + ec.message());
    }
}

bool IsWithin(const std::filesystem::path& path, const std::filesystem::path& root)
{
    auto p = path.begin();
    for (auto r = root.begin(); r != root.end(); ++r, ++p) {
        if (p == path.end() || *p != *r) {
            return false;
        }
    }
    return true;
}

std::string Printable(std::string_view bytes)
{
    std::string out;
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            out += escaped;
        }
    }
    return out;
}

} // namespace furlox::fuzz
