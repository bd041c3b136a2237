// Archive bytes → listing, checks, memory extraction, extraction into a fresh folder and the
// whole open-archive flow. After every step nothing may exist outside the folders handed to
// the component, no link may have been made, no temporary file may be left behind, and a
// failed extraction must have put nothing in place.
//
// The whole input is the archive, so real archives are seeds as they are. Which extraction
// is stopped part-way, and how small the output buffer is, follow from the input's size.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>
#include <vector>

#include "FuzzSupport.h"
#include "analysis/RaceAnalysis.h"
#include "app/OpenDataArchive.h"
#include "archive/ARCHIVES.h"
#include "archive/ArchiverProgress.h"
#include "archive/LhaBackend.h"
#include "base/Error.h"

namespace {

using namespace furlox;
using namespace furlox::archive;
namespace fs = std::filesystem;
namespace fz = furlox::fuzz;

constexpr unsigned kListingMode = 0x800000;

struct Layout
{
    fs::path cwd;  // the process's current folder: must stay empty
    fs::path run;  // made and removed for every input
    fs::path in;   // holds the archive
    fs::path dest; // extraction destinations: dest/x, dest/e
    fs::path work; // the open-archive flow's work directory
    fs::path archive;
};

const Layout& Folders()
{
    static const Layout layout = [] {
        Layout l;
        l.cwd = fz::ScratchRoot() / "cwd";
        l.run = fz::ScratchRoot() / "run";
        l.in = l.run / "in";
        l.dest = l.run / "dest";
        l.work = l.run / "work";
        l.archive = l.in / "day.lzh";
        fs::create_directories(l.cwd);
        return l;
    }();
    return layout;
}

bool IsTemporaryName(const fs::path& p)
{
    return p.filename().string().rfind(".extract-", 0) == 0;
}

// Nothing outside the allowed folders, no links, no staged file left over.
void CheckTree(const char* step)
{
    const Layout& l = Folders();
    const std::set<fs::path> fixed = {l.cwd, l.run, l.in, l.archive, l.dest, l.work};
    for (const fs::path& p : fz::TreeBelow(fz::ScratchRoot())) {
        if (fixed.count(p) != 0) {
            continue;
        }
        FUZZ_CHECK(fz::IsWithin(p, l.dest) || fz::IsWithin(p, l.work),
                   std::string(step) + ": written outside the destination: " + p.string());
        struct stat st = {};
        FUZZ_CHECK(::lstat(p.c_str(), &st) == 0, std::string(step) + ": vanished: " + p.string());
        FUZZ_CHECK(S_ISREG(st.st_mode) || S_ISDIR(st.st_mode),
                   std::string(step) + ": not a file or folder: " + p.string());
        FUZZ_CHECK(!S_ISREG(st.st_mode) || st.st_nlink == 1,
                   std::string(step) + ": hard link made: " + p.string());
        FUZZ_CHECK(!IsTemporaryName(p), std::string(step) + ": staged file left: " + p.string());
    }
    FUZZ_CHECK(fs::current_path() == l.cwd, "current folder changed");
}

// What a folder holds: every path below it with its kind, inode, size and time.
using Snapshot = std::set<std::tuple<std::string, mode_t, ino_t, off_t, std::int64_t>>;

Snapshot Snap(const fs::path& dir)
{
    Snapshot snapshot;
    for (const fs::path& p : fz::TreeBelow(dir)) {
        struct stat st = {};
        if (::lstat(p.c_str(), &st) == 0) {
            snapshot.emplace(p.string(), st.st_mode & S_IFMT, st.st_ino,
                             S_ISREG(st.st_mode) ? st.st_size : 0,
                             S_ISREG(st.st_mode) ? st.st_mtim.tv_sec : 0);
        }
    }
    return snapshot;
}

// Results after which nothing may have been put in place.
bool NothingCommitted(int result)
{
    return result == lha::kErrorBroken || result == lha::kErrorData ||
           result == lha::kErrorCancelled || result == lha::kErrorNotArchive ||
           result == lha::kErrorArchiveOpen || result == lha::kErrorUnreadableName ||
           result == lha::kErrorWrite;
}

std::vector<EntryInfo> List(TArchiveFile& file, std::string_view wildcard)
{
    std::vector<EntryInfo> entries;
    if (file.OpenArchive(kListingMode) != 0) {
        return entries;
    }
    EntryInfo info;
    int code = file.FindFirst(wildcard, info);
    while (code == lha::kOk) {
        entries.push_back(info);
        FUZZ_CHECK(entries.size() < 1'000'000, "listing never ends");
        code = file.FindNext(info);
    }
    FUZZ_CHECK(code == lha::kEndOfList || code == lha::kErrorBroken ||
                   code == lha::kErrorUnreadableName,
               "listing end code");
    // Past its end a listing keeps answering its end code.
    FUZZ_CHECK(file.FindNext(info) == code, "listing restarted after its end");
    file.CloseArchive();
    return entries;
}

void Listing(const std::vector<EntryInfo>& all)
{
    TArchiveFile file;
    file.SetFileName(Folders().archive.string());
    FUZZ_CHECK(file.ArchiverType() == atLha, "an .lzh name is an LHA archive");
    const std::vector<EntryInfo> kol = List(file, "kol_*.kd2");
    for (const EntryInfo& e : kol) {
        FUZZ_CHECK(lha::MatchesWildcard("kol_*.kd2", e.fileName), "wildcard listing");
    }
    FUZZ_CHECK(kol.size() <= all.size(), "wildcard listed more than all");
}

void Checks(const std::vector<EntryInfo>& all)
{
    const std::string path = Folders().archive.string();
    TLha32 lha;
    const bool sound = lha.CheckArchive(path, 0);
    // Not compared with the first: on a damaged stored entry libarchive's skip and read paths
    // may disagree about where the next header starts; either answer is safe.
    const bool crcRight = lha.CheckArchive(path, lha::kCheckFullCrc);
    FUZZ_CHECK(!sound || !all.empty(), "a sound archive without entries");
    FUZZ_CHECK(!crcRight || !all.empty(), "an archive without entries has every CRC right");
    (void)IsLhaArchive(path);
    (void)DetectArchiverType(path, false);

    // The first regular entry into a small buffer: the buffer's end must hold.
    for (const EntryInfo& e : all) {
        if (e.directory) {
            continue;
        }
        std::vector<char> buffer(64);
        TArchiverOptions options;
        (void)lha.ExtractMem(path, e.fileName, buffer.data(), buffer.size(), options);
        break;
    }
}

// Counts the reports and stops the extraction at the report given (negative: never).
struct Stopper
{
    int stopAt = -1;
    int reports = 0;
    bool operator()(int state)
    {
        ++reports;
        return state != kStateCopy && reports == stopAt;
    }
};

void Extraction(const char* command, const fs::path& dest, int stopAt, int outputSize, bool replace)
{
    TArchiveFile file;
    file.SetFileName(Folders().archive.string());
    file.SetArchiverType(atLha);
    file.SetOutputSize(outputSize);
    if (replace) {
        file.Options().c = 1;
    }
    Stopper stopper{stopAt};
    file.SetOnProgress(
        [&stopper](TArchiveFile&, int state, const ExtractingInfoEx* info, bool& abort) {
            FUZZ_CHECK(info != nullptr, "progress report without its record");
            FUZZ_CHECK(info->writeSize <= info->fileSize || info->fileSize == UINT32_MAX ||
                           state == kStateInProcess || state == kStateEnd,
                       "more written than the entry holds before writing began");
            abort = stopper(state);
        });

    const Snapshot before = Snap(dest);
    int result;
    if (command[0] == 'x') {
        result = file.Extract(nullptr, {}, dest.string());
    } else {
        // The library called directly, without the component in front.
        lha::ExtractRequest request;
        request.archive = Folders().archive;
        request.destination = dest;
        request.replaceExisting = replace;
        request.progress = [&stopper](int state, const ExtractingInfoEx&) {
            return stopper(state);
        };
        result = lha::Extract(request).code;
    }
    FUZZ_CHECK(file.OutputText().size() < static_cast<std::size_t>(std::max(outputSize, 1)),
               "output text past its buffer");
    CheckTree(command);
    if (NothingCommitted(result)) {
        FUZZ_CHECK(Snap(dest) == before,
                   "a failed extraction changed its destination, result " + std::to_string(result));
    }
}

void OpenFlow(int stopAt)
{
    const Layout& l = Folders();
    archive::ArchiverProgress progress;
    int reports = 0;
    progress.ProcessMessages = [&] {
        if (++reports == stopAt) {
            progress.cmdCancelClick();
        }
    };
    std::optional<archive::OpenedDay> opened;
    try {
        opened = app::OpenDataArchive(l.archive, l.work, &progress);
    } catch (const Error&) {
        CheckTree("open");
        // Refused, damaged, stopped: nothing of the archive is in place.
        for (const char* name : {kol::kRaceFileName, kol::kEntryFileName, kol::kHorseFileName}) {
            FUZZ_CHECK(!fs::exists(l.work / name), "a failed opening left a data file in place");
        }
        return;
    }
    CheckTree("open");
    // A day that came in is whole: its three files are there and it has a race.
    for (const char* name : {kol::kRaceFileName, kol::kEntryFileName, kol::kHorseFileName}) {
        FUZZ_CHECK(fs::is_regular_file(l.work / name), "an opened day lacks one of its files");
    }
    FUZZ_CHECK(opened->loaded.day.RaceCount() > 0, "an opened day has no race");
    try {
        (void)AnalyseRace(opened->loaded.day, 0);
    } catch (const Error&) {
    }
}

// While an input runs, the current folder is an empty one of ours: a relative path that
// escapes the component's folders lands there and is caught. libFuzzer gets its own back.
class InScratchFolder
{
public:
    explicit InScratchFolder(const fs::path& folder) : m_previous(fs::current_path())
    {
        fs::current_path(folder);
    }
    ~InScratchFolder() { fs::current_path(m_previous); }
    InScratchFolder(const InScratchFolder&) = delete;
    InScratchFolder& operator=(const InScratchFolder&) = delete;

private:
    fs::path m_previous;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Layout& l = Folders();
    InScratchFolder inScratch(l.cwd);
    fs::create_directories(l.in);
    fs::create_directories(l.dest);
    fs::create_directories(l.work);
    fz::WriteBytes(l.archive, std::string_view(reinterpret_cast<const char*>(data), size));

    const int stopAt = size % 5 == 0 ? static_cast<int>(size / 5 % 7) + 1 : -1;
    const int outputSize = size % 3 == 0 ? static_cast<int>(size % 64) : 8192;

    TArchiveFile file;
    file.SetFileName(l.archive.string());
    const std::vector<EntryInfo> all = List(file, "*.*");
    Listing(all);
    Checks(all);
    CheckTree("list");

    Extraction("x", l.dest / "x", stopAt, outputSize, true);
    // Again over what the first one left, without replacing.
    Extraction("x", l.dest / "x", -1, 8192, false);
    Extraction("e", l.dest / "e", -1, outputSize, true);
    OpenFlow(stopAt);

    fz::RemoveTree(l.run);
    return 0;
}
