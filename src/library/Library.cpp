#include "library/Library.h"

#include <algorithm>
#include <ctime>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <unordered_map>

#include "archive/DayArchive.h"
#include "archive/LhaWriter.h"
#include "base/AtomicFile.h"
#include "base/Encoding.h"
#include "base/Error.h"
#include "base/Platform.h"
#include "kol/WorkDir.h"
#include "library/LibraryError.h"
#include "library/Schema.h"
#include "library/Sha256.h"
#include "library/Transaction.h"

namespace furlox::library {

namespace fs = std::filesystem;

namespace {

// What a temporary folder of an import is called; the ".furlox" start keeps every archive's
// entries out of it, and a killed import's folder is removed by the next open.
constexpr const char* kImportPrefix = ".furlox-import-";
// How long the check at open may take: a season of a thousand days is checked further by
// `library check`, and a damaged page past this point is found when it is read.
constexpr std::chrono::milliseconds kOpenCheckBudget{100};
// How long a share of the library waits for a restore that holds it.
constexpr std::chrono::milliseconds kRestorePatience{3000};

std::string Shown(const fs::path& path)
{
    return EscapeControlBytes(PathText(path));
}

std::string ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string bytes;
    if (in) {
        // Read in large pieces: a stream read character by character costs more than hashing.
        char piece[64 * 1024];
        while (in.read(piece, sizeof piece) || in.gcount() > 0) {
            bytes.append(piece, static_cast<std::size_t>(in.gcount()));
        }
    }
    if (in.bad() || (!in && !in.eof())) {
        throw Error("ファイル "_sj + Shown(path) + " を読み込めません。"_sj);
    }
    return bytes;
}

// A local time stamp for the names of moved-aside files: 20010527-153000.
std::string Stamp()
{
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    char text[32] = "00000000-000000";
    if (local) {
        std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", local);
    }
    return text;
}

const std::array<const char*, 3>& DatabaseFileEnds()
{
    static const std::array<const char*, 3> ends = {"", "-wal", "-shm"};
    return ends;
}

// Moves the database file and its log files to "library.<why>-<stamp>.sqlite3" beside it.
fs::path MoveAside(const fs::path& file, const std::string& why)
{
    const fs::path folder = file.parent_path();
    fs::path target;
    for (int n = 1;; ++n) {
        std::string name = "library." + why + "-" + Stamp();
        if (n > 1) {
            name += "-" + std::to_string(n);
        }
        target = folder / (name + ".sqlite3");
        if (!fs::exists(target)) {
            break;
        }
    }
    for (const char* end : DatabaseFileEnds()) {
        fs::path from = file;
        from += end;
        fs::path to = target;
        to += end;
        std::error_code ec;
        if (!fs::exists(from, ec)) {
            continue;
        }
        fs::rename(from, to, ec);
        if (ec && *end == '\0') {
            throw Error("ライブラリ "_sj + Shown(file) + " を "_sj + Shown(to) +
                        " に移せません。"_sj);
        }
    }
    return target;
}

Database OpenChecked(const fs::path& file)
{
    Database database = Database::Open(file);
    // What can be checked while a user waits for the library; `library check` checks it all.
    const CheckResult quick = database.QuickCheck(kOpenCheckBudget);
    if (!quick.sound) {
        throw LibraryError(LibraryFault::Damaged,
                           "ライブラリ "_sj + Shown(file) +
                               " は壊れています（検査で不整合が見つかりました）。"_sj,
                           0, quick.problems.empty() ? std::string() : quick.problems.front());
    }
    Migrate(database, SchemaSteps());
    return database;
}

std::optional<int> Optional(const Statement& s, int column)
{
    return s.OptionalInt(column);
}

DaySummary EmptySummary(std::string_view date)
{
    DaySummary summary;
    summary.date = ParseDateText(date).value_or(Date{});
    return summary;
}

std::string Lower(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

bool IsArchiveName(const fs::path& path)
{
    const std::string ext = Lower(Utf8Text(path.extension()));
    return ext == ".lzh" || ext == ".lha";
}

} // namespace

ScratchFolder::ScratchFolder(const fs::path& workDir)
{
    std::random_device random;
    for (int attempt = 0; attempt < 16; ++attempt) {
        const fs::path path = workDir / (std::string(kImportPrefix) + std::to_string(random()));
        std::error_code ec;
        if (fs::create_directory(path, ec)) {
            m_path = path;
            return;
        }
    }
    throw Error("作業フォルダ "_sj + Shown(workDir) +
                " に一時フォルダを作成できないため、ライブラリを使えません。"_sj);
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ec;
    fs::remove_all(m_path, ec);
}

struct Library::Source
{
    std::string sha256;
    std::string kept; // "archive" or "files"
    std::string name; // UTF-8
    std::int64_t size = 0;
    // Puts the kept copy in place; runs in the transaction, before its commit.
    std::function<void()> keep;
    // Takes the kept copy away again when the commit fails.
    std::function<void()> unkeep;
};

fs::path Library::FileIn(const fs::path& workDir)
{
    return workDir / kol::kLibraryFileName;
}

fs::path Library::KeptFolderIn(const fs::path& workDir)
{
    return workDir / kKeptFolderName;
}

Library::Library(fs::path workDir, Database database, std::unique_ptr<platform::FileLock> openLock)
    : m_workDir(std::move(workDir)), m_database(std::move(database)),
      m_openLock(std::move(openLock))
{}

Library::Library(Library&&) noexcept = default;
Library& Library::operator=(Library&&) noexcept = default;
Library::~Library() = default;

Library Library::Open(const fs::path& workDir, OpenReport* report)
{
    OpenReport local;
    OpenReport& said = report ? *report : local;
    said = {};
    const fs::path file = FileIn(workDir);
    const fs::path kept = KeptFolderIn(workDir);
    std::error_code ec;
    fs::create_directories(kept, ec);
    // Every process with the library open holds a share of this lock; a restore takes it whole.
    bool busy = false;
    std::unique_ptr<platform::FileLock> lock =
        platform::FileLock::Acquire(kept, kRestorePatience, &busy, platform::LockKind::Shared);
    if (!lock && busy) {
        throw LibraryError(LibraryFault::Busy, "ライブラリ "_sj + Shown(file) +
                                                   " は復元の途中です。復元が終わってから、"
                                                   "もう一度お試しください。"_sj);
    }
    said.created = !fs::exists(file, ec);
    std::optional<Database> database;
    try {
        database.emplace(OpenChecked(file));
    } catch (const LibraryError& e) {
        if (e.Fault() != LibraryFault::Damaged) {
            throw;
        }
        said.movedAside = MoveAside(file, "damaged");
        said.notice = e.what() + "\r\n壊れたファイルは "_sj + Shown(said.movedAside) +
                      " に移し（削除はしていません）、新しい空のライブラリを作りました。"_sj;
        database.emplace(OpenChecked(file));
        said.created = true;
    }
    Library library(workDir, std::move(*database), std::move(lock));
    library.RemoveTemporaries();
    return library;
}

void Library::RemoveTemporaries()
{
    // Folders of imports that were killed: an import at work holds its folder for seconds, so
    // only those older than ten minutes are taken for left behind.
    std::error_code ec;
    const auto now = fs::file_time_type::clock::now();
    for (fs::directory_iterator it(m_workDir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = Utf8Text(it->path().filename());
        if (!name.starts_with(kImportPrefix)) {
            continue;
        }
        std::error_code timeError;
        const auto written = fs::last_write_time(it->path(), timeError);
        if (!timeError && now - written > std::chrono::minutes(10)) {
            std::error_code removeError;
            fs::remove_all(it->path(), removeError);
        }
    }
}

namespace {

// Whether a rebuild of every result waits (a many-day import stores first, or was killed).
bool ResultsPending(Database& database)
{
    Statement pending = database.Prepare("SELECT count(*) FROM results_pending");
    pending.Step();
    return pending.Int(0) > 0;
}

// Fewer archives than this are imported with the results refreshed after each: a rebuild of
// every result costs about two refreshes of one day's races.
constexpr std::size_t kDeferredResultsFrom = 3;

} // namespace

void Library::RefreshAfterChange(const std::vector<std::int64_t>& touched)
{
    if (m_resultsDeferred) {
        return;
    }
    if (ResultsPending(m_database)) {
        RebuildResults(m_database);
        m_database.Execute("DELETE FROM results_pending");
        return;
    }
    RefreshRaces(m_database, touched);
}

int Library::SweepKept()
{
    const fs::path folder = KeptFolderIn(m_workDir);
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        return 0;
    }
    // Only names of the library's own form: a SHA-256 in hex, an archive or a folder.
    const auto shaOf = [](const fs::directory_entry& entry) -> std::optional<std::string> {
        std::string name = Utf8Text(entry.path().filename());
        std::error_code kindError;
        if (!entry.is_directory(kindError)) {
            if (!name.ends_with(".lzh")) {
                return std::nullopt;
            }
            name.resize(name.size() - 4);
        }
        const bool hex = name.size() == 64 && std::all_of(name.begin(), name.end(), [](char c) {
                             return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
                         });
        return hex ? std::optional<std::string>(name) : std::nullopt;
    };
    int removed = 0;
    try {
        Transaction transaction(m_database);
        std::set<std::string> named;
        Statement days = m_database.Prepare("SELECT sha256 FROM days");
        while (days.Step()) {
            named.insert(days.Text(0));
        }
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
            const std::optional<std::string> sha = shaOf(*it);
            if (sha && !named.contains(*sha)) {
                std::error_code removeError;
                fs::remove_all(it->path(), removeError);
                removed += removeError ? 0 : 1;
            }
        }
        transaction.Commit();
    } catch (const LibraryError& e) {
        if (e.Fault() != LibraryFault::Busy) {
            throw;
        }
    }
    return removed;
}

