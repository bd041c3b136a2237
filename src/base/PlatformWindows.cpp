#include "base/Platform.h"

#include "base/Encoding.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <iostream>
#include <streambuf>
#include <string>
#include <thread>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

namespace furlox::platform {
namespace {

constexpr UINT kCp932 = 932;

HANDLE AsHandle(std::intptr_t handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

std::intptr_t FromHandle(HANDLE handle)
{
    return reinterpret_cast<std::intptr_t>(handle);
}

std::wstring Widen(UINT codePage, DWORD flags, std::string_view text)
{
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int n = ::MultiByteToWideChar(codePage, flags, text.data(), size, nullptr, 0);
    if (n <= 0) {
        return {};
    }
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(codePage, flags, text.data(), size, out.data(), n);
    return out;
}

std::string Narrow(UINT codePage, std::wstring_view text, const char* substitute)
{
    if (text.empty()) {
        return {};
    }
    // The default character may be named for the code pages, not for UTF-8. For a code page,
    // a character outside the Basic Multilingual Plane (two UTF-16 units) is one character it
    // cannot hold, so one substitute and not two; and no "best fit" look-alike stands in for
    // a missing character ("?" as on the other systems).
    const char* fallback = nullptr;
    DWORD flags = 0;
    std::wstring units;
    if (codePage != CP_UTF8) {
        fallback = substitute;
        flags = WC_NO_BEST_FIT_CHARS;
        units.reserve(text.size());
        for (std::size_t i = 0; i < text.size(); ++i) {
            const bool pair = text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size() &&
                              text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
            units += pair ? L'?' : text[i];
            i += pair ? 1 : 0;
        }
        text = units;
    }
    const int size = static_cast<int>(text.size());
    const int n =
        ::WideCharToMultiByte(codePage, flags, text.data(), size, nullptr, 0, fallback, nullptr);
    if (n <= 0) {
        return {};
    }
    std::string out(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(codePage, flags, text.data(), size, out.data(), n, fallback, nullptr);
    return out;
}

// The length of the CP932 character starting at s[0], 0 when it is no valid CP932.
std::size_t Cp932CharLength(std::string_view s)
{
    const auto c = static_cast<unsigned char>(s[0]);
    if (c < 0x80 || (c >= 0xA1 && c <= 0xDF)) {
        return 1;
    }
    const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
    if (!lead || s.size() < 2) {
        return 0;
    }
    const auto t = static_cast<unsigned char>(s[1]);
    if (t < 0x40 || t == 0x7F || t > 0xFC) {
        return 0;
    }
    // A well-formed pair the code page has no character for is invalid too.
    wchar_t w = 0;
    return ::MultiByteToWideChar(kCp932, MB_ERR_INVALID_CHARS, s.data(), 2, &w, 1) == 1 ? 2 : 0;
}

// Converts character by character where the input is not valid as a whole, so that one bad
// sequence becomes one substitute and the rest is kept, as iconv does on Linux.
template <typename Length, typename Convert>
std::string ConvertPiecewise(std::string_view in, Length length, Convert convert,
                             std::string_view substitute)
{
    std::string out;
    out.reserve(in.size() * 3 / 2 + 8);
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < in.size()) {
        const std::size_t n = length(in.substr(i));
        if (n > 0) {
            i += n;
            continue;
        }
        out += convert(in.substr(start, i - start));
        out += substitute;
        i += 1;
        start = i;
    }
    out += convert(in.substr(start));
    return out;
}

bool WriteAll(HANDLE h, const char* data, std::size_t size)
{
    while (size > 0) {
        const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(h, data, piece, &written, nullptr) || written == 0) {
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

// Windows error codes mapped onto the C library's numbers where one exists, so callers can
// tell "not there" from "no access" alike on every system.
int ErrnoOf(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    default:
        return EIO;
    }
}

} // namespace

std::string Utf8ToCp932(std::string_view utf8)
{
    const std::wstring whole = Widen(CP_UTF8, MB_ERR_INVALID_CHARS, utf8);
    if (!whole.empty() || utf8.empty()) {
        return Narrow(kCp932, whole, "?");
    }
    auto convert = [](std::string_view piece) {
        return Narrow(kCp932, Widen(CP_UTF8, 0, piece), "?");
    };
    // Characters the code page cannot hold become "?" through the default character; bytes
    // that are no UTF-8 at all become "?" too.
    return ConvertPiecewise(utf8, Utf8CharLength, convert, "?");
}

std::string Cp932ToUtf8(std::string_view cp932)
{
    const std::wstring whole = Widen(kCp932, MB_ERR_INVALID_CHARS, cp932);
    if (!whole.empty() || cp932.empty()) {
        return Narrow(CP_UTF8, whole, nullptr);
    }
    auto convert = [](std::string_view piece) {
        return Narrow(CP_UTF8, Widen(kCp932, 0, piece), nullptr);
    };
    return ConvertPiecewise(cp932, Cp932CharLength, convert, "\xEF\xBF\xBD");
}

EntryKind KindOf(const std::filesystem::path& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? EntryKind::None
                                                                              : EntryKind::Error;
    }
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        return EntryKind::Link;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        return EntryKind::Folder;
    }
    return attributes & FILE_ATTRIBUTE_DEVICE ? EntryKind::Other : EntryKind::File;
}

bool IsExecutableFile(const std::filesystem::path& path)
{
    if (KindOf(path) != EntryKind::File) {
        return false;
    }
    std::wstring extension = path.extension().wstring();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](wchar_t c) { return c >= L'A' && c <= L'Z' ? wchar_t(c - L'A' + L'a') : c; });
    static const std::array<std::wstring_view, 12> kRun = {L".exe", L".com", L".bat", L".cmd",
                                                           L".dll", L".scr", L".msi", L".ps1",
                                                           L".vbs", L".js",  L".cpl", L".lnk"};
    return std::find(kRun.begin(), kRun.end(), extension) != kRun.end();
}

