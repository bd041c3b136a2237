// The results of library races from the blocks of later days: a runner's own block, the
// winner or second a block names, the codes of runners without a place, and what gives no
// result at all. Recomputed by every import and removal.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <tuple>

#include "kol/SampleSeason.h"
#include "library/Library.h"
#include "library/SeasonDays.h"
#include "library/Transaction.h"
#include "support/TempDir.h"

namespace furlox::library {
namespace {

namespace fs = std::filesystem;
using test::PastRun;
using test::SeasonDay;
using test::SeasonHorse;

Date D(int y, unsigned m, unsigned d)
{
    return Date{std::chrono::year(y), std::chrono::month(m), std::chrono::day(d)};
}

// A block of the race at course 05 on 6 January (the year found from the day holding it).
PastRun RaceBlock(int horse, const std::string& finish, const std::string& winnerOrSecond = "",
                  const std::string& popularity = "05")
{
    PastRun run = test::RunOn("05", "01", "06", finish);
    char number[8];
    std::snprintf(number, sizeof number, "%02d", horse);
    run.horseNumber = number;
    run.popularity = popularity;
    run.winnerOrSecond = winnerOrSecond;
    return run;
}

// A library whose first day holds the race of 6 January 2001 at course 05 with these horses.
struct ResultLibrary
{
    test::TempDir dir;
    fs::path work = dir / "work";
    std::optional<Library> library;
    int files = 0;