ImportResult Library::Store(const Source& source, const DayRecord& record)
{
    std::optional<std::string> oldSha;
    std::string oldKept;
    ImportResult result;
    result.date = record.date;
    const std::string date = DateText(record.date);
    std::vector<std::int64_t> touched;
    {
        Transaction transaction(m_database);
        {
            Statement same = m_database.Prepare("SELECT date FROM days WHERE sha256 = ?");
            same.BindAll(source.sha256);
            if (same.Step()) {
                result.outcome = ImportOutcome::AlreadyThere;
                result.date = ParseDateText(same.Text(0)).value_or(record.date);
                return result;
            }
        }
        {
            Statement old = m_database.Prepare("SELECT id, sha256, kept FROM days WHERE date = ?");
            old.BindAll(date);
            if (old.Step()) {
                oldSha = old.Text(1);
                oldKept = old.Text(2);
                // The races the old copy gave results to lose them, or take them from others.
                if (!m_resultsDeferred) {
                    touched = RacesResultedBy(m_database, old.Int64(0));
                }
                Statement remove = m_database.Prepare("DELETE FROM days WHERE id = ?");
                remove.BindAll(old.Int64(0)).Run();
                result.outcome = ImportOutcome::Replaced;
            }
        }
        Statement day = m_database.Prepare(
            "INSERT INTO days (date, sha256, kept, source_name, source_size, imported_at, "
            "race_count, runner_count) VALUES (?, ?, ?, ?, ?, strftime('%Y-%m-%dT%H:%M:%SZ', "
            "'now'), ?, ?)");
        day.BindAll(date, source.sha256, source.kept, source.name, source.size,
                    static_cast<int>(record.races.size()), record.RunnerCount())
            .Run();
        const std::int64_t dayId = m_database.LastInsertRowId();
        Statement race = m_database.Prepare(
            "INSERT INTO races (day_id, race_index, course_code, race_number, date, class_code, "
            "grade_code, surface, distance, head_count, race_name, confidence, analysis_error) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        Statement bet = m_database.Prepare(
            "INSERT INTO bets (race_id, slot, kind, low, high) VALUES (?, ?, ?, ?, ?)");
        Statement runner = m_database.Prepare(
            "INSERT INTO runners (race_id, horse_number, bracket, name, jockey, fx0, fx1, fx2, "
            "fx3, fx4, total_tenths, place, mark) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        Statement past = m_database.Prepare(
            "INSERT INTO past_runs (runner_id, block, course_code, date, fx, finish, popularity, "
            "time_tenths, margin, last3f_tenths, horse_number, head_count, distance, surface, "
            "going_code, class_code, grade_code, race_name, jockey, winner_or_second, "
            "weight_carried, body_weight) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
            "?, ?, ?, ?, ?, ?)");
        const auto optionalText = [](const std::string& text) {
            return text.empty() ? std::optional<std::string>() : std::optional<std::string>(text);
        };
        for (const RaceRow& r : record.races) {
            race.Reset();
            race.BindAll(dayId, r.raceIndex, r.courseCode, r.raceNumber,
                         r.date ? std::optional<std::string>(DateText(*r.date)) : std::nullopt,
                         r.classCode, r.gradeCode, static_cast<int>(r.surface), r.distance,
                         r.headCount, r.raceName, optionalText(r.confidence),
                         optionalText(r.analysisError))
                .Run();
            const std::int64_t raceId = m_database.LastInsertRowId();
            for (const BetRow& b : r.bets) {
                bet.Reset();
                bet.BindAll(raceId, b.slot, b.kind, b.low, b.high).Run();
            }
            for (const RunnerRow& n : r.runners) {
                runner.Reset();
                runner
                    .BindAll(raceId, n.horseNumber, n.bracket, n.name, n.jockey, n.fx[0], n.fx[1],
                             n.fx[2], n.fx[3], n.fx[4], n.totalTenths, n.place,
                             static_cast<int>(n.mark))
                    .Run();
                const std::int64_t runnerId = m_database.LastInsertRowId();
                for (const PastRunRow& p : n.pastRuns) {
                    past.Reset();
                    past.BindAll(runnerId, p.block, p.courseCode, DateText(p.date), p.fx, p.finish,
                                 p.popularity, p.timeTenths, p.margin, p.last3fTenths,
                                 p.horseNumber, p.headCount, p.distance,
                                 static_cast<int>(p.surface), p.goingCode, p.classCode, p.gradeCode,
                                 p.raceName, p.jockey, p.winnerOrSecond, p.weightCarried,
                                 p.bodyWeight)
                        .Run();
                }
            }
        }
        if (!m_resultsDeferred) {
            for (const auto& races :
                 {RacesResultedBy(m_database, dayId), RacesOfDay(m_database, dayId)}) {
                touched.insert(touched.end(), races.begin(), races.end());
            }
        }
        RefreshAfterChange(touched);
        source.keep();
        try {
            transaction.Commit();
        } catch (...) {
            if (source.unkeep) {
                source.unkeep();
            }
            throw;
        }
    }
    if (oldSha && *oldSha != source.sha256) {
        std::error_code ec;
        const fs::path folder = KeptFolderIn(m_workDir);
        fs::remove_all(oldKept == "files" ? folder / *oldSha : folder / (*oldSha + ".lzh"), ec);
    }
    return result;
}