bool IsWritableFolder(const std::filesystem::path& folder)
{
    // Access rights on Windows are lists, not bits: the one sure answer is to try.
    for (unsigned attempt = 0; attempt < 8; ++attempt) {
        const std::filesystem::path probe =
            folder / (L".furlox-probe-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                      std::to_wstring(::GetTickCount64() + attempt));
        HANDLE h = ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            ::CloseHandle(h);
            return true;
        }
        if (::GetLastError() != ERROR_FILE_EXISTS) {
            return false;
        }
    }
    return false;
}

std::filesystem::path ProgramFile()
{
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n =
            ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) {
            return {};
        }
        if (n < buffer.size()) {
            buffer.resize(n);
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::filesystem::path UserDataRoot()
{
    PWSTR folder = nullptr;
    std::filesystem::path root;
    if (::SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &folder) == S_OK) {
        root = folder;
    }
    ::CoTaskMemFree(folder);
    if (root.empty()) {
        std::error_code ec;
        root = std::filesystem::temp_directory_path(ec);
    }
    return root;
}

std::vector<std::string> Utf8Arguments(int argc, char** argv)
{
    int count = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr || count != argc) {
        if (wide) {
            ::LocalFree(wide);
        }
        return std::vector<std::string>(argv, argv + argc);
    }
    std::vector<std::string> args;
    for (int i = 0; i < count; ++i) {
        args.push_back(Narrow(CP_UTF8, wide[i], nullptr));
    }
    ::LocalFree(wide);
    return args;
}

namespace {

// A console shown through its wide-character call. The C library writes an unbuffered console
// one byte at a time, and a console cannot put a character together from the pieces: every
// Japanese character came out as three "?". This buffer keeps the bytes until a flush (every
// line, and std::cerr after every write), then writes the whole UTF-8 text as UTF-16 at once;
// a character cut by the end of the buffer waits for its other bytes.
class ConsoleBuffer final : public std::streambuf
{
public:
    explicit ConsoleBuffer(HANDLE console) : m_console(console) { setp(m_bytes, m_bytes + kSize); }

protected:
    int_type overflow(int_type c) override
    {
        if (!Flush(false)) {
            return traits_type::eof();
        }
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
            if (c == '\n') {
                Flush(false);
            }
        }
        return traits_type::not_eof(c);
    }

    std::streamsize xsputn(const char* text, std::streamsize count) override
    {
        const std::streamsize written = std::streambuf::xsputn(text, count);
        if (std::char_traits<char>::find(text, static_cast<std::size_t>(count), '\n')) {
            Flush(false);
        }
        return written;
    }

    int sync() override { return Flush(true) ? 0 : -1; }

private:
    static constexpr std::ptrdiff_t kSize = 4096;

    // The bytes of a UTF-8 character at the end of `text` that are not all there yet.
    static std::size_t CutCharacterAtEnd(std::string_view text)
    {
        std::size_t lead = text.size();
        while (lead > 0 && text.size() - lead < 3 &&
               (static_cast<unsigned char>(text[lead - 1]) & 0xC0) == 0x80) {
            --lead;
        }
        if (lead == 0) {
            return 0;
        }
        const auto first = static_cast<unsigned char>(text[--lead]);
        const std::size_t length = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC0 ? 2 : 1;
        const std::size_t present = text.size() - lead;
        return present < length ? present : 0;
    }

