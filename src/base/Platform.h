#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The platform layer: the only place with operating-system calls. One implementation per
// system (PlatformPosix.cpp; the Windows one joins it), chosen in CMake. Paths are
// std::filesystem::path made from UTF-8; no call here follows a symbolic link unless it says so.
namespace furlox::platform {

// Text conversions between UTF-8 and CP932 (Shift-JIS). Characters CP932 cannot hold become
// "?"; bytes that are no valid CP932 become U+FFFD.
std::string Utf8ToCp932(std::string_view utf8);
std::string Cp932ToUtf8(std::string_view cp932);

// What a path names, the path itself and not what a link points to.
enum class EntryKind
{
    None,   // nothing there
    File,   // a regular file
    Folder, // a folder
    Link,   // a symbolic link (or a junction)
    Other,  // a device, pipe or socket
    Error,  // cannot be told (no access, a name too long)
};

EntryKind KindOf(const std::filesystem::path& path);

// True for a regular file the system would run as a program: on POSIX one with an execute bit,
// on Windows one whose extension the system runs (.exe, .com, .bat, .cmd, .dll, .scr, ...).
bool IsExecutableFile(const std::filesystem::path& path);

// True when the program may create files in the folder.
bool IsWritableFolder(const std::filesystem::path& folder);

// The running program's own file.
std::filesystem::path ProgramFile();

// The folder where programs keep the signed-in user's data: $XDG_DATA_HOME or
// ~/.local/share on POSIX, %APPDATA% (the roaming application data) on Windows.
std::filesystem::path UserDataRoot();

// The command-line arguments as UTF-8 (on Windows taken from the wide command line: argv
// holds them in the system code page there).
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Makes the standard streams fit for UTF-8 text written byte for byte: on Windows the console
// shows UTF-8 and no LF becomes CR LF on the way (exports keep their own line ends).
void PrepareStandardStreams();

// Writes the bytes into an existing file in place (a device or a pipe, which renaming over
// would replace as a node). False when it cannot be opened or written to the end.
bool WriteInPlace(const std::filesystem::path& path, std::string_view bytes);

// ReadInPieces' answer for a path that names no regular file (a folder, a device, a pipe, or
// a link to one of them): such a node may block forever or never end, so it is not read.
inline constexpr int kNotRegularFile = -1;

// Reads a regular file (a link is followed to it) from its start in pieces of at most
// pieceSize bytes, handing each to `take`, which answers false to stop reading there. 0 when
// it was read to its end or stopped, kNotRegularFile, else the system's error number (what
// was read was handed on).
int ReadInPieces(const std::filesystem::path& path, std::size_t pieceSize,
                 const std::function<bool(std::string_view)>& take);

// True for an existing regular file that the user marked read-only (POSIX: no write bit for
// its owner; Windows: the read-only attribute). Such a file is never replaced.
bool IsReadOnlyFile(const std::filesystem::path& path);

// Asks the system to write the folder's entries (the names a rename changed) to the disk, so
// that the order of two renames survives a power loss. Does nothing where the system keeps
// that order itself.
void SyncFolder(const std::filesystem::path& folder);

// A short text that tells the signed-in user apart from the others on this machine (POSIX:
// the user id, Windows: the user name), for names that must be one per user.
std::string UserKey();

// True while the process with this id runs.
bool ProcessRunning(std::int64_t processId);

// Windows: brings the top-level window with exactly this title (UTF-8) to the front and
// answers true when there is one. Other systems have no such lookup between programs: false.
bool ActivateWindowTitled(std::string_view titleUtf8);

// True when the standard error stream goes to a terminal (not a file or a pipe).
bool StderrIsTerminal();

// Makes one folder (its parent must exist). False when it cannot be made.
bool MakeFolder(const std::filesystem::path& folder);

// Puts `from` in place of `to`, replacing a file there in one step. False when it fails.
bool MoveReplacing(const std::filesystem::path& from, const std::filesystem::path& to);

// Removes a file (or a link, not what it points to); no error when it is gone already.
void RemoveFile(const std::filesystem::path& path);

// A new file under a fresh name "<prefix>XXXXXX" in a folder, for writing. Removed when
// destroyed unless Keep() was called.
class NewFile
{
public:
    // nullptr when no file can be made there.
    // The prefix is UTF-8.
    static std::unique_ptr<NewFile> Create(const std::filesystem::path& folder,
                                           std::string_view prefix);
    ~NewFile();
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    bool Write(const char* data, std::size_t size);
    // Gives the file the system's default permissions for a new file (never an execute bit),
    // or those of the regular file `permissionsOf` when one is named and exists, and the
    // modification time (Unix seconds) when given; flushes it to the disk and closes it. False
    // when any step that matters fails (a time that cannot be set does not).
    bool Finish(std::optional<std::int64_t> modified,
                const std::filesystem::path& permissionsOf = {});
    // The file stays after destruction.
    void Keep() { m_keep = true; }

private:
    NewFile(std::filesystem::path path, std::intptr_t handle)
        : m_path(std::move(path)), m_handle(handle)
    {}

    std::filesystem::path m_path;
    std::intptr_t m_handle; // a descriptor on POSIX, a HANDLE on Windows
    bool m_keep = false;
};

// While it lives, the calling thread's C library text functions work in UTF-8 (libarchive
// turns the archive's Shift-JIS names into UTF-8 then). Available() is false where no UTF-8
// locale exists; the names then come as the library reads them. On Windows it does nothing:
// libarchive converts names with the system's code-page functions and the wide name is read.
class Utf8TextScope
{
public:
    Utf8TextScope();
    ~Utf8TextScope();
    Utf8TextScope(const Utf8TextScope&) = delete;
    Utf8TextScope& operator=(const Utf8TextScope&) = delete;
    static bool Available();

private:
    void* m_previous = nullptr;
};

// How a lock is shared: an exclusive lock has no other holder; shared locks have as many as
// there are, and no exclusive one beside them.
enum class LockKind
{
    Exclusive,
    Shared,
};

// A lock of the operating system on a folder (POSIX: on the folder itself, so nothing is left
// in it; Windows: on a hidden file ".furlox-lock" in it, as folders cannot be locked there);
// the system releases it when the process ends in any way. Acquire waits up to `patience` for
// another holder to let go.
class FileLock
{
public:
    // nullptr when the lock stays taken for `patience` (*busy is then true) or the folder
    // cannot be locked, for instance because it does not exist (*busy false).
    static std::unique_ptr<FileLock> Acquire(const std::filesystem::path& folder,
                                             std::chrono::milliseconds patience, bool* busy,
                                             LockKind kind = LockKind::Exclusive);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    explicit FileLock(std::intptr_t handle) : m_handle(handle) {}
    std::intptr_t m_handle;
};

} // namespace furlox::platform