namespace {

std::optional<Date> DateOfSha(Database& database, const std::string& sha)
{
    Statement same = database.Prepare("SELECT date FROM days WHERE sha256 = ?");
    same.BindAll(sha);
    if (same.Step()) {
        return ParseDateText(same.Text(0));
    }
    return std::nullopt;
}

} // namespace

ImportResult Library::ImportArchive(const fs::path& archivePath,
                                    archive::ArchiverProgress* progress)
{
    archive::CheckArchivePath(archivePath);
    const std::string bytes = ReadBytes(archivePath);
    const std::string sha = Sha256Hex(bytes);
    if (const std::optional<Date> date = DateOfSha(m_database, sha)) {
        return {ImportOutcome::AlreadyThere, *date};
    }
    ScratchFolder temporary(m_workDir);
    // The bytes read are the bytes extracted and kept: the archive is read once.
    const fs::path copy = temporary.Path() / "archive.lzh";
    if (!WriteFileAtomic(copy, bytes)) {
        throw Error("一時ファイル "_sj + Shown(copy) +
                    " を書き込めません（ディスクがいっぱいか、書き込みが許可されていません）。"
                    "ライブラリは元のままです。"_sj);
    }
    const archive::OpenedDay opened =
        archive::ExtractDayArchive(copy, temporary.Path() / "day", progress);
    const DayRecord record = MakeDayRecord(opened.loaded.day);
    const fs::path kept = KeptFolderIn(m_workDir) / (sha + ".lzh");
    Source source;
    source.sha256 = sha;
    source.kept = "archive";
    source.name = Utf8Text(archivePath.filename());
    source.size = static_cast<std::int64_t>(bytes.size());
    source.keep = [&] {
        std::error_code ec;
        fs::create_directories(kept.parent_path(), ec);
        if (!platform::MoveReplacing(copy, kept)) {
            throw Error("書庫を "_sj + Shown(kept) +
                        " に保存できません。ライブラリは元のままです。"_sj);
        }
    };
    source.unkeep = [&] { platform::RemoveFile(kept); };
    return Store(source, record);
}

