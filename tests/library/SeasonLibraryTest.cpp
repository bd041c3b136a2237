// The season library's rules of days and horses: what an import keeps, what a second import
// of the same or a corrected archive does, and how a horse's history is put together.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/KeepDay.h"
#include "app/OpenDataArchive.h"
#include "archive/DayArchive.h"
#include "base/Encoding.h"
#include "library/Library.h"
#include "library/LibraryError.h"
#include "library/SeasonDays.h"
#include "library/Sha256.h"
#include "support/TempDir.h"

namespace furlox::library {
namespace {

namespace fs = std::filesystem;
using test::RunOn;
using test::SeasonDay;
using test::SeasonHorse;
using test::TempDir;

Date D(int y, unsigned m, unsigned d)
{
    return Date{std::chrono::year(y), std::chrono::month(m), std::chrono::day(d)};
}

struct Season
{
    TempDir dir;
    fs::path work = dir / "work";
    Season() { fs::create_directories(work); }

    fs::path Write(const std::string& name, const test::KolBuilder& day)
    {
        dir.Write(name, test::ArchiveOf(day));
        return dir / name;
    }
    Library Open() { return Library::Open(work); }
    int Count(Library& library, const std::string& table)
    {
        Statement count = library.Db().Prepare("SELECT count(*) FROM " + table);
        count.Step();
        return count.Int(0);
    }
};

TEST(Sha256, KnownDigests)
{
    EXPECT_EQ(Sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // Over the 56-byte edge of the padding, and given in pieces.
    const std::string text = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
    EXPECT_EQ(Sha256Hex(text), "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    Sha256 pieces;
    for (const char c : text) {
        pieces.Add(std::string_view(&c, 1));
    }
    EXPECT_EQ(pieces.HexDigest(), Sha256Hex(text));
    EXPECT_EQ(Sha256Hex(std::string(1000000, 'a')),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(LibraryDays, AnImportKeepsTheDayAndItsArchive)
{
    Season s;
    const fs::path archive = s.Write(
        "a.lzh", SeasonDay("20010106", {{"アルファ", {RunOn("05", "12", "24")}}, {"ベータ", {}}}));
    Library library = s.Open();
    const ImportResult result = library.ImportArchive(archive);
    EXPECT_EQ(result.outcome, ImportOutcome::Added);
    EXPECT_EQ(result.date, D(2001, 1, 6));
    const fs::path kept = Library::KeptFolderIn(s.work) / (Sha256Hex(s.dir.Read("a.lzh")) + ".lzh");
    EXPECT_EQ(test::ReadFile(kept), s.dir.Read("a.lzh"));
    EXPECT_EQ(library.KeptCopy(D(2001, 1, 6)), kept);

    const std::vector<DaySummary> days = library.Days();
    ASSERT_EQ(days.size(), 1u);
    EXPECT_EQ(days[0].races, 1);
    EXPECT_EQ(days[0].runners, 2);
    EXPECT_EQ(days[0].courseCodes, std::vector<int>{5});
    EXPECT_EQ(s.Count(library, "past_runs"), 1);
    // Nothing of the import stays in the work directory but the library itself.
    for (const auto& entry : fs::directory_iterator(s.work)) {
        EXPECT_FALSE(Utf8Text(entry.path().filename()).starts_with(".furlox-import-"));
    }
    EXPECT_FALSE(fs::exists(s.work / "kol_den1.kd2"));
}

TEST(LibraryDays, TheSameArchiveTwiceChangesNothing)
{
    Season s;
    const fs::path archive = s.Write("a.lzh", SeasonDay("20010106", {{"アルファ", {}}}));
    Library library = s.Open();
    library.ImportArchive(archive);
    Statement stamp = library.Db().Prepare("SELECT id, imported_at FROM days");
    stamp.Step();
    const std::string before = std::to_string(stamp.Int64(0)) + stamp.Text(1);
    stamp.Reset();

    // Also under another name: the bytes count, not the name.
    fs::copy_file(archive, s.dir / "copy.lzh");
    for (const fs::path& again : {archive, s.dir / "copy.lzh"}) {
        const ImportResult second = library.ImportArchive(again);
        EXPECT_EQ(second.outcome, ImportOutcome::AlreadyThere);
        EXPECT_EQ(second.date, D(2001, 1, 6));
    }
    stamp.Step();
    EXPECT_EQ(std::to_string(stamp.Int64(0)) + stamp.Text(1), before);
    EXPECT_EQ(s.Count(library, "days"), 1);
    EXPECT_EQ(s.Count(library, "runners"), 1);
}

TEST(LibraryDays, AnotherArchiveOfTheSameDateReplacesTheDay)
{
    Season s;
    const fs::path first = s.Write("a.lzh", SeasonDay("20010106", {{"アルファ", {}}}));
    const fs::path corrected =
        s.Write("b.lzh", SeasonDay("20010106", {{"アルファ", {}}, {"ガンマ", {}}}));
    Library library = s.Open();
    library.ImportArchive(first);
    const fs::path oldKept = *library.KeptCopy(D(2001, 1, 6));
    EXPECT_EQ(library.ImportArchive(corrected).outcome, ImportOutcome::Replaced);
    EXPECT_EQ(s.Count(library, "days"), 1);
    EXPECT_EQ(s.Count(library, "runners"), 2);
    EXPECT_FALSE(fs::exists(oldKept));
    EXPECT_EQ(test::ReadFile(*library.KeptCopy(D(2001, 1, 6))), s.dir.Read("b.lzh"));
    EXPECT_TRUE(library.HasHorse("ガンマ"));
}

TEST(LibraryDays, AnArchiveWithoutAWholeDayIsRefusedAndNothingKept)
{
    Season s;
    const kol::SampleFiles files = SeasonDay("20010106", {{"アルファ", {}}}).Files();
    s.dir.Write("half.lzh", test::MakeLhaFiles({{"kol_den1.kd2", files.raceFile},
                                                {"kol_uma.kd2", files.horseFile}}));
    s.dir.Write("junk.lzh", "this is no archive at all");
    Library library = s.Open();
    EXPECT_THROW(library.ImportArchive(s.dir / "half.lzh"), archive::NotADayError);
    EXPECT_THROW(library.ImportArchive(s.dir / "junk.lzh"), Error);
    EXPECT_EQ(s.Count(library, "days"), 0);
    // Nothing kept (where folders cannot be locked, the library's lock file lives there).
    for (const auto& entry : fs::directory_iterator(Library::KeptFolderIn(s.work))) {
        EXPECT_EQ(Utf8Text(entry.path().filename()), ".furlox-lock");
    }
}

TEST(LibraryDays, RemovingADayTakesItsRowsAndKeptArchive)
{
    Season s;
    Library library = s.Open();
    library.ImportArchive(
        s.Write("a.lzh", SeasonDay("20010106", {{"アルファ", {RunOn("05", "12", "24")}}})));
    library.ImportArchive(s.Write("b.lzh", SeasonDay("20010107", {{"ベータ", {}}})));
    const fs::path kept = *library.KeptCopy(D(2001, 1, 6));
    EXPECT_TRUE(library.RemoveDay(D(2001, 1, 6)));
    EXPECT_FALSE(library.RemoveDay(D(2001, 1, 6)));
    EXPECT_FALSE(fs::exists(kept));
    EXPECT_EQ(s.Count(library, "days"), 1);
    EXPECT_EQ(s.Count(library, "runners"), 1);
    EXPECT_EQ(s.Count(library, "past_runs"), 0);
    EXPECT_TRUE(library.Check().sound);
}

TEST(LibraryDays, KeptCopiesNoDayNamesAreSweptAndNothingElse)
{
    Season s;
    Library library = s.Open();
    library.ImportArchive(s.Write("a.lzh", SeasonDay("20010106", {{"アルファ", {}}})));
    const fs::path kept = *library.KeptCopy(D(2001, 1, 6));
    const fs::path folder = kept.parent_path();
    // What a kill between keeping an archive and the commit leaves, in both forms.
    const std::string stray(64, 'a');
    const auto put = [](const fs::path& file) { std::ofstream(file, std::ios::binary) << "LHA"; };
    put(folder / (stray + ".lzh"));
    fs::create_directories(folder / std::string(64, 'b'));
    // Names of another form are not the library's to judge.
    put(folder / "readme.txt");
    const std::vector<ImportItem> items =
        library.ImportMany({s.Write("b.lzh", SeasonDay("20010107", {{"ベータ", {}}}))});
    ASSERT_EQ(items.size(), 1u);
    EXPECT_FALSE(fs::exists(folder / (stray + ".lzh")));
    EXPECT_FALSE(fs::exists(folder / std::string(64, 'b')));
    EXPECT_TRUE(fs::exists(folder / "readme.txt"));
    EXPECT_TRUE(fs::exists(kept));
    EXPECT_TRUE(fs::exists(*library.KeptCopy(D(2001, 1, 7))));
    EXPECT_EQ(library.SweepKept(), 0);
    EXPECT_TRUE(library.Check().sound);
}

TEST(LibraryDays, TheDayListIsNewestFirstWithItsCourses)
{
    Season s;
    Library library = s.Open();
    library.ImportArchive(s.Write("b.lzh", SeasonDay("20010107", {{"ベータ", {}}}, "08")));
    library.ImportArchive(s.Write("a.lzh", SeasonDay("20010106", {{"アルファ", {}}}, "06")));
    library.ImportArchive(s.Write("c.lzh", SeasonDay("20010113", {{"ガンマ", {}}}, "05")));
    const std::vector<DaySummary> days = library.Days();
    ASSERT_EQ(days.size(), 3u);
    EXPECT_EQ(days[0].date, D(2001, 1, 13));
    EXPECT_EQ(days[1].date, D(2001, 1, 7));
    EXPECT_EQ(days[2].date, D(2001, 1, 6));
    EXPECT_EQ(days[1].courseCodes, std::vector<int>{8});
    EXPECT_EQ(days[0].known, 0);
}

TEST(LibraryDays, TheWorkDirectorysDayIsKeptAsItsThreeFiles)
{
    Season s;
    SeasonDay("20010106", {{"アルファ", {}}}).WriteFiles(s.work);
    Library library = s.Open();
    const std::optional<ImportResult> result = library.ImportWorkDay();
    ASSERT_TRUE(result);
    EXPECT_EQ(result->outcome, ImportOutcome::Added);
    const fs::path kept = *library.KeptCopy(D(2001, 1, 6));
    EXPECT_EQ(test::ReadFile(kept / "kol_uma.kd2"), test::ReadFile(s.work / "kol_uma.kd2"));
    EXPECT_EQ(library.ImportWorkDay()->outcome, ImportOutcome::AlreadyThere);
    EXPECT_TRUE(library.Check().sound);
}

TEST(LibraryDays, ADayKeptAsItsThreeFilesOpensAgainThroughTheOpenFlow)
{
    Season s;
    SeasonDay("20010106", {{"アルファ", {RunOn("05", "12", "24")}}}).WriteFiles(s.work);
    const std::string race = test::ReadFile(s.work / "kol_den1.kd2");
    const std::string entry = test::ReadFile(s.work / "kol_den2.kd2");
    const std::string horse = test::ReadFile(s.work / "kol_uma.kd2");
    {
        Library library = s.Open();
        ASSERT_TRUE(library.ImportWorkDay());
    }
    // Another day in the work directory, then the first one back from the library.
    app::OpenDataArchive(s.Write("b.lzh", SeasonDay("20010107", {{"ベータ", {}}})), s.work,
                         nullptr);
    ASSERT_NE(test::ReadFile(s.work / "kol_uma.kd2"), horse);
    const std::optional<archive::OpenedDay> opened = app::OpenLibraryDay(s.work, D(2001, 1, 6));
    ASSERT_TRUE(opened);
    EXPECT_EQ(opened->loaded.day.raceLines.size(), 1u);
    EXPECT_EQ(test::ReadFile(s.work / "kol_den1.kd2"), race);
    EXPECT_EQ(test::ReadFile(s.work / "kol_den2.kd2"), entry);
    EXPECT_EQ(test::ReadFile(s.work / "kol_uma.kd2"), horse);
    // Nothing imported again, nothing left behind.
    Library library = s.Open();
    EXPECT_EQ(library.Days().size(), 1u);
    EXPECT_TRUE(fs::is_directory(*library.KeptCopy(D(2001, 1, 6))));
    for (const auto& entry : fs::directory_iterator(s.work)) {
        EXPECT_FALSE(Utf8Text(entry.path().filename()).starts_with(".furlox-import-"));
    }
    EXPECT_FALSE(app::OpenLibraryDay(s.work, D(2001, 1, 8)));
}

TEST(LibraryDays, ADayWhoseKeptCopyIsGoneLeavesTheWorkDirectoryAsItWas)
{
    Season s;
    const fs::path a = s.Write("a.lzh", SeasonDay("20010106", {{"アルファ", {}}}));
    {
        Library library = s.Open();
        library.ImportArchive(a);
    }
    app::OpenDataArchive(s.Write("b.lzh", SeasonDay("20010107", {{"ベータ", {}}})), s.work,
                         nullptr);
    const std::string before = test::ReadFile(s.work / "kol_uma.kd2");
    {
        Library library = s.Open();
        fs::remove(*library.KeptCopy(D(2001, 1, 6)));
    }
    EXPECT_THROW(app::OpenLibraryDay(s.work, D(2001, 1, 6)), Error);
    EXPECT_EQ(test::ReadFile(s.work / "kol_uma.kd2"), before);
}

TEST(LibraryHorses, TheYearsOfTheBlocksAreFoundNewestFirst)
{
    test::RecordLine line;
    test::Runner runner;
    runner.Run(0, RunOn("05", "12", "24")); // before 6 January: the year before
    runner.Run(1, RunOn("06", "12", "24")); // strictly before 24 Dec 2000: 24 Dec 1999
    runner.Run(2, RunOn("99", "06", "01")); // a course the table does not list: no run
    runner.Run(3, RunOn("08", "02", "30")); // no such date: no run
    runner.Run(4, RunOn("09", "03", "01")); // before 24 Dec 1999
    const std::vector<PastRunRow> runs = PastRunsOf(runner.horse.Text(), D(2001, 1, 6));
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].date, D(2000, 12, 24));
    EXPECT_EQ(runs[1].date, D(1999, 12, 24));
    EXPECT_EQ(runs[2].block, 4);
    EXPECT_EQ(runs[2].date, D(1999, 3, 1));
    EXPECT_EQ(runs[0].finish, 3);
    EXPECT_EQ(runs[0].popularity, 3);
    EXPECT_EQ(runs[0].timeTenths, 945);
    EXPECT_EQ(runs[0].last3fTenths, 345);

    // A run on the day itself belongs to that day; 29 February only in a leap year.
    test::Runner leap;
    leap.Run(0, RunOn("05", "03", "02"));
    leap.Run(1, RunOn("05", "02", "29"));
    const std::vector<PastRunRow> inLeap = PastRunsOf(leap.horse.Text(), D(2004, 3, 2));
    ASSERT_EQ(inLeap.size(), 2u);
    EXPECT_EQ(inLeap[0].date, D(2004, 3, 2));
    EXPECT_EQ(inLeap[1].date, D(2004, 2, 29));
    EXPECT_EQ(PastRunsOf(leap.horse.Text(), D(2001, 3, 2)).size(), 1u);
}

TEST(LibraryHorses, ARunSeenInFiveDaysIsCountedOnceAndTheLatestCopyWins)
{
    Season s;
    Library library = s.Open();
    const std::vector<std::string> dates = {"20010106", "20010107", "20010113", "20010114",
                                            "20010120"};
    for (std::size_t i = 0; i < dates.size(); ++i) {
        // Every day carries the same run of 24 December; the last day's copy says 1st.
        const std::string finish = i + 1 == dates.size() ? "01" : "03";
        library.ImportArchive(
            s.Write("d" + std::to_string(i) + ".lzh",
                    SeasonDay(dates[i], {{"アルファ", {RunOn("05", "12", "24", finish)}}})));
    }
    const std::vector<HistoryRun> runs = library.History("アルファ");
    std::vector<HistoryRun> blocks;
    for (const HistoryRun& run : runs) {
        if (run.source == HistoryRun::Source::Block) {
            blocks.push_back(run);
        }
    }
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].date, D(2000, 12, 24));
    EXPECT_EQ(blocks[0].finish, 1);
    // The five library races of the horse, which no block covers, follow it.
    ASSERT_EQ(runs.size(), 6u);
    EXPECT_EQ(runs[1].source, HistoryRun::Source::Race);
    EXPECT_EQ(runs[1].date, D(2001, 1, 6));
    EXPECT_FALSE(runs[1].fx);
    EXPECT_FALSE(runs[1].popularity);
    EXPECT_EQ(runs[5].date, D(2001, 1, 20));
}

TEST(LibraryHorses, ALibraryRaceCoveredByALaterBlockShowsOnce)
{
    Season s;
    Library library = s.Open();
    library.ImportArchive(s.Write("a.lzh", SeasonDay("20010106", {{"アルファ", {}}}, "05")));
    library.ImportArchive(s.Write(
        "b.lzh", SeasonDay("20010113", {{"アルファ", {RunOn("05", "01", "06", "02")}}}, "05")));
    const std::vector<HistoryRun> runs = library.History("アルファ");
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].source, HistoryRun::Source::Block);
    EXPECT_EQ(runs[0].finish, 2);
    EXPECT_EQ(runs[1].source, HistoryRun::Source::Race);
    EXPECT_EQ(runs[1].date, D(2001, 1, 13));
}

TEST(LibraryHorses, NamesWithFullWidthBlanksAreOneHorse)
{
    Season s;
    Library library = s.Open();
    // The name field is padded with full-width blanks on one day and ASCII blanks on another.
    library.ImportArchive(s.Write("a.lzh", SeasonDay("20010106", {{"テストホース　　", {}}})));
    library.ImportArchive(s.Write("b.lzh", SeasonDay("20010107", {{"テストホース", {}}})));
    EXPECT_EQ(HorseKey("テストホース　　  "_sj), "テストホース");
    EXPECT_EQ(library.History("テストホース").size(), 2u);
    EXPECT_EQ(library.History("テストホース　").size(), 2u);
    EXPECT_EQ(library.SearchHorses("　ホース "), std::vector<std::string>{"テストホース"});
    EXPECT_EQ(library.SearchHorses("テスト"), std::vector<std::string>{"テストホース"});
    EXPECT_TRUE(library.SearchHorses("　").empty());
    // LIKE's own wildcards are letters of the name like any other.
    EXPECT_TRUE(library.SearchHorses("%").empty());
}

} // namespace
} // namespace furlox::library