    // Writes the complete characters held; with `all`, a cut character too (as it is).
    bool Flush(bool all)
    {
        const std::size_t held = static_cast<std::size_t>(pptr() - pbase());
        std::size_t whole = held;
        if (!all) {
            whole = held - CutCharacterAtEnd(std::string_view(m_bytes, held));
        }
        const std::wstring wide = Widen(CP_UTF8, 0, std::string_view(m_bytes, whole));
        bool ok = true;
        std::size_t done = 0;
        while (done < wide.size()) {
            DWORD n = 0;
            const DWORD part = static_cast<DWORD>(std::min<std::size_t>(wide.size() - done, 8192));
            if (!::WriteConsoleW(m_console, wide.data() + done, part, &n, nullptr) || n == 0) {
                ok = false;
                break;
            }
            done += n;
        }
        std::memmove(m_bytes, m_bytes + whole, held - whole);
        setp(m_bytes, m_bytes + kSize);
        pbump(static_cast<int>(held - whole));
        return ok;
    }

    HANDLE m_console;
    char m_bytes[kSize];
};

// The console a standard handle shows, or nothing when it is a file or a pipe.
HANDLE ConsoleOf(DWORD standardHandle)
{
    HANDLE handle = ::GetStdHandle(standardHandle);
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && handle != nullptr && ::GetConsoleMode(handle, &mode)
               ? handle
               : nullptr;
}

} // namespace

void PrepareStandardStreams()
{
    ::SetConsoleOutputCP(CP_UTF8);
    std::fflush(stdout);
    std::fflush(stderr);
    // A file or a pipe gets the bytes as they are, every byte; a console gets whole text.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    // The buffers stay for the life of the process: the streams flush into them at exit.
    if (HANDLE console = ConsoleOf(STD_OUTPUT_HANDLE)) {
        std::cout.flush();
        std::cout.rdbuf(new ConsoleBuffer(console));
    }
    if (HANDLE console = ConsoleOf(STD_ERROR_HANDLE)) {
        std::cerr.flush();
        std::cerr.rdbuf(new ConsoleBuffer(console));
    }
}

bool WriteInPlace(const std::filesystem::path& path, std::string_view bytes)
{
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool ok = WriteAll(h, bytes.data(), bytes.size());
    return ::CloseHandle(h) && ok;
}

int ReadInPieces(const std::filesystem::path& path, std::size_t pieceSize,
                 const std::function<bool(std::string_view)>& take)
{
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        // A folder opens only with backup semantics: here it answers that access is denied.
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            return kNotRegularFile;
        }
        return ErrnoOf(error);
    }
    // A device (NUL, CON, a COM port) or a pipe is no file on the disk.
    BY_HANDLE_FILE_INFORMATION info = {};
    if (::GetFileType(h) != FILE_TYPE_DISK || !::GetFileInformationByHandle(h, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        ::CloseHandle(h);
        return kNotRegularFile;
    }
    std::unique_ptr<char[]> buffer(new char[pieceSize]);
    int failure = 0;
    for (;;) {
        DWORD n = 0;
        if (!::ReadFile(h, buffer.get(), static_cast<DWORD>(pieceSize), &n, nullptr)) {
            failure = ErrnoOf(::GetLastError());
            break;
        }
        if (n == 0 || !take(std::string_view(buffer.get(), n))) {
            break;
        }
    }
    ::CloseHandle(h);
    return failure;
}