ImportResult Library::ImportOpened(const fs::path& archivePath, const kol::RaceDay& day)
{
    const std::string bytes = ReadBytes(archivePath);
    const std::string sha = Sha256Hex(bytes);
    if (const std::optional<Date> date = DateOfSha(m_database, sha)) {
        return {ImportOutcome::AlreadyThere, *date};
    }
    const DayRecord record = MakeDayRecord(day);
    const fs::path kept = KeptFolderIn(m_workDir) / (sha + ".lzh");
    Source source;
    source.sha256 = sha;
    source.kept = "archive";
    source.name = Utf8Text(archivePath.filename());
    source.size = static_cast<std::int64_t>(bytes.size());
    source.keep = [&] {
        std::error_code ec;
        fs::create_directories(kept.parent_path(), ec);
        if (!WriteFileAtomic(kept, bytes)) {
            throw Error("書庫を "_sj + Shown(kept) +
                        " に保存できません。ライブラリは元のままです。"_sj);
        }
    };
    source.unkeep = [&] { platform::RemoveFile(kept); };
    return Store(source, record);
}

std::optional<ImportResult> Library::ImportWorkDay()
{
    const std::unique_ptr<platform::FileLock> lock = kol::LockWorkDir(m_workDir);
    kol::RecoverWorkDir(m_workDir);
    const kol::DayFiles files = kol::DayFiles::In(m_workDir);
    const std::array<fs::path, 3> paths = {files.raceFile, files.entryFile, files.horseFile};
    std::array<std::string, 3> bytes;
    Sha256 sha;
    std::int64_t size = 0;
    for (std::size_t k = 0; k < paths.size(); ++k) {
        std::error_code ec;
        if (!fs::is_regular_file(paths[k], ec)) {
            return std::nullopt;
        }
        bytes[k] = ReadBytes(paths[k]);
        // Each file's name and length before its bytes: no two different days hash alike.
        sha.Add(Utf8Text(paths[k].filename()) + '\0' + std::to_string(bytes[k].size()) + '\0');
        sha.Add(bytes[k]);
        size += static_cast<std::int64_t>(bytes[k].size());
    }
    const std::string digest = sha.HexDigest();
    if (const std::optional<Date> date = DateOfSha(m_database, digest)) {
        return ImportResult{ImportOutcome::AlreadyThere, *date};
    }
    std::optional<kol::LoadedDay> loaded = kol::LoadKolFiles(files);
    if (!loaded || loaded->day.raceLines.empty()) {
        return std::nullopt;
    }
    const DayRecord record = MakeDayRecord(loaded->day);
    const fs::path kept = KeptFolderIn(m_workDir) / digest;
    Source source;
    source.sha256 = digest;
    source.kept = "files";
    source.name = Utf8Text(m_workDir.filename());
    source.size = size;
    source.keep = [&] {
        std::error_code ec;
        fs::create_directories(kept, ec);
        for (std::size_t k = 0; k < paths.size(); ++k) {
            if (!WriteFileAtomic(kept / paths[k].filename(), bytes[k])) {
                throw Error("データファイルを "_sj + Shown(kept) +
                            " に保存できません。ライブラリは元のままです。"_sj);
            }
        }
    };
    source.unkeep = [&] {
        std::error_code ec;
        fs::remove_all(kept, ec);
    };
    return Store(source, record);
}

