// The season library under faults: a damaged or newer library file, a full disk in the middle
// of an import, a busy library, a restore while the library is open, hostile archives among
// good ones.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "app/KeepDay.h"
#include "base/Encoding.h"
#include "kol/WorkDir.h"
#include "library/Library.h"
#include "library/LibraryError.h"
#include "library/SeasonDays.h"
#include "support/HostileArchives.h"
#include "support/TempDir.h"

namespace furlox::library {
namespace {

namespace fs = std::filesystem;
using test::SeasonDay;
using test::TempDir;

struct Season
{
    TempDir dir;
    fs::path work = dir / "work";
    fs::path file = Library::FileIn(work);
    Season() { fs::create_directories(work); }

    fs::path Write(const std::string& name, const std::string& date, const std::string& horse)
    {
        dir.Write(name, test::ArchiveOf(SeasonDay(date, {{horse, {}}})));
        return dir / name;
    }
    int Days()
    {
        Library library = Library::Open(work);
        return static_cast<int>(library.Days().size());
    }
};

std::vector<fs::path> MovedAside(const fs::path& work)
{
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(work)) {
        const std::string name = Utf8Text(entry.path().filename());
        if (name.starts_with("library.damaged-") && name.ends_with(".sqlite3")) {
            found.push_back(entry.path());
        }
    }
    return found;
}

void Overwrite(const fs::path& file, std::uintmax_t at, const std::string& bytes)
{
    std::fstream out(file, std::ios::in | std::ios::out | std::ios::binary);
    out.seekp(static_cast<std::streamoff>(at));
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A library of two days, closed (its log folded into the file).
void TwoDays(Season& s)
{
    Library library = Library::Open(s.work);
    library.ImportArchive(s.Write("a.lzh", "20010106", "アルファ"));
    library.ImportArchive(s.Write("b.lzh", "20010107", "ベータ"));
}

TEST(LibraryFaults, ADamagedLibraryIsMovedAsideAndANewOneMade)
{
    const std::vector<std::pair<std::string, std::function<void(const fs::path&)>>> damages = {
        {"header overwritten", [](const fs::path& f) { Overwrite(f, 0, "NOT A DATABASE!!"); }},
        {"pages overwritten",
         [](const fs::path& f) { Overwrite(f, 4096, std::string(3000, '\x5A')); }},
        {"truncated", [](const fs::path& f) { fs::resize_file(f, fs::file_size(f) / 2 + 17); }},
        {"a text file",
         [](const fs::path& f) {
             std::ofstream(f, std::ios::binary | std::ios::trunc) << "just some words\n";
         }},
    };
    for (const auto& [what, damage] : damages) {
        SCOPED_TRACE(what);
        Season s;
        TwoDays(s);
        const std::string before = test::ReadFile(s.file);
        damage(s.file);
        const std::string damaged = test::ReadFile(s.file);

        OpenReport report;
        Library library = Library::Open(s.work, &report);
        EXPECT_TRUE(report.created);
        const std::string notice = ToUtf8(report.notice);
        EXPECT_NE(notice.find(Utf8Text(s.file)), std::string::npos) << notice;
        EXPECT_NE(notice.find(Utf8Text(report.movedAside.filename())), std::string::npos) << notice;
        ASSERT_EQ(MovedAside(s.work), std::vector<fs::path>{report.movedAside});
        EXPECT_EQ(test::ReadFile(report.movedAside), damaged) << "the damaged file was changed";
        EXPECT_TRUE(library.Days().empty());
        EXPECT_TRUE(library.Check().sound);
        // The new library takes days again.
        library.ImportArchive(s.Write("c.lzh", "20010113", "ガンマ"));
        EXPECT_EQ(library.Days().size(), 1u);
    }
}

TEST(LibraryFaults, TheCurrentDayStillOpensBesideADamagedLibrary)
{
    Season s;
    TwoDays(s);
    Overwrite(s.file, 0, "NOT A DATABASE!!");
    const fs::path archive = s.Write("c.lzh", "20010113", "ガンマ");
    test::SeasonDay("20010113", {{"ガンマ", {}}}).WriteFiles(s.work);
    const std::optional<kol::LoadedDay> day = kol::LoadWorkDay(s.work);
    ASSERT_TRUE(day);
    // The open's own step says what became of the library and keeps the day in the new one.
    const std::string said = ToUtf8(app::KeepOpenedDay(archive, s.work, day->day));
    EXPECT_NE(said.find("library.damaged-"), std::string::npos) << said;
    EXPECT_EQ(s.Days(), 1);
}

TEST(LibraryFaults, ALibraryOfANewerVersionIsRefusedAndLeftAsItIs)
{
    Season s;
    TwoDays(s);
    {
        Database database = Database::Open(s.file);
        database.SetUserVersion(99);
    }
    const std::string before = test::ReadFile(s.file);
    try {
        Library::Open(s.work);
        FAIL() << "a newer library must be refused";
    } catch (const LibraryError& e) {
        EXPECT_EQ(e.Fault(), LibraryFault::NewerVersion);
        EXPECT_NE(ToUtf8(e.what()).find(Utf8Text(s.file)), std::string::npos);
    }
    EXPECT_EQ(test::ReadFile(s.file), before);
    EXPECT_TRUE(MovedAside(s.work).empty());
    // The open of a day says so and still succeeds.
    test::SeasonDay("20010113", {{"ガンマ", {}}}).WriteFiles(s.work);
    const std::string said = ToUtf8(app::KeepOpenedDay(s.Write("c.lzh", "20010113", "ガンマ"),
                                                       s.work, kol::LoadWorkDay(s.work)->day));
    EXPECT_NE(said.find("保存されませんでした"), std::string::npos) << said;
}

TEST(LibraryFaults, AFullDiskDuringAnImportLeavesTheLibraryAsItWas)
{
    Season s;
    TwoDays(s);
    test::SeasonDay("20010107", {{"ベータ", {}}}).WriteFiles(s.work);
    const std::string workDay = test::ReadFile(s.work / "kol_uma.kd2");
    Library library = Library::Open(s.work);
    // The database may grow by no page: as a disk that is full.
    Statement pages = library.Db().Prepare("PRAGMA page_count");
    pages.Step();
    library.Db().Execute("PRAGMA max_page_count = " + std::to_string(pages.Int(0)));
    const fs::path big = s.dir / "big.lzh";
    {
        test::KolBuilder b;
        for (int r = 0; r < 12; ++r) {
            b.AddRace()
                .Set(kol::race::kYear, "2001")
                .Set(kol::race::kMonth, "01")
                .Set(kol::race::kDay, "13");
            for (int i = 0; i < 18; ++i) {
                test::Runner& runner = b.AddRunner();
                runner.SetEntry(kol::entry::kHorseName,
                                "ホース" + std::to_string(r) + "の" + std::to_string(i));
                for (int k = 0; k < 5; ++k) {
                    runner.Run(k, test::RunOn("05", "01", std::to_string(10 - k)));
                }
            }
        }
        s.dir.Write("big.lzh", test::ArchiveOf(b));
    }
    try {
        library.ImportArchive(big);
        FAIL() << "a full disk must be reported";
    } catch (const LibraryError& e) {
        EXPECT_EQ(e.Fault(), LibraryFault::DiskFull);
        EXPECT_NE(ToUtf8(e.what()).find("ディスクがいっぱい"), std::string::npos);
    }
    EXPECT_EQ(library.Days().size(), 2u);
    EXPECT_TRUE(library.Check().sound);
    EXPECT_EQ(test::ReadFile(s.work / "kol_uma.kd2"), workDay);
    std::size_t kept = 0;
    for (const auto& entry : fs::directory_iterator(Library::KeptFolderIn(s.work))) {
        kept += Utf8Text(entry.path().extension()) == ".lzh";
    }
    EXPECT_EQ(kept, 2u) << "an archive of the failed import was kept";
    for (const auto& entry : fs::directory_iterator(s.work)) {
        EXPECT_FALSE(Utf8Text(entry.path().filename()).starts_with(".furlox-import-"));
    }
}

TEST(LibraryFaults, HostileArchivesInAFolderAreRefusedAndTheOthersImported)
{
    Season s;
    const fs::path folder = s.dir / "season";
    fs::create_directories(folder);
    s.Write("season/20010106.lzh", "20010106", "アルファ");
    s.Write("season/20010107.lzh", "20010107", "ベータ");
    s.dir.Write("season/20010108.lzh", "garbage, no archive");
    s.dir.Write("season/20010109.lzh", "");
    s.dir.Write("season/20010110.lzh", test::MakeLhaFiles({{"readme.txt", "hello"}}));
    s.dir.Write("season/notes.txt", "not an archive by name: left out");
    Library library = Library::Open(s.work);
    int calls = 0;
    const std::vector<ImportItem> items =
        library.ImportMany({folder}, [&](int, int total, const fs::path&) {
            EXPECT_EQ(total, 5);
            ++calls;
        });
    ASSERT_EQ(items.size(), 5u);
    EXPECT_EQ(calls, 6);
    int imported = 0;
    for (const ImportItem& item : items) {
        if (item.result) {
            ++imported;
        } else {
            EXPECT_FALSE(item.refusal.empty()) << Utf8Text(item.path);
        }
    }
    EXPECT_EQ(imported, 2);
    EXPECT_EQ(library.Days().size(), 2u);
}

TEST(LibraryFaults, ACancelKeepsWhatWasImported)
{
    Season s;
    Library library = Library::Open(s.work);
    std::atomic<bool> cancel = false;
    const std::vector<ImportItem> items = library.ImportMany(
        {s.Write("a.lzh", "20010106", "アルファ"), s.Write("b.lzh", "20010107", "ベータ")},
        [&](int done, int, const fs::path&) { cancel = done >= 1; }, &cancel);
    EXPECT_EQ(items.size(), 1u);
    EXPECT_EQ(library.Days().size(), 1u);
}

TEST(LibraryBackup, ABackupIsAWholeLibraryAndARestoreMovesTheOldOneAside)
{
    Season s;
    TwoDays(s);
    const fs::path backup = s.dir / "backup.sqlite3";
    {
        Library library = Library::Open(s.work);
        library.Backup(backup);
        library.RemoveDay(library.Days().front().date);
        EXPECT_EQ(library.Days().size(), 1u);
        // Refused while the library is open, here or in another process.
        try {
            Library::Restore(s.work, backup);
            FAIL() << "a restore while the library is open must be refused";
        } catch (const LibraryError& e) {
            EXPECT_EQ(e.Fault(), LibraryFault::Busy);
        }
    }
    {
        Database copy = Database::Open(backup, OpenOptions{.readOnly = true});
        EXPECT_TRUE(copy.IntegrityCheck().sound);
    }
    const fs::path moved = Library::Restore(s.work, backup);
    ASSERT_FALSE(moved.empty());
    EXPECT_TRUE(fs::exists(moved));
    EXPECT_EQ(s.Days(), 2);
    {
        Database old = Database::Open(moved, OpenOptions{.readOnly = true});
        Statement days = old.Prepare("SELECT count(*) FROM days");
        days.Step();
        EXPECT_EQ(days.Int(0), 1);
    }
}

// Every day of a copy whole: its races and runners as many as the day says.
void ExpectWholeDays(const fs::path& copy)
{
    Database db = Database::Open(copy, OpenOptions{.readOnly = true});
    ASSERT_TRUE(db.IntegrityCheck().sound) << Utf8Text(copy);
    Statement days =
        db.Prepare("SELECT d.date, d.race_count, d.runner_count, "
                   "(SELECT count(*) FROM races ra WHERE ra.day_id = d.id), "
                   "(SELECT count(*) FROM runners r JOIN races ra ON ra.id = r.race_id "
                   "WHERE ra.day_id = d.id) FROM days d");
    while (days.Step()) {
        EXPECT_EQ(days.Int(1), days.Int(3)) << days.Text(0);
        EXPECT_EQ(days.Int(2), days.Int(4)) << days.Text(0);
    }
    Statement orphans = db.Prepare(
        "SELECT (SELECT count(*) FROM races WHERE day_id NOT IN (SELECT id FROM days)) + "
        "(SELECT count(*) FROM runners WHERE race_id NOT IN (SELECT id FROM races)) + "
        "(SELECT count(*) FROM past_runs WHERE runner_id NOT IN (SELECT id FROM runners))");
    orphans.Step();
    EXPECT_EQ(orphans.Int(0), 0);
}

TEST(LibraryBackup, ABackupTakenWhileAnotherConnectionWritesIsWhole)
{
    Season s;
    std::vector<std::string> archives;
    std::vector<test::SeasonHorse> horses;
    for (int k = 0; k < 12; ++k) {
        horses.push_back({"ホース" + std::to_string(k),
                          {test::RunOn("05", "01", "05"), test::RunOn("06", "12", "20"),
                           test::RunOn("08", "11", "30")}});
    }
    const fs::path a = s.dir / "a.lzh";
    const fs::path b = s.dir / "b.lzh";
    s.dir.Write("a.lzh", test::ArchiveOf(SeasonDay("20010113", horses)));
    s.dir.Write("b.lzh", test::ArchiveOf(SeasonDay("20010114", horses, "06")));
    {
        Library made = Library::Open(s.work);
    }

    // The writer, on a connection of its own, adds and removes the two days over and over
    // until the backups are done: each backup meets it half-way through somewhere.
    std::atomic<bool> stop = false;
    std::atomic<int> writes = 0;
    std::string writerError; // read once the writer has stopped
    std::atomic<bool> failed = false;
    std::thread writer([&] {
        try {
            Library library = Library::Open(s.work);
            while (!stop) {
                library.ImportArchive(a);
                ++writes;
                library.ImportArchive(b);
                ++writes;
                library.RemoveDay(*ParseDateText("2001-01-13"));
                ++writes;
                library.RemoveDay(*ParseDateText("2001-01-14"));
                ++writes;
            }
        } catch (const std::exception& e) {
            writerError = e.what();
            failed = true;
        }
    });
    std::vector<fs::path> copies;
    std::vector<int> writesAt;
    {
        Library library = Library::Open(s.work);
        while (writes == 0 && !failed) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        // At least eight backups, and on until the writer has gone on through them: a
        // backup that kept the writer waiting would end here at the deadline.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        for (int k = 0; !failed && std::chrono::steady_clock::now() < deadline; ++k) {
            const fs::path copy = s.dir / ("backup-" + std::to_string(k) + ".sqlite3");
            library.Backup(copy);
            copies.push_back(copy);
            writesAt.push_back(writes);
            if (k >= 7 && writesAt.back() - writesAt.front() >= 4) {
                break;
            }
        }
    }
    // Writes were made between the first backup and the last: the backups did not stop them.
    const int writesDuring = writesAt.empty() ? 0 : writesAt.back() - writesAt.front();
    stop = true;
    writer.join();
    ASSERT_EQ(writerError, "");
    EXPECT_GE(writesDuring, 4);
    for (const fs::path& copy : copies) {
        ExpectWholeDays(copy);
    }
}

TEST(LibraryBackup, ADamagedOrForeignFileIsNotRestored)
{
    Season s;
    TwoDays(s);
    const std::string before = test::ReadFile(s.file);
    s.dir.Write("words.sqlite3", "just some words");
    EXPECT_THROW(Library::Restore(s.work, s.dir / "words.sqlite3"), Error);
    {
        Database other = Database::Open(s.dir / "other.sqlite3");
        other.Execute("CREATE TABLE t (x)");
    }
    EXPECT_THROW(Library::Restore(s.work, s.dir / "other.sqlite3"), Error);
    EXPECT_THROW(Library::Restore(s.work, s.dir / "missing.sqlite3"), Error);
    EXPECT_EQ(test::ReadFile(s.file), before);
    EXPECT_EQ(s.Days(), 2);
}

} // namespace
} // namespace furlox::library