bool IsReadOnlyFile(const std::filesystem::path& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
           !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void SyncFolder(const std::filesystem::path&)
{
    // NTFS keeps its own journal of names: MoveFileEx with MOVEFILE_WRITE_THROUGH is on the
    // disk when it returns.
}

std::string UserKey()
{
    std::array<wchar_t, 256> name = {};
    DWORD size = static_cast<DWORD>(name.size());
    if (!::GetUserNameW(name.data(), &size) || size == 0) {
        return "user";
    }
    // The key goes into names of pipes and files: keep letters and digits only, the rest
    // as their code numbers.
    std::string key;
    for (DWORD i = 0; i + 1 < size; ++i) {
        const wchar_t c = name[i];
        if ((c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9')) {
            key += static_cast<char>(c);
        } else {
            key += "_" + std::to_string(static_cast<unsigned>(c));
        }
    }
    return key;
}

bool ProcessRunning(std::int64_t processId)
{
    HANDLE process =
        ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(processId));
    if (process == nullptr) {
        return false;
    }
    DWORD code = 0;
    const bool running = ::GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    ::CloseHandle(process);
    return running;
}

bool ActivateWindowTitled(std::string_view titleUtf8)
{
    const std::wstring title = Widen(CP_UTF8, 0, titleUtf8);
    HWND window = ::FindWindowW(nullptr, title.c_str());
    if (window == nullptr) {
        return false;
    }
    if (::IsIconic(window)) {
        ::ShowWindow(window, SW_RESTORE);
    }
    ::SetForegroundWindow(window);
    return true;
}

bool StderrIsTerminal()
{
    DWORD mode = 0;
    return ::GetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

bool MakeFolder(const std::filesystem::path& folder)
{
    return ::CreateDirectoryW(folder.c_str(), nullptr) != 0;
}

bool MoveReplacing(const std::filesystem::path& from, const std::filesystem::path& to)
{
    return ::MoveFileExW(from.c_str(), to.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void RemoveFile(const std::filesystem::path& path)
{
    if (!::DeleteFileW(path.c_str()) && ::GetLastError() == ERROR_ACCESS_DENIED) {
        // A read-only file (or a link to a folder) needs one more step.
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            ::RemoveDirectoryW(path.c_str());
        } else if (attributes != INVALID_FILE_ATTRIBUTES) {
            ::SetFileAttributesW(path.c_str(), attributes & ~DWORD(FILE_ATTRIBUTE_READONLY));
            ::DeleteFileW(path.c_str());
        }
    }
}

std::unique_ptr<NewFile> NewFile::Create(const std::filesystem::path& folder,
                                         std::string_view prefix)
{
    static std::atomic<unsigned> counter{0};
    const std::wstring widePrefix = Widen(CP_UTF8, 0, prefix);
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        // Six characters of a name no other file has: the process, a counter and the clock.
        const unsigned long long seed =
            (static_cast<unsigned long long>(::GetCurrentProcessId()) << 20) ^
            (counter++ * 2654435761u) ^ ::GetTickCount64();
        static const wchar_t kLetters[] = L"abcdefghijklmnopqrstuvwxyz0123456789";
        std::wstring suffix;
        unsigned long long v = seed;
        for (int k = 0; k < 6; ++k) {
            suffix += kLetters[v % 36];
            v /= 36;
        }
        const std::filesystem::path path = folder / (widePrefix + suffix);
        HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            return std::unique_ptr<NewFile>(new NewFile(path, FromHandle(h)));
        }
        if (::GetLastError() != ERROR_FILE_EXISTS) {
            return nullptr;
        }
    }
    return nullptr;
}

NewFile::~NewFile()
{
    if (m_handle != FromHandle(INVALID_HANDLE_VALUE)) {
        ::CloseHandle(AsHandle(m_handle));
    }
    if (!m_keep) {
        ::DeleteFileW(m_path.c_str());
    }
}

bool NewFile::Write(const char* data, std::size_t size)
{
    return WriteAll(AsHandle(m_handle), data, size);
}

bool NewFile::Finish(std::optional<std::int64_t> modified, const std::filesystem::path&)
{
    // A new file has the folder's inherited rights, and Windows has no execute bit to drop;
    // the replaced file's rights are not copied.
    HANDLE h = AsHandle(m_handle);
    if (modified) {
        // Unix seconds to 100-nanosecond steps since 1601.
        const long long ticks = (*modified + 11644473600LL) * 10000000LL;
        FILETIME time;
        time.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFF);
        time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
        ::SetFileTime(h, nullptr, nullptr, &time);
    }
    bool ok = ::FlushFileBuffers(h) != 0;
    ok = ::CloseHandle(h) != 0 && ok;
    m_handle = FromHandle(INVALID_HANDLE_VALUE);
    return ok;
}

Utf8TextScope::Utf8TextScope() {}

Utf8TextScope::~Utf8TextScope() {}

bool Utf8TextScope::Available()
{
    return true;
}

std::unique_ptr<FileLock> FileLock::Acquire(const std::filesystem::path& folder,
                                            std::chrono::milliseconds patience, bool* busy,
                                            LockKind kind)
{
    *busy = false;
    if (KindOf(folder) != EntryKind::Folder) {
        return nullptr;
    }
    // Another process may hold the file open too; what it may not do is lock it as well.
    HANDLE h = ::CreateFileW((folder / L".furlox-lock").c_str(), GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
        OVERLAPPED whole = {};
        const DWORD mode = kind == LockKind::Shared ? 0 : LOCKFILE_EXCLUSIVE_LOCK;
        if (::LockFileEx(h, mode | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &whole)) {
            return std::unique_ptr<FileLock>(new FileLock(FromHandle(h)));
        }
        const DWORD error = ::GetLastError();
        if (error != ERROR_LOCK_VIOLATION || std::chrono::steady_clock::now() >= deadline) {
            *busy = error == ERROR_LOCK_VIOLATION;
            ::CloseHandle(h);
            return nullptr;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

FileLock::~FileLock()
{
    ::CloseHandle(AsHandle(m_handle)); // closing the handle lets the lock go
}

} // namespace furlox::platform