std::vector<ImportItem>
Library::ImportMany(const std::vector<fs::path>& paths,
                    const std::function<void(int, int, const fs::path&)>& progress,
                    const std::atomic<bool>* cancel)
{
    std::vector<fs::path> archives;
    for (const fs::path& path : paths) {
        std::error_code ec;
        if (!fs::is_directory(path, ec)) {
            archives.push_back(path);
            continue;
        }
        std::vector<fs::path> inFolder;
        for (fs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec)) {
            std::error_code kindError;
            if (it->is_regular_file(kindError) && IsArchiveName(it->path())) {
                inFolder.push_back(it->path());
            }
        }
        std::sort(inFolder.begin(), inFolder.end());
        archives.insert(archives.end(), inFolder.begin(), inFolder.end());
    }
    SweepKept();
    // Many days are stored first and their results rebuilt once at the end: each day's refresh
    // reads the blocks of every meeting its horses ran at, about as much as a whole rebuild
    // late in a season. The pending row is committed first, so that a kill in between leaves
    // the rebuild to the next change of the library.
    bool deferred = false;
    if (archives.size() >= kDeferredResultsFrom) {
        try {
            Transaction mark(m_database);
            m_database.Execute("INSERT OR IGNORE INTO results_pending (id) VALUES (1)");
            mark.Commit();
            deferred = true;
        } catch (const LibraryError&) {
            // Busy or unwritable: the imports below say so themselves.
        }
    }
    struct Deferral
    {
        bool& flag;
        ~Deferral() { flag = false; }
    } deferral{m_resultsDeferred};
    m_resultsDeferred = deferred;
    std::vector<ImportItem> items;
    const int total = static_cast<int>(archives.size());
    for (int i = 0; i < total; ++i) {
        const fs::path& path = archives[static_cast<std::size_t>(i)];
        if (progress) {
            progress(i, total, path);
        }
        // After the progress report, where a window takes the user's click on its cancel.
        if (cancel && cancel->load()) {
            break;
        }
        ImportItem item;
        item.path = path;
        try {
            item.result = ImportArchive(path);
        } catch (const LibraryError& e) {
            item.refusal = e.what();
            items.push_back(std::move(item));
            // A library that is busy, full or unwritable takes no other archive either.
            if (e.Fault() != LibraryFault::Other) {
                break;
            }
            continue;
        } catch (const Error& e) {
            item.refusal = e.what();
        } catch (const std::bad_alloc&) {
            item.refusal = "メモリが足りないため、この書庫を取り込めません。"_sj;
        }
        items.push_back(std::move(item));
    }
    if (deferred) {
        m_resultsDeferred = false;
        try {
            Transaction rebuild(m_database);
            RebuildResults(m_database);
            m_database.Execute("DELETE FROM results_pending");
            rebuild.Commit();
        } catch (const LibraryError&) {
            // Still pending (the disk filled, another writer held on): the next change of the
            // library rebuilds them; every day imported is kept.
        }
    }
    if (progress) {
        progress(static_cast<int>(items.size()), total, {});
    }
    return items;
}

std::vector<DaySummary> Library::Days()
{
    Transaction reading(m_database, TransactionKind::Deferred);
    std::vector<DaySummary> days;
    std::map<std::int64_t, std::size_t> byId;
    Statement list = m_database.Prepare(
        "SELECT id, date, race_count, runner_count FROM days ORDER BY date DESC");
    while (list.Step()) {
        DaySummary summary = EmptySummary(list.Text(1));
        summary.races = list.Int(2);
        summary.runners = list.Int(3);
        byId[list.Int64(0)] = days.size();
        days.push_back(std::move(summary));
    }
    Statement courses =
        m_database.Prepare("SELECT day_id, course_code FROM races WHERE course_code IS NOT NULL "
                           "GROUP BY day_id, course_code ORDER BY day_id, min(race_index)");
    while (courses.Step()) {
        const auto found = byId.find(courses.Int64(0));
        if (found != byId.end()) {
            days[found->second].courseCodes.push_back(courses.Int(1));
        }
    }
    Statement known = m_database.Prepare(
        "SELECT ra.day_id, count(*) FROM results s JOIN runners r ON r.id = s.runner_id "
        "JOIN races ra ON ra.id = r.race_id GROUP BY ra.day_id");
    while (known.Step()) {
        const auto found = byId.find(known.Int64(0));
        if (found != byId.end()) {
            days[found->second].known = known.Int(1);
        }
    }
    return days;
}

