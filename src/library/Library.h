#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "library/Database.h"
#include "library/DayRecords.h"
#include "library/Results.h"
#include "library/Tally.h"

namespace furlox::archive {
class ArchiverProgress;
}
namespace furlox::platform {
class FileLock;
}

// The season library of a work directory: every race day opened or imported, kept as its
// archive (in the folder beside the database, named by its SHA-256) and as typed rows in
// library.sqlite3. What the windows and the command line ask of it goes through this class.
namespace furlox::library {

// The folder beside the database where the days' archives are kept.
inline constexpr const char* kKeptFolderName = ".furlox-library";

enum class ImportOutcome
{
    Added,       // a day that was not in the library
    Replaced,    // another archive of a date the library held: the old copy is gone
    AlreadyThere // the same archive (same SHA-256): nothing changed
};

struct ImportResult
{
    ImportOutcome outcome = ImportOutcome::Added;
    Date date;
};

// One archive of an import of many: its result, or why it was refused (CP932).
struct ImportItem
{
    std::filesystem::path path;
    std::optional<ImportResult> result;
    std::string refusal;
};

struct DaySummary
{
    Date date;
    std::vector<int> courseCodes; // in the order of the day's races
    int races = 0;
    int runners = 0;
    int known = 0; // runners with a known finish
};

// One run of a horse's history. A run from a past-run block has what the block holds; a run
// of the library's own races that no block covers yet has no FX value and no popularity.
struct HistoryRun
{
    enum class Source
    {
        Block,
        Race,
    };
    Source source = Source::Block;
    Date date;
    int courseCode = 0;
    std::optional<int> raceNumber; // races only (a block does not hold it)
    std::optional<int> fx;
    std::optional<int> finish;
    std::optional<int> popularity;
    std::optional<int> timeTenths;
    std::optional<int> margin;
    std::optional<int> last3fTenths;
    std::optional<int> horseNumber;
    std::optional<int> headCount;
    std::optional<int> distance;
    StoredSurface surface = StoredSurface::Turf;
    std::string goingCode;
    std::string classCode;
    std::string gradeCode;
    std::string raceName;
};

// A runner of a library day with its result, once a later day has given it.
struct RunnerOfDay
{
    int horseNumber = 0;
    std::string name; // the library's key of the horse (UTF-8)
    StoredMark mark = StoredMark::None;
    std::optional<RunnerResult> result;
};

// A race of a library day, its runners in horse-number order. A race whose analysis failed
// has the reason (UTF-8) and no marks.
struct RaceResults
{
    int raceIndex = 0;
    std::optional<int> courseCode;
    std::optional<int> raceNumber;
    std::string analysisError;
    std::vector<RunnerOfDay> runners;
};

// How the library was found when it was opened.
struct OpenReport
{
    bool created = false; // there was none: a new, empty library was made
    // CP932; empty when nothing needs saying: a damaged library moved aside, and where to.
    std::string notice;
    std::filesystem::path movedAside;
};

// A temporary folder of the work directory that goes with this object, whatever ends the
// work it holds (an import's extraction, a day packed for the open flow). One left behind by
// a killed process is removed by a later open of the library.
class ScratchFolder
{
public:
    explicit ScratchFolder(const std::filesystem::path& workDir);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

class Library
{
public:
    static std::filesystem::path FileIn(const std::filesystem::path& workDir);
    static std::filesystem::path KeptFolderIn(const std::filesystem::path& workDir);

    // Opens the library of the work directory, making it when there is none, and brings its
    // schema up to date. A damaged library (not a database, or failing the quick check) is
    // moved aside under a dated name, never deleted, and a new one is made; the report says
    // so. Throws LibraryError for a library of a newer version (left unchanged), a busy one,
    // or one that cannot be made.
    static Library Open(const std::filesystem::path& workDir, OpenReport* report = nullptr);

    Library(Library&&) noexcept;
    Library& operator=(Library&&) noexcept;
    ~Library();

    const std::filesystem::path& WorkDir() const { return m_workDir; }
    Database& Db() { return m_database; }

