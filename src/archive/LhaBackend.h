#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/EntryNames.h"
#include "base/FileBatch.h"

// The LHA library of the program, in process, over libarchive. The archive component's front
// (TLha32) calls it with typed requests: an extraction request answered by a result that
// names the files placed and the entries refused; the listing of an archive's headers (which
// TLha32 keeps behind its listing handles); the content check; one entry read into memory.
//
// Extraction is safe by construction: an entry never lands outside the destination folder
// (leading "/", "\" and drive letters are dropped, any ".." refuses the entry, existing
// symbolic links on the way are not followed), links are never created, an entry larger than
// kMaxEntrySize and archives over kMaxTotalSize together are refused, no file is written with
// execute permission, nothing the program or the system could load or run is written
// (EntryNames), and every file is written under a temporary name and put in place only after
// the whole archive was read with every CRC right; when putting one in place fails, the files
// replaced before it come back. A failed or stopped extraction therefore leaves the
// destination as it was, and with a commit journal so does a killed one, once
// FileBatch::Recover ran.
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

// Receives the progress reports of an archiver's operations while it is registered.
class ProgressWindow
{
public:
    virtual ~ProgressWindow() = default;
    // True asks the running operation to stop.
    virtual bool ReportProgress(int state, const ExtractingInfoEx* info) = 0;
};

// A file of an extraction that is written whole and waits to be put in place.
struct StagedFile
{
    std::string name;             // the entry's name as stored, CP932
    std::filesystem::path target; // where it goes
    std::filesystem::path staged; // where it is now, under a temporary name beside it
};

// Where extracted files may go beyond what the options say, and what is checked before they
// are put in place.
struct ExtractRules
{
    // Top-level names (CP932) that an entry of the same name in other capitals is written
    // under, as a file system that ignores case would (the data files the program reads by
    // their lower-case names). No folder is made under such a name.
    std::vector<std::string> fixedNames;
    // Paths below the destination (CP932, "/"-separated) that are never replaced nor made,
    // compared without ASCII case: the program's own files.
    std::vector<std::string> protectedNames;
    // Called once every entry is written whole under its temporary name and before any file is
    // put in place, with those files and the report of the entries refused ("name: reason"
    // lines, CP932); whatever it throws ends the extraction with nothing put in place, and
    // goes on to the caller.
    std::function<void(const std::vector<StagedFile>& files, const std::string& refusals)>
        beforeCommit;
    // The commit journal (FileBatch): with one, a process killed while the files are put in
    // place leaves a commit that FileBatch::Recover finishes. An unfinished commit it records
    // is finished before the extraction begins.
    CommitJournal journal;
};

// A listing handle; 0 is none.
using ArchiveHandle = std::uintptr_t;

namespace lha {

// Entries larger than this are never extracted: a race day is well below a megabyte, and a
// header claiming more is damage or a trap.
inline constexpr std::uint64_t kMaxEntrySize = 256ull * 1024 * 1024;
// What all entries of one archive may unpack to together: an archive of small entries that
// each pass kMaxEntrySize cannot fill the disk either.
inline constexpr std::uint64_t kMaxTotalSize = 256ull * 1024 * 1024;
// Archive files larger than this are not read: every pass over an archive reads the bytes
// read once into memory (ArchiveBytes). A race day's archive is well below a megabyte.
inline constexpr std::uint64_t kMaxArchiveSize = 64ull * 1024 * 1024;

// Result codes.
inline constexpr int kOk = 0;
inline constexpr int kEndOfList = -1; // FindFirst / FindNext: no further entry
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
inline constexpr int kErrorUnreadableName = 0x800E;  // a name neither Shift-JIS nor UTF-8
inline constexpr int kErrorProtected = 0x800F;       // would replace a program file
inline constexpr int kErrorRunnable = 0x8010;        // a file the program or system could run
inline constexpr int kErrorArchiveTooLarge = 0x8011; // the archive file is over kMaxArchiveSize
inline constexpr int kErrorTotalTooLarge = 0x8012;   // the entries together are over kMaxTotalSize

// CheckArchive mode bit: also decode every entry and check its CRC.
inline constexpr int kCheckFullCrc = 0x02;

// The user's text for a result code (CP932).
std::string ResultText(int code);

// An archive file's bytes, read once: the listing, the count and the extraction of one open
// all read these, so they all see the same archive, however the file changes meanwhile.
struct ArchiveBytes
{
    std::filesystem::path path;
    std::string bytes;
};
using ArchiveSnapshot = std::shared_ptr<const ArchiveBytes>;

// Reads the archive file at path into *snapshot: kOk; kErrorArchiveOpen when there is no such
// regular file (a folder, a device) or it cannot be read; kErrorNotArchive when it is empty;
// kErrorArchiveTooLarge over kMaxArchiveSize.
int ReadArchiveFile(const std::filesystem::path& path, ArchiveSnapshot* snapshot);

// What an extraction is asked to do.
struct ExtractRequest
{
    std::filesystem::path archive;
    ArchiveSnapshot snapshot;          // the archive as already read; when empty, `archive` is read
    std::filesystem::path destination; // made when missing
    bool replaceExisting = false;      // false: an existing file of an entry's name stays
    std::vector<std::string> wildcards; // CP932 (MatchesWildcard); empty: every entry
    // Called for each progress report; true asks the extraction to stop.
    std::function<bool(int state, const ExtractingInfoEx& info)> progress;
    ExtractRules rules;
};

// An entry that was not extracted, and why.
struct RefusedEntry
{
    std::string name;   // as stored, CP932
    std::string reason; // CP932
    int code = kOk;     // kOk: only left out (an existing file kept without the replace rule)
};

struct ExtractResult
{
    // kOk; the first refusal's code when entries were refused and the others extracted; or
    // the error that stopped the whole extraction (then nothing was placed).
    int code = kOk;
    std::vector<std::filesystem::path> placed; // the files put in place, in archive order
    std::vector<RefusedEntry> refused;
    std::string error; // CP932: what stopped the extraction; empty when nothing did

    // The report as lines ended by CR LF: "name: reason" per refused entry (control bytes of
    // the name escaped), then the error.
    std::string Text() const;
};

ExtractResult Extract(const ExtractRequest& request);

// Reads the first regular entry that matches the wildcard into buffer (at most size bytes;
// the whole entry is still read, so its CRC is checked); *written gets the bytes copied.
int ReadEntry(const std::filesystem::path& archive, std::string_view wildcard, char* buffer,
              std::size_t size, std::size_t* written);

// The headers of an archive, with the names as UTF-8 when they are stored so (a Unix
// archiver's), else as Shift-JIS, or as stored when they are no Shift-JIS either: what a
// listing answers, what an extraction counts before it writes anything, and what the content
// check looks at.
struct Listing
{
    std::vector<EntryInfo> entries;
    int endCode = kEndOfList; // after the last entry: kEndOfList, or why the reading broke off
    std::string detail;       // libarchive's words for a break
    bool convertedNames = true;
};

Listing ReadListing(const ArchiveBytes& archive);
Listing ReadListing(const std::filesystem::path& archive);

// True when the file is a sound LHA archive (with kCheckFullCrc: every CRC right too).
bool UnlhaCheckArchive(const std::filesystem::path& archive, int mode);

} // namespace lha
} // namespace furlox::archive