std::vector<HistoryRun> Library::History(std::string_view name)
{
    const std::string key = SearchKey(name);
    Transaction reading(m_database, TransactionKind::Deferred);
    std::vector<HistoryRun> runs;
    std::set<std::pair<int, std::string>> seen; // (course, date)
    // Every copy of every block of the horse, the copy of the latest day first.
    Statement blocks = m_database.Prepare(
        "SELECT p.course_code, p.date, p.fx, p.finish, p.popularity, p.time_tenths, p.margin, "
        "p.last3f_tenths, p.horse_number, p.head_count, p.distance, p.surface, p.going_code, "
        "p.class_code, p.grade_code, p.race_name "
        "FROM runners r JOIN races ra ON ra.id = r.race_id JOIN days d ON d.id = ra.day_id "
        "JOIN past_runs p ON p.runner_id = r.id WHERE r.name = ? ORDER BY d.date DESC");
    blocks.BindAll(key);
    while (blocks.Step()) {
        const std::string date = blocks.Text(1);
        if (!seen.emplace(blocks.Int(0), date).second) {
            continue;
        }
        HistoryRun run;
        run.source = HistoryRun::Source::Block;
        run.courseCode = blocks.Int(0);
        run.date = ParseDateText(date).value_or(Date{});
        run.fx = Optional(blocks, 2);
        run.finish = Optional(blocks, 3);
        run.popularity = Optional(blocks, 4);
        run.timeTenths = Optional(blocks, 5);
        run.margin = Optional(blocks, 6);
        run.last3fTenths = Optional(blocks, 7);
        run.horseNumber = Optional(blocks, 8);
        run.headCount = Optional(blocks, 9);
        run.distance = Optional(blocks, 10);
        run.surface = static_cast<StoredSurface>(blocks.Int(11));
        run.goingCode = blocks.Text(12);
        run.classCode = blocks.Text(13);
        run.gradeCode = blocks.Text(14);
        run.raceName = blocks.Text(15);
        runs.push_back(std::move(run));
    }
    // The library's own races of the horse that no block covers yet.
    Statement races = m_database.Prepare(
        "SELECT ra.course_code, ra.date, ra.race_number, r.horse_number, ra.head_count, "
        "ra.distance, ra.surface, ra.class_code, ra.grade_code, ra.race_name, s.finish "
        "FROM runners r JOIN races ra ON ra.id = r.race_id JOIN days d ON d.id = ra.day_id "
        "LEFT JOIN results s ON s.runner_id = r.id WHERE r.name = ? AND ra.course_code IS NOT NULL "
        "AND ra.date IS NOT NULL "
        "ORDER BY d.date DESC");
    races.BindAll(key);
    while (races.Step()) {
        const std::string date = races.Text(1);
        if (!seen.emplace(races.Int(0), date).second) {
            continue;
        }
        HistoryRun run;
        run.source = HistoryRun::Source::Race;
        run.courseCode = races.Int(0);
        run.date = ParseDateText(date).value_or(Date{});
        run.raceNumber = Optional(races, 2);
        run.horseNumber = Optional(races, 3);
        run.headCount = Optional(races, 4);
        run.distance = Optional(races, 5);
        run.surface = static_cast<StoredSurface>(races.Int(6));
        run.classCode = races.Text(7);
        run.gradeCode = races.Text(8);
        run.raceName = races.Text(9);
        // Known only by deduction: an own block would have covered the run.
        run.finish = Optional(races, 10);
        runs.push_back(std::move(run));
    }
    std::sort(runs.begin(), runs.end(), [](const HistoryRun& a, const HistoryRun& b) {
        return std::tie(a.date, a.courseCode) < std::tie(b.date, b.courseCode);
    });
    return runs;
}

std::optional<Date> Library::NewestDay()
{
    Statement newest = m_database.Prepare("SELECT max(date) FROM days");
    newest.Step();
    const std::optional<std::string> date = newest.OptionalText(0);
    return date ? ParseDateText(*date) : std::nullopt;
}

std::optional<std::vector<RaceResults>> Library::Results(Date date)
{
    Transaction reading(m_database, TransactionKind::Deferred);
    Statement day = m_database.Prepare("SELECT id FROM days WHERE date = ?");
    day.BindAll(DateText(date));
    if (!day.Step()) {
        return std::nullopt;
    }
    const std::int64_t dayId = day.Int64(0);
    std::vector<RaceResults> races;
    std::map<std::int64_t, std::size_t> byId;
    Statement list =
        m_database.Prepare("SELECT id, race_index, course_code, race_number, analysis_error "
                           "FROM races WHERE day_id = ? ORDER BY race_index");
    list.BindAll(dayId);
    while (list.Step()) {
        RaceResults& race = races.emplace_back();
        race.raceIndex = list.Int(1);
        race.courseCode = Optional(list, 2);
        race.raceNumber = Optional(list, 3);
        race.analysisError = list.OptionalText(4).value_or(std::string());
        byId[list.Int64(0)] = races.size() - 1;
    }
    Statement runners = m_database.Prepare(
        "SELECT r.race_id, r.horse_number, r.name, r.mark, s.finish, s.popularity, s.source "
        "FROM runners r JOIN races ra ON ra.id = r.race_id "
        "LEFT JOIN results s ON s.runner_id = r.id "
        "WHERE ra.day_id = ? ORDER BY ra.race_index, r.horse_number");
    runners.BindAll(dayId);
    while (runners.Step()) {
        const auto found = byId.find(runners.Int64(0));
        if (found == byId.end()) {
            continue;
        }
        RunnerOfDay& runner = races[found->second].runners.emplace_back();
        runner.horseNumber = runners.Int(1);
        runner.name = runners.Text(2);
        runner.mark = static_cast<StoredMark>(runners.Int(3));
        if (const std::optional<int> finish = Optional(runners, 4)) {
            RunnerResult& result = runner.result.emplace();
            result.finish = *finish;
            result.popularity = Optional(runners, 5);
            result.source = static_cast<ResultSource>(runners.Int(6));
        }
    }
    return races;
}

