#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The LHA library of the program, in process, over libarchive. It keeps the contract of an
// archiver library: one command line per operation, answered by a result code and an output
// text; a listing handle with FindFirst / FindNext; progress reports to a registered owner,
// who may ask the running operation to stop.
//
// Extraction is safe by construction: an entry never lands outside the destination folder
// (leading "/", "\" and drive letters are dropped, any ".." refuses the entry, existing
// symbolic links on the way are not followed), links are never created, an entry larger than
// kMaxEntrySize is refused, and every file is written under a temporary name and put in place
// only after the whole archive was read with every CRC right. A failed or stopped extraction
// therefore leaves the destination as it was.
namespace furlox::archive {

// One entry of a listing.
struct EntryInfo
{
    std::string fileName; // the name as stored in the archive, CP932
    std::uint64_t originalSize = 0;
    std::int64_t time = 0; // modification time, Unix seconds
    std::string method;    // "-lh5-", "-lhd-" for a folder
    bool directory = false;
};

// The progress record sent with each report.
struct ExtractingInfoEx
{
    std::uint32_t fileSize = 0;  // size of the current entry in bytes
    std::uint32_t writeSize = 0; // bytes of it written so far
    std::string sourceFileName;  // the entry's name as stored, CP932
    std::string destFileName;    // the file being written
};

// Progress states. The owner may answer "stop" to every report except kStateCopy.
inline constexpr int kStateBegin = 0;     // an entry begins
inline constexpr int kStateInProcess = 1; // a block of the entry was written
inline constexpr int kStateEnd = 2;       // the entry is complete
inline constexpr int kStateCopy = 4;      // finished files are put in place
inline constexpr int kStateCount = 5;     // an entry is counted before extraction begins

// Receives the progress reports of the operations run on its thread while it is registered.
class ProgressWindow
{
public:
    virtual ~ProgressWindow() = default;
    // True asks the running operation to stop.
    virtual bool ReportProgress(int state, const ExtractingInfoEx* info) = 0;
};

// A listing handle; 0 is none.
using ArchiveHandle = std::uintptr_t;

namespace lha {

// Entries larger than this are never extracted: a race day is well below a megabyte, and a
// header claiming more is damage or a trap.
inline constexpr std::uint64_t kMaxEntrySize = 256ull * 1024 * 1024;

// Result codes.
inline constexpr int kOk = 0;
inline constexpr int kEndOfList = -1; // FindFirst / FindNext: no further entry
inline constexpr int kErrorCommandLine = 0x8001;
inline constexpr int kErrorNotSupported = 0x8002;
inline constexpr int kErrorArchiveOpen = 0x8003;
inline constexpr int kErrorNotArchive = 0x8004;
inline constexpr int kErrorBroken = 0x8005;
inline constexpr int kErrorData = 0x8006;
inline constexpr int kErrorUnsafeEntry = 0x8007;
inline constexpr int kErrorTooLarge = 0x8008;
inline constexpr int kErrorWrite = 0x8009;
inline constexpr int kErrorCancelled = 0x800A;
inline constexpr int kErrorNoMatch = 0x800B;
inline constexpr int kErrorBufferTooSmall = 0x800C;
inline constexpr int kErrorHandle = 0x800D;

// CheckArchive mode bit: also decode every entry and check its CRC.
inline constexpr int kCheckFullCrc = 0x02;

// The user's text for a result code (CP932).
std::string ResultText(int code);

// Runs one command: "x" extracts with folders, "e" without; a (pack), u, d, f, s and m are
// not available and answer kErrorNotSupported. The command line is what BuildCommandLine
// writes: switches (-c1 replaces existing files; without it they are kept), the archive, the
// destination (ending in a backslash), then names, wildcards or "@responsefile". The output
// text (CP932, lines ended by CR LF) goes into `output` without changing its size, cut to
// fit and ended by a NUL; an empty buffer gets nothing.
int Unlha(std::string_view commandLine, std::string& output);

// Reads the entry named on the command line (no command letter) into buffer; *written gets
// the entry's size.
int UnlhaExtractMem(std::string_view commandLine, char* buffer, std::size_t size,
                    std::size_t* written);

ArchiveHandle UnlhaOpenArchive(const std::string& path, unsigned mode);
int UnlhaCloseArchive(ArchiveHandle handle);
// 0 and the record filled when an entry matches; kEndOfList at a clean end; an error code
// when the archive breaks off before its end.
int UnlhaFindFirst(ArchiveHandle handle, std::string_view wildcard, EntryInfo& info);
int UnlhaFindNext(ArchiveHandle handle, EntryInfo& info);

// True when the file is a sound LHA archive (with kCheckFullCrc: every CRC right too).
bool UnlhaCheckArchive(const std::string& path, int mode);

// Registers / unregisters the owner of the progress reports for the calling thread.
bool UnlhaSetOwnerWindowEx(ProgressWindow* window);
bool UnlhaKillOwnerWindowEx(ProgressWindow* window);

// The entry's path below the destination folder, "/"-separated; nullopt when the name must be
// refused (a ".." component). Drive letters, leading separators and "." are dropped, so the
// path may come out empty; "\" separates like "/" unless it is the second byte of a
// double-byte character.
std::optional<std::string> SafeRelativePath(std::string_view cp932Name);

// How the library reads a command line: split at blanks, double quotes group and vanish.
// False when a quote is left open.
bool SplitCommandLine(std::string_view line, std::vector<std::string>& tokens);

// Wildcard match of an entry name: "*" and "?" (whole characters), ASCII case ignored, "/" and
// "\" alike; "*.*" matches every name.
bool MatchesWildcard(std::string_view pattern, std::string_view name);

} // namespace lha
} // namespace furlox::archive