    explicit ResultLibrary(const std::vector<std::string>& runners)
    {
        fs::create_directories(work);
        library.emplace(Library::Open(work));
        std::vector<SeasonHorse> horses;
        for (const std::string& name : runners) {
            horses.push_back({name, {}});
        }
        Import(SeasonDay("20010106", horses));
    }
    void Import(const test::KolBuilder& day)
    {
        const std::string name = "day" + std::to_string(files++) + ".lzh";
        dir.Write(name, test::ArchiveOf(day));
        library->ImportArchive(dir / name);
    }
    // A later day at course 06 whose horse records hold these blocks.
    void Later(const std::string& date, const std::vector<SeasonHorse>& horses)
    {
        Import(SeasonDay(date, horses, "06"));
    }
    std::vector<RunnerOfDay> Runners(Date date = D(2001, 1, 6))
    {
        const std::optional<std::vector<RaceResults>> races = library->Results(date);
        EXPECT_TRUE(races && races->size() == 1u);
        return races && !races->empty() ? races->front().runners : std::vector<RunnerOfDay>{};
    }
    // The finish of the runner at `horse`, or 0 while it is not known.
    int Finish(int horse)
    {
        const std::vector<RunnerOfDay> runners = Runners();
        const RunnerOfDay& r = runners.at(static_cast<std::size_t>(horse - 1));
        return r.result ? r.result->finish : 0;
    }
};

TEST(LibraryResults, TheRunnersOwnBlockInALaterDayGivesItsResult)
{
    ResultLibrary s({"アルファ", "ベータ"});
    EXPECT_EQ(s.Finish(1), 0) << "no later day yet";
    s.Later("20010113", {{"アルファ", {RaceBlock(1, "02", "", "04")}}});
    const std::vector<RunnerOfDay> runners = s.Runners();
    ASSERT_TRUE(runners[0].result);
    EXPECT_EQ(runners[0].result->finish, 2);
    EXPECT_EQ(runners[0].result->popularity, 4);
    EXPECT_EQ(runners[0].result->source, ResultSource::OwnBlock);
    EXPECT_FALSE(runners[1].result);
    EXPECT_EQ(s.library->Days().back().known, 1);
}

TEST(LibraryResults, ABlockNamesTheWinnerOrForAWinnerTheSecond)
{
    {
        ResultLibrary s({"アルファ", "ベータ", "ガンマ"});
        s.Later("20010113", {{"アルファ", {RaceBlock(1, "04", "ガンマ")}}});
        EXPECT_EQ(s.Finish(3), 1) << "named by a runner that did not win: the winner";
        EXPECT_EQ(s.Runners()[2].result->source, ResultSource::Deduced);
        EXPECT_FALSE(s.Runners()[2].result->popularity) << "a deduction knows no popularity";
        EXPECT_EQ(s.Finish(2), 0);
    }
    {
        ResultLibrary s({"アルファ", "ベータ", "ガンマ"});
        s.Later("20010113", {{"アルファ", {RaceBlock(1, "01", "ベータ")}}});
        EXPECT_EQ(s.Finish(1), 1);
        EXPECT_EQ(s.Finish(2), 2) << "named by the winner: the second";
    }
    {
        // Trailing blanks of either name do not matter.
        ResultLibrary s({"アルファ", "ベータ　"});
        s.Later("20010113", {{"アルファ", {RaceBlock(1, "05", "ベータ  ")}}});
        EXPECT_EQ(s.Finish(2), 1);
    }
}

TEST(LibraryResults, TheOwnBlockGoesBeforeADeductionAndTheLowestNumberDeducesFirst)
{
    {
        ResultLibrary s({"アルファ", "ベータ"});
        s.Later("20010113", {{"アルファ", {RaceBlock(1, "03", "ベータ")}},
                             {"ベータ", {RaceBlock(2, "02", "カッパ")}}});
        EXPECT_EQ(s.Finish(2), 2) << "its own block says 2nd; the other's says it won";
    }
    {
        // Horse 1 won and names ガンマ second; horse 4 (beaten) names ガンマ the winner.
        ResultLibrary s({"アルファ", "ベータ", "ガンマ", "デルタ"});
        s.Later("20010113", {{"デルタ", {RaceBlock(4, "06", "ガンマ")}},
                             {"アルファ", {RaceBlock(1, "01", "ガンマ")}}});
        EXPECT_EQ(s.Finish(3), 2);
    }
}

TEST(LibraryResults, RunnersWithoutAPlaceAndRunnersThatDidNotStart)
{
    ResultLibrary s({"アルファ", "ベータ", "ガンマ", "デルタ", "イプシロン"});
    s.Later("20010113", {{"アルファ", {RaceBlock(1, "31", "ガンマ")}},
                         {"ベータ", {RaceBlock(2, "34", "ガンマ", "34")}},
                         {"ガンマ", {RaceBlock(3, "  ", "", "35")}},
                         {"デルタ", {RaceBlock(4, "33")}}});
    const std::vector<RunnerOfDay> r = s.Runners();
    EXPECT_EQ(r[0].result->finish, 31);
    EXPECT_EQ(r[0].result->popularity, 5);
    EXPECT_EQ(r[1].result->finish, 34);
    EXPECT_FALSE(r[1].result->popularity);
    // The own block's 35 as popularity (the finish blank) goes before the deduction.
    EXPECT_EQ(r[2].result->finish, 35);
    EXPECT_EQ(r[3].result->finish, 33);
    EXPECT_FALSE(r[4].result);
}

TEST(LibraryResults, ADeadHeatGivesBothThePlace)
{
    ResultLibrary s({"アルファ", "ベータ", "ガンマ"});
    s.Later("20010113", {{"アルファ", {RaceBlock(1, "01", "ベータ")}},
                         {"ベータ", {RaceBlock(2, "01", "アルファ")}},
                         {"ガンマ", {RaceBlock(3, "03", "アルファ")}}});
    EXPECT_EQ(s.Finish(1), 1);
    EXPECT_EQ(s.Finish(2), 1);
    EXPECT_EQ(s.Finish(3), 3);
}

TEST(LibraryResults, ANameTwiceInARaceOrAnotherHorseNumberGivesNothing)
{
    {
        ResultLibrary s({"アルファ", "ベータ", "アルファ　", "ガンマ"});
        s.Later("20010113", {{"アルファ", {RaceBlock(1, "01", "ガンマ")}},
                             {"ガンマ", {RaceBlock(4, "02", "アルファ")}}});
        EXPECT_EQ(s.Finish(1), 0);
        EXPECT_EQ(s.Finish(3), 0);
        EXPECT_EQ(s.Finish(4), 2);
        EXPECT_EQ(s.Finish(2), 0) << "the twice-named horse's block deduces nothing";
    }
    {
        ResultLibrary s({"アルファ", "ベータ"});
        s.Later("20010113", {{"アルファ", {RaceBlock(5, "01", "ベータ")}}});
        EXPECT_EQ(s.Finish(1), 0) << "the block is of horse number 5";
        EXPECT_EQ(s.Finish(2), 0) << "and names no winner or second of this race";
    }
}

TEST(LibraryResults, OnlyDaysWithin365DaysGiveResults)
{
    // From 2002 the block of 6 January 2001 comes after a run of 1 December 2001.
    const auto blocks = [](int horse) {
        return std::vector<PastRun>{test::RunOn("06", "12", "01"), RaceBlock(horse, "02")};
    };
    {
        ResultLibrary s({"アルファ"});
        s.Later("20020106", {{"アルファ", blocks(1)}});
        EXPECT_EQ(s.Finish(1), 2) << "365 days later";
    }
    {
        ResultLibrary s({"アルファ"});
        s.Later("20020107", {{"アルファ", blocks(1)}});
        EXPECT_EQ(s.Finish(1), 0) << "366 days later";
    }
}

TEST(LibraryResults, TheLatestDayWinsAndEveryImportOrRemovalRecomputes)
{
    ResultLibrary s({"アルファ", "ベータ"});
    s.Later("20010120", {{"アルファ", {RaceBlock(1, "05", "ベータ")}}});
    s.Later("20010113", {{"アルファ", {RaceBlock(1, "02", "ガンマ")}}});
    EXPECT_EQ(s.Finish(1), 5) << "imported in any order, the latest day's copy counts";
    EXPECT_EQ(s.Finish(2), 1);
    // A corrected file of the latest day.
    s.Later("20010120", {{"アルファ", {RaceBlock(1, "07", "カッパ")}}, {"ベータ", {}}});
    EXPECT_EQ(s.Finish(1), 7);
    EXPECT_EQ(s.Finish(2), 0);
    ASSERT_TRUE(s.library->RemoveDay(D(2001, 1, 20)));
    EXPECT_EQ(s.Finish(1), 2);
    ASSERT_TRUE(s.library->RemoveDay(D(2001, 1, 13)));
    EXPECT_EQ(s.Finish(1), 0);
    Statement rows = s.library->Db().Prepare("SELECT count(*) FROM results");
    rows.Step();
    EXPECT_EQ(rows.Int(0), 0);
}

TEST(LibraryResults, AnEarlierDayImportedLateTakesItsResultsFromDaysAlreadyThere)
{
    test::TempDir dir;
    fs::create_directories(dir / "work");
    Library library = Library::Open(dir / "work");
    dir.Write("b.lzh", test::ArchiveOf(SeasonDay(
                           "20010113", {{"アルファ", {RaceBlock(1, "03", "ベータ")}}}, "06")));
    dir.Write("a.lzh", test::ArchiveOf(SeasonDay("20010106", {{"アルファ", {}}, {"ベータ", {}}})));
    library.ImportArchive(dir / "b.lzh");
    library.ImportArchive(dir / "a.lzh");
    const std::vector<RunnerOfDay> runners = library.Results(D(2001, 1, 6))->front().runners;
    EXPECT_EQ(runners[0].result->finish, 3);
    EXPECT_EQ(runners[1].result->finish, 1);
    EXPECT_FALSE(library.Results(D(2001, 1, 7)));
}

TEST(LibraryResults, AHistoryRunOfTheLibrarysOwnRaceTakesADeducedFinish)
{
    ResultLibrary s({"アルファ", "ベータ"});
    s.Later("20010113", {{"アルファ", {RaceBlock(1, "02", "ベータ")}}});
    const std::vector<HistoryRun> runs = s.library->History("ベータ");
    ASSERT_FALSE(runs.empty());
    EXPECT_EQ(runs.front().source, HistoryRun::Source::Race);
    EXPECT_EQ(runs.front().finish, 1);
    EXPECT_FALSE(runs.front().popularity);
}

TEST(LibraryResults, ALibraryOfTheVersionBeforeResultsGetsThemAtItsOpen)
{
    ResultLibrary s({"アルファ", "ベータ"});
    s.Later("20010113", {{"アルファ", {RaceBlock(1, "04", "ベータ")}}});
    s.library->Db().Execute(
        "DROP TABLE results; DROP TABLE results_pending; DROP INDEX past_runs_by_meeting; "
        "PRAGMA user_version = 1");
    s.library.reset();
    s.library.emplace(Library::Open(s.work));
    EXPECT_EQ(s.Finish(1), 4);
    EXPECT_EQ(s.Finish(2), 1);
}

// Every row of the results table, in runner order.
using ResultRows = std::vector<std::tuple<std::int64_t, int, std::optional<int>, int>>;
ResultRows StoredResults(Database& database)
{
    ResultRows rows;
    Statement all = database.Prepare(
        "SELECT runner_id, finish, popularity, source FROM results ORDER BY runner_id");
    while (all.Step()) {
        rows.emplace_back(all.Int64(0), all.Int(1), all.OptionalInt(2), all.Int(3));
    }
    return rows;
}

// What every race's results would be if they were all made again.
ResultRows RebuiltResults(Database& database)
{
    Transaction transaction(database); // rolled back: the library stays as it was
    RebuildResults(database);
    return StoredResults(database);
}

// An import or a removal recomputes only the races in which a result can change: whatever the
// order of the days, the results are those of a full rebuild after every step.
// The days of a sample season as archives in `dir`, named with `prefix`; their dates into
// `dates` when given.
std::vector<fs::path> PackSeason(const test::TempDir& dir, const kol::SeasonOptions& options,
                                 const std::string& prefix, std::vector<Date>* dates = nullptr)
{
    kol::SampleSeason season(options);
    std::vector<fs::path> made;
    while (!season.Done()) {
        const kol::SeasonDay day = season.NextDay();
        const fs::path file = dir / (prefix + kol::SeasonArchiveName(day.date));
        dir.Write(file.filename().string(),
                  test::MakeLhaFiles({{"kol_den1.kd2", day.files.raceFile},
                                      {"kol_den2.kd2", day.files.entryFile},
                                      {"kol_uma.kd2", day.files.horseFile}}));
        made.push_back(file);
        if (dates) {
            dates->push_back(Date{day.date});
        }
    }
    return made;
}

TEST(LibraryResults, WhatAnImportOrRemovalRecomputesIsAFullRebuild)
{
    test::TempDir dir;
    fs::create_directories(dir / "work");
    Library library = Library::Open(dir / "work");
    std::vector<fs::path> archives;
    std::vector<Date> dates;
    const auto pack = [&](const kol::SeasonOptions& options, const std::string& prefix) {
        return PackSeason(dir, options, prefix, prefix.empty() ? &dates : nullptr);
    };
    kol::SeasonOptions options;
    options.seed = 5;
    options.days = 16;
    archives = pack(options, "");
    options.seed = 6;
    options.days = 4;
    const std::vector<fs::path> corrected = pack(options, "other-");

    std::vector<std::size_t> order(archives.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    std::shuffle(order.begin(), order.end(), std::mt19937(25));
    for (const std::size_t i : order) {
        library.ImportArchive(archives[i]);
        ASSERT_EQ(StoredResults(library.Db()), RebuiltResults(library.Db()))
            << "after importing day " << i;
    }
    const ResultRows whole = StoredResults(library.Db());
    EXPECT_GT(whole.size(), 1000u) << "the later days give many races their results";

    ASSERT_TRUE(library.RemoveDay(dates[8]));
    EXPECT_EQ(StoredResults(library.Db()), RebuiltResults(library.Db())) << "after a removal";
    EXPECT_LT(StoredResults(library.Db()).size(), whole.size());
    library.ImportArchive(archives[8]);
    EXPECT_EQ(StoredResults(library.Db()), RebuiltResults(library.Db())) << "re-imported";
    EXPECT_EQ(StoredResults(library.Db()).size(), whole.size());

    // Another archive of a date already there (another season's day 3) replaces it.
    EXPECT_EQ(library.ImportArchive(corrected[2]).outcome, ImportOutcome::Replaced);
    EXPECT_EQ(StoredResults(library.Db()), RebuiltResults(library.Db())) << "after a replacement";
}

// Many days imported at once have their results made once at the end, the same as day by
// day; a batch killed before that end leaves the rebuild to the next change.
TEST(LibraryResults, ManyDaysAtOnceGetTheirResultsAtTheEnd)
{
    test::TempDir dir;
    fs::create_directories(dir / "work");
    Library library = Library::Open(dir / "work");
    kol::SeasonOptions options;
    options.seed = 5;
    options.days = 12;
    const std::vector<fs::path> archives = PackSeason(dir, options, "");
    const auto pending = [&] {
        Statement count = library.Db().Prepare("SELECT count(*) FROM results_pending");
        count.Step();
        return count.Int(0);
    };
    std::vector<std::string> reports;
    const std::vector<ImportItem> items = library.ImportMany(
        {archives.begin(), archives.end() - 1}, [&](int done, int total, const fs::path&) {
            // While the days are stored, the rebuild waits.
            if (done > 0 && done < total) {
                reports.push_back(std::to_string(pending()));
            }
        });
    ASSERT_EQ(items.size(), archives.size() - 1);
    EXPECT_EQ(reports, std::vector<std::string>(archives.size() - 2, "1"));
    EXPECT_EQ(pending(), 0);
    const ResultRows whole = StoredResults(library.Db());
    EXPECT_GT(whole.size(), 200u);
    EXPECT_EQ(whole, RebuiltResults(library.Db()));

    // What a kill after the batch's first days leaves: the pending row, results not yet made.
    library.Db().Execute("INSERT INTO results_pending (id) VALUES (1); DELETE FROM results");
    library.ImportArchive(archives.back());
    EXPECT_EQ(pending(), 0);
    EXPECT_GT(StoredResults(library.Db()).size(), whole.size());
    EXPECT_EQ(StoredResults(library.Db()), RebuiltResults(library.Db()));
}

} // namespace
} // namespace furlox::library