TallyResult Library::Tally(const TallyFilter& filter)
{
    Transaction reading(m_database, TransactionKind::Deferred);
    // The range by the day's date; the other filters on what is read.
    const std::string from = filter.from ? DateText(*filter.from) : std::string("0000-00-00");
    const std::string to = filter.to ? DateText(*filter.to) : std::string("9999-99-99");
    std::vector<TallyRace> races;
    std::unordered_map<std::int64_t, std::size_t> byId;
    Statement list = m_database.Prepare(
        "SELECT ra.id, d.date, ra.race_index, ra.course_code, ra.race_number, ra.distance, "
        "ra.surface, ra.class_code, ra.confidence, ra.analysis_error "
        "FROM races ra JOIN days d ON d.id = ra.day_id WHERE d.date BETWEEN ? AND ? "
        "ORDER BY d.date, ra.race_index");
    list.BindAll(from, to);
    while (list.Step()) {
        TallyRace& race = races.emplace_back();
        race.day = ParseDateText(list.Text(1)).value_or(Date{});
        race.raceIndex = list.Int(2);
        race.courseCode = Optional(list, 3);
        race.raceNumber = Optional(list, 4);
        race.distance = Optional(list, 5);
        race.surface = static_cast<StoredSurface>(list.Int(6));
        race.classCode = list.Text(7);
        const std::string grade = list.OptionalText(8).value_or(std::string());
        if (grade == "A" || grade == "B" || grade == "C") {
            race.grade = static_cast<BetGrade>(grade[0] - 'A');
        }
        race.analysisError = list.OptionalText(9).value_or(std::string());
        byId[list.Int64(0)] = races.size() - 1;
    }
    // Tens of thousands of rows for a season: 0 stands for a value not known, and the rows
    // come race by race in the order of the list above.
    Statement runners = m_database.Prepare(
        "SELECT r.race_id, r.horse_number, r.mark, ifnull(s.finish, 0), ifnull(s.popularity, 0) "
        "FROM runners r JOIN races ra ON ra.id = r.race_id JOIN days d ON d.id = ra.day_id "
        "LEFT JOIN results s ON s.runner_id = r.id WHERE d.date BETWEEN ? AND ? "
        "ORDER BY d.date, ra.race_index, r.horse_number");
    runners.BindAll(from, to);
    std::int64_t raceId = -1;
    TallyRace* race = nullptr;
    while (runners.Step()) {
        if (runners.Int64(0) != raceId) {
            raceId = runners.Int64(0);
            const auto found = byId.find(raceId);
            race = found == byId.end() ? nullptr : &races[found->second];
        }
        if (!race) {
            continue;
        }
        TallyRunner& runner = race->runners.emplace_back();
        runner.horseNumber = runners.Int(1);
        runner.mark = static_cast<StoredMark>(runners.Int(2));
        if (const int finish = runners.Int(3)) {
            runner.finish = finish;
        }
        if (const int popularity = runners.Int(4)) {
            runner.popularity = popularity;
        }
    }
    Statement bets =
        m_database.Prepare("SELECT b.race_id, b.slot, b.kind, b.low, b.high FROM bets b "
                           "JOIN races ra ON ra.id = b.race_id JOIN days d ON d.id = ra.day_id "
                           "WHERE d.date BETWEEN ? AND ? ORDER BY b.race_id, b.slot");
    bets.BindAll(from, to);
    while (bets.Step()) {
        const auto found = byId.find(bets.Int64(0));
        if (found != byId.end()) {
            races[found->second].bets.push_back(
                BetRow{bets.Int(1), bets.Int(2), bets.Int(3), bets.Int(4)});
        }
    }
    return TallyRaces(races, filter);
}

std::vector<std::string> Library::SearchHorses(std::string_view text, int limit)
{
    const std::string key = SearchKey(text);
    if (key.empty()) {
        return {};
    }
    std::string escaped;
    for (const char c : key) {
        if (c == '%' || c == '_' || c == '\\') {
            escaped += '\\';
        }
        escaped += c;
    }
    Statement search =
        m_database.Prepare("SELECT name FROM runners WHERE name LIKE ? ESCAPE '\\' GROUP BY name "
                           "ORDER BY name NOT LIKE ? ESCAPE '\\', name LIMIT ?");
    search.BindAll("%" + escaped + "%", escaped + "%", limit);
    std::vector<std::string> names;
    while (search.Step()) {
        names.push_back(search.Text(0));
    }
    return names;
}

bool Library::HasHorse(std::string_view name)
{
    Statement found = m_database.Prepare("SELECT 1 FROM runners WHERE name = ? LIMIT 1");
    found.BindAll(SearchKey(name));
    return found.Step();
}

bool Library::RemoveDay(Date date)
{
    std::string sha;
    std::string kept;
    {
        Transaction transaction(m_database);
        Statement old = m_database.Prepare("SELECT id, sha256, kept FROM days WHERE date = ?");
        old.BindAll(DateText(date));
        if (!old.Step()) {
            return false;
        }
        sha = old.Text(1);
        kept = old.Text(2);
        const std::vector<std::int64_t> touched = RacesResultedBy(m_database, old.Int64(0));
        Statement remove = m_database.Prepare("DELETE FROM days WHERE id = ?");
        remove.BindAll(old.Int64(0)).Run();
        RefreshAfterChange(touched);
        transaction.Commit();
    }
    std::error_code ec;
    const fs::path folder = KeptFolderIn(m_workDir);
    fs::remove_all(kept == "files" ? folder / sha : folder / (sha + ".lzh"), ec);
    return true;
}

std::optional<fs::path> Library::KeptCopy(Date date)
{
    Statement day = m_database.Prepare("SELECT sha256, kept FROM days WHERE date = ?");
    day.BindAll(DateText(date));
    if (!day.Step()) {
        return std::nullopt;
    }
    const fs::path folder = KeptFolderIn(m_workDir);
    return day.Text(1) == "files" ? folder / day.Text(0) : folder / (day.Text(0) + ".lzh");
}