    // Imports an archive: read once, checked, extracted into a temporary folder of the work
    // directory, loaded, analysed and stored in one transaction, the archive kept. Throws
    // archive::NotADayError, furlox::Error or LibraryError with the reason; the library and
    // the work directory's day are then as they were.
    ImportResult ImportArchive(const std::filesystem::path& archive,
                               archive::ArchiverProgress* progress = nullptr);
    // Imports the day an open has just put into the work directory from `archive`, without
    // extracting the archive again.
    ImportResult ImportOpened(const std::filesystem::path& archive, const kol::RaceDay& day);
    // Imports the day of the work directory from its three files (kept instead of an archive).
    // nullopt when the work directory holds no whole day.
    std::optional<ImportResult> ImportWorkDay();

    // Archives and folders of archives (*.lzh, *.lha, in name order), one after the other,
    // each in a transaction of its own. `progress(done, total, path)` is called before each;
    // a `cancel` set by then (or before) stops there and keeps what was imported.
    std::vector<ImportItem> ImportMany(
        const std::vector<std::filesystem::path>& paths,
        const std::function<void(int done, int total, const std::filesystem::path&)>& progress = {},
        const std::atomic<bool>* cancel = nullptr);

    // Newest first.
    std::vector<DaySummary> Days();
    // The newest day's date; nullopt for an empty library.
    std::optional<Date> NewestDay();
    // Oldest first, by date and course. A run of the library's own races that no block covers
    // has the finish deduced from another runner's block, once there is one.
    std::vector<HistoryRun> History(std::string_view name);
    // The races of a day in their order with each runner's result; nullopt: no such day.
    std::optional<std::vector<RaceResults>> Results(Date date);
    // The tally of the races the filter keeps (library/Tally.h).
    TallyResult Tally(const TallyFilter& filter);
    // Names (UTF-8) holding the typed text, those that begin with it first; blanks at both
    // ends of the text are left out, full-width ones too.
    std::vector<std::string> SearchHorses(std::string_view text, int limit = 50);
    bool HasHorse(std::string_view name);

    // Removes the kept archives and folders that no day names: what an import killed between
    // keeping its archive and its commit, or a replacement killed before the old copy went,
    // left behind. Done under the write lock, so no other import is between those steps;
    // returns how many were removed (0 when the library is busy: it waits for a later import).
    int SweepKept();

    // Removes a day and its kept archive; false when the library has no day of that date.
    bool RemoveDay(Date date);
    // The kept archive of a day (nullopt: no such day). A day taken from the work directory's
    // files has the folder of its three files instead.
    std::optional<std::filesystem::path> KeptCopy(Date date);
    // The kept copy of a day as one archive the open flow takes (nullopt: no such day): the
    // kept archive itself, or, for a day kept as its three files, a stored archive of them
    // written into `scratch`. Throws furlox::Error (CP932) when the kept copy is gone.
    std::optional<std::filesystem::path> KeptArchive(Date date,
                                                     const std::filesystem::path& scratch);

    // Copies the library into `file` with SQLite's online backup, also while another process
    // writes; the file appears whole or not at all.
    void Backup(const std::filesystem::path& file);
    // The whole check: the database's integrity, and each day's kept copy there.
    CheckResult Check();

    // Puts the library `file` in place of the work directory's library: refused while any
    // process (this one too) has the library open, and unless `file` passes the integrity
    // check and is of a version this program reads. The old library is moved aside under a
    // dated name, never deleted; returns where it went (empty when there was none).
    static std::filesystem::path Restore(const std::filesystem::path& workDir,
                                         const std::filesystem::path& file);

private:
    Library(std::filesystem::path workDir, Database database,
            std::unique_ptr<platform::FileLock> openLock);

    struct Source;
    ImportResult Store(const Source& source, const DayRecord& record);
    // After a change in the current transaction: the results of `touched` recomputed, or of
    // every race when a rebuild is pending; nothing while ImportMany defers them.
    void RefreshAfterChange(const std::vector<std::int64_t>& touched);
    void RemoveTemporaries();

    std::filesystem::path m_workDir;
    Database m_database;
    std::unique_ptr<platform::FileLock> m_openLock;
    // True while ImportMany stores many days: their results are rebuilt once at its end.
    bool m_resultsDeferred = false;
};

} // namespace furlox::library