std::optional<fs::path> Library::KeptArchive(Date date, const fs::path& scratch)
{
    const std::optional<fs::path> kept = KeptCopy(date);
    if (!kept) {
        return std::nullopt;
    }
    std::error_code ec;
    if (kept->extension() == ".lzh") {
        if (!fs::is_regular_file(*kept, ec)) {
            throw Error("ライブラリに保存した "_sj + DateText(date) + " の書庫 "_sj + Shown(*kept) +
                        " がありません。書庫をもう一度取り込んでください。"_sj);
        }
        return kept;
    }
    const kol::DayFiles files = kol::DayFiles::In(*kept);
    std::vector<std::pair<std::string, std::string>> entries;
    for (const fs::path& file : {files.raceFile, files.entryFile, files.horseFile}) {
        if (!fs::is_regular_file(file, ec)) {
            throw Error("ライブラリに保存した "_sj + DateText(date) + " のデータ "_sj +
                        Shown(*kept) + " がありません。書庫をもう一度取り込んでください。"_sj);
        }
        entries.emplace_back(Utf8Text(file.filename()), ReadBytes(file));
    }
    const fs::path packed = scratch / (DateText(date) + ".lzh");
    if (!WriteFileAtomic(packed, archive::MakeLhaFiles(entries))) {
        throw Error("一時ファイル "_sj + Shown(packed) + " を書き込めません。"_sj);
    }
    return packed;
}

void Library::Backup(const fs::path& file)
{
    fs::path part = file;
    part += ".part";
    platform::RemoveFile(part);
    try {
        m_database.BackupTo(part);
    } catch (...) {
        platform::RemoveFile(part);
        throw;
    }
    if (!platform::MoveReplacing(part, file)) {
        platform::RemoveFile(part);
        throw Error("バックアップ "_sj + Shown(file) + " を書き込めません。"_sj);
    }
}

CheckResult Library::Check()
{
    CheckResult result = m_database.IntegrityCheck();
    Statement days = m_database.Prepare("SELECT date, sha256, kept FROM days ORDER BY date");
    const fs::path folder = KeptFolderIn(m_workDir);
    while (days.Step()) {
        const fs::path kept =
            days.Text(2) == "files" ? folder / days.Text(1) : folder / (days.Text(1) + ".lzh");
        std::error_code ec;
        if (!fs::exists(kept, ec)) {
            result.sound = false;
            result.problems.push_back("the kept copy of " + days.Text(0) +
                                      " is missing: " + Utf8Text(kept));
        }
    }
    return result;
}

fs::path Library::Restore(const fs::path& workDir, const fs::path& file)
{
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) {
        throw Error("復元するファイル "_sj + Shown(file) + " が見つかりません。"_sj);
    }
    {
        Database source = Database::Open(file, OpenOptions{.readOnly = true});
        const CheckResult check = source.IntegrityCheck();
        if (!check.sound) {
            throw LibraryError(LibraryFault::Damaged,
                               "ファイル "_sj + Shown(file) +
                                   " は壊れているため、復元しません。ライブラリは元のままです。"_sj,
                               0, check.problems.empty() ? "" : check.problems.front());
        }
        const int version = source.UserVersion();
        if (version > SchemaVersion()) {
            throw LibraryError(LibraryFault::NewerVersion,
                               "ファイル "_sj + Shown(file) +
                                   " は新しい版のプログラムで作られたライブラリのため、"
                                   "復元できません。ライブラリは元のままです。"_sj);
        }
        Statement table = source.Prepare(
            "SELECT count(*) FROM sqlite_schema WHERE type = 'table' AND name = 'days'");
        table.Step();
        if (version < 1 || table.Int(0) != 1) {
            throw Error("ファイル "_sj + Shown(file) +
                        " はライブラリのバックアップではありません。ライブラリは元のままです。"_sj);
        }
    }
    const fs::path kept = KeptFolderIn(workDir);
    fs::create_directories(kept, ec);
    bool busy = false;
    const std::unique_ptr<platform::FileLock> lock = platform::FileLock::Acquire(
        kept, std::chrono::milliseconds(0), &busy, platform::LockKind::Exclusive);
    if (!lock) {
        throw LibraryError(LibraryFault::Busy,
                           busy ? "ライブラリは別のウィンドウかコマンドが開いているため、"
                                  "復元できません。それを閉じてから、もう一度お試しください。"_sj
                                : "ライブラリのフォルダ "_sj + Shown(kept) +
                                      " を使えないため、復元できません。"_sj);
    }
    const fs::path target = FileIn(workDir);
    fs::path part = target;
    part += ".restore";
    platform::RemoveFile(part);
    {
        Database source = Database::Open(file, OpenOptions{.readOnly = true});
        source.BackupTo(part);
    }
    fs::path moved;
    if (fs::exists(target, ec)) {
        moved = MoveAside(target, "before-restore");
    }
    if (!platform::MoveReplacing(part, target)) {
        platform::RemoveFile(part);
        throw Error("ライブラリ "_sj + Shown(target) + " を置き換えられません。"_sj +
                    (moved.empty() ? std::string()
                                   : "元のライブラリは "_sj + Shown(moved) + " にあります。"_sj));
    }
    return moved;
}

} // namespace furlox::library
