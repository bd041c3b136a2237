// The day's runner list: which result belongs to which runner, the filters, the sort keys, and
// the result texts of the bets panel and the detail window; the tally window's row texts.
#include <gtest/gtest.h>

#include "analysis/FxValue.h"
#include "base/Encoding.h"
#include "library/DayRunners.h"
#include "library/LibraryTexts.h"
#include "library/TallyTable.h"
#include "support/KolBuilder.h"

namespace furlox::library {
namespace {

RunnerResult Finish(int finish, std::optional<int> popularity = std::nullopt)
{
    RunnerResult result;
    result.finish = finish;
    result.popularity = popularity;
    return result;
}

// Race 0 of a day at course 6, race 11, with runners "A" (1st) and "B" (unknown).
std::vector<RaceResults> StoredRace()
{
    RaceResults race;
    race.raceIndex = 0;
    race.courseCode = 6;
    race.raceNumber = 11;
    race.runners.push_back({1, "A", StoredMark::DoubleCircle, Finish(1, 3)});
    race.runners.push_back({2, "B", StoredMark::None, std::nullopt});
    return {race};
}

DayRunner Runner(Mark mark, std::optional<RunnerResult> result)
{
    DayRunner runner;
    runner.runner.mark = mark;
    runner.result = result;
    return runner;
}

std::string U(const std::string& cp932)
{
    return ToUtf8(cp932);
}

TEST(DayRunnerResults, AResultIsTakenOnlyForTheSameRaceAndHorse)
{
    const std::vector<RaceResults> stored = StoredRace();
    ASSERT_TRUE(ResultOf(stored, 0, 6, 11, 1, "A"));
    EXPECT_EQ(ResultOf(stored, 0, 6, 11, 1, "A")->finish, 1);
    EXPECT_FALSE(ResultOf(stored, 0, 6, 11, 2, "B")); // not known
    EXPECT_FALSE(ResultOf(stored, 0, 6, 11, 1, "B")); // another horse under that number
    EXPECT_FALSE(ResultOf(stored, 0, 5, 11, 1, "A")); // another course: another day's race
    EXPECT_FALSE(ResultOf(stored, 0, 6, 12, 1, "A")); // another race number
    EXPECT_FALSE(ResultOf(stored, 1, 6, 11, 1, "A")); // a race the library has not
    EXPECT_FALSE(ResultOf(stored, 0, 6, 11, 9, "A")); // a horse number it has not
    EXPECT_FALSE(ResultOf({}, 0, 6, 11, 1, "A"));
}

TEST(DayRunnerResults, ListingADayAnalysesEveryRaceAndNamesTheOnesThatFail)
{
    test::KolBuilder b;
    b.AddRace().Set(kol::race::kCourseCode, "06").Set(kol::race::kRaceNumber, "01");
    b.AddRunner().SetEntry(kol::entry::kHorseName, "A");
    b.AddRunner().SetEntry(kol::entry::kHorseName, "B");
    b.AddRace().Set(kol::race::kCourseCode, "06").Set(kol::race::kRaceNumber, "02");
    b.AddRunner().SetEntry(kol::entry::kWeightCarried, "5 5"); // the analysis refuses it
    const kol::RaceDay day = b.Build();
    const std::vector<RaceResults> stored = [] {
        std::vector<RaceResults> races = StoredRace();
        races[0].raceNumber = 1;
        return races;
    }();
    const DayRunnerList list = ListDayRunners(day, &stored);
    ASSERT_EQ(list.runners.size(), 2U);
    EXPECT_EQ(list.runners[0].name, "A");
    ASSERT_TRUE(list.runners[0].result);
    EXPECT_EQ(list.runners[0].result->popularity, 3);
    EXPECT_FALSE(list.runners[1].result);
    ASSERT_EQ(list.failed.size(), 1U);
    EXPECT_EQ(list.failed[0].raceIndex, 1);
    EXPECT_EQ(RaceShortName(list.failed[0].courseCode, list.failed[0].raceNumber),
              CourseText(6) + "02R");
    EXPECT_FALSE(list.failed[0].error.empty());
    // Without the library's results, the figures alone.
    EXPECT_FALSE(ListDayRunners(day, nullptr).runners[0].result);
}

TEST(DayRunnerFilters, EveryPartThatIsSetMustHold)
{
    DayRunner runner = Runner(Mark::DoubleCircle, Finish(2, 5));
    runner.courseCode = 6;
    runner.raceIndex = 3;
    EXPECT_TRUE(Keeps({}, runner));
    EXPECT_TRUE(Keeps({6, 3, Mark::DoubleCircle, true}, runner));
    EXPECT_FALSE(Keeps({5, {}, {}, false}, runner));
    EXPECT_FALSE(Keeps({{}, 2, {}, false}, runner));
    EXPECT_FALSE(Keeps({{}, {}, Mark::None, false}, runner));
    EXPECT_TRUE(Keeps({{}, {}, Mark::None, false}, Runner(Mark::None, {})));
}

TEST(DayRunnerFilters, TheOverlookedTopPickIsAKnownFourthFavouriteOrWorse)
{
    const DayRunnerFilter overlooked{{}, {}, {}, true};
    EXPECT_TRUE(Keeps(overlooked, Runner(Mark::DoubleCircle, Finish(1, 4))));
    EXPECT_TRUE(Keeps(overlooked, Runner(Mark::DoubleCircle, Finish(9, 12))));
    EXPECT_FALSE(Keeps(overlooked, Runner(Mark::DoubleCircle, Finish(1, 3))));
    EXPECT_FALSE(Keeps(overlooked, Runner(Mark::DoubleCircle, Finish(1)))); // deduced: no odds
    EXPECT_FALSE(Keeps(overlooked, Runner(Mark::DoubleCircle, std::nullopt)));
    EXPECT_FALSE(Keeps(overlooked, Runner(Mark::Circle, Finish(1, 8))));
}

TEST(DayRunnerColumns, NumbersSortAsNumbersAndTheEmptyHaveNoKey)
{
    DayRunner runner = Runner(Mark::None, std::nullopt);
    runner.runner.fx = {57, furlox::kNoFigure, -12, 0, 101};
    runner.runner.totalTenths = 365;
    EXPECT_EQ(DayRunnerSortKey(runner, kRunnerFx1), 57);
    EXPECT_EQ(DayRunnerSortKey(runner, kRunnerFx1 - 1), std::nullopt);
    EXPECT_EQ(U(DayRunnerCell(runner, kRunnerFx1 - 1)), "*");
    EXPECT_EQ(DayRunnerSortKey(runner, kRunnerFx5), 101);
    EXPECT_EQ(DayRunnerSortKey(runner, kRunnerTotal), 365);
    EXPECT_EQ(U(DayRunnerCell(runner, kRunnerTotal)), "36.5");
    EXPECT_EQ(DayRunnerSortKey(runner, kRunnerPlace), std::nullopt); // unranked
    EXPECT_EQ(DayRunnerSortKey(runner, kRunnerMark), std::nullopt);
    EXPECT_EQ(DayRunnerSortKey(runner, kRunnerFinish), std::nullopt);
    EXPECT_EQ(DayRunnerCell(runner, kRunnerFinish), "");

    // ◎ before ×; a finish code after every place.
    EXPECT_LT(DayRunnerSortKey(Runner(Mark::DoubleCircle, {}), kRunnerMark),
              DayRunnerSortKey(Runner(Mark::Cross, {}), kRunnerMark));
    EXPECT_LT(DayRunnerSortKey(Runner(Mark::None, Finish(18, 18)), kRunnerFinish),
              DayRunnerSortKey(Runner(Mark::None, Finish(33, 18)), kRunnerFinish));
    EXPECT_EQ(U(DayRunnerCell(Runner(Mark::None, Finish(33, 2)), kRunnerFinish)), "中止");
    EXPECT_EQ(U(DayRunnerCell(Runner(Mark::None, Finish(3, 2)), kRunnerPopularity)), "2人");
    EXPECT_TRUE(IsTextColumn(kRunnerName));
    EXPECT_FALSE(IsTextColumn(kRunnerTotal));
}

TEST(RaceResultTexts, TheFirstThreeWithDeadHeatsAndGaps)
{
    EXPECT_TRUE(PlacingLines({}).empty());
    EXPECT_TRUE(PlacingLines({std::nullopt, Finish(5, 1)}).empty()); // no one in the first three
    const auto lines = PlacingLines({Finish(2), std::nullopt, Finish(1), Finish(4), Finish(1)});
    ASSERT_EQ(lines.size(), 3U);
    EXPECT_EQ(U(lines[0]), "1着 ③⑤"); // a dead heat: both
    EXPECT_EQ(U(lines[1]), "2着 ①");
    EXPECT_EQ(U(lines[2]), "3着 －"); // nobody known
    std::vector<std::optional<RunnerResult>> eighteen(18);
    eighteen[17] = Finish(3);
    EXPECT_EQ(U(PlacingLines(eighteen)[2]), "3着 ⑱");
}

TEST(RaceResultTexts, TheDetailWindowsLine)
{
    EXPECT_EQ(RunnerResultText(std::nullopt), "");
    EXPECT_EQ(U(RunnerResultText(Finish(3, 2))), "3着（2番人気）");
    EXPECT_EQ(U(RunnerResultText(Finish(1))), "1着"); // deduced: no popularity
    EXPECT_EQ(U(RunnerResultText(Finish(34))), "取消");
    EXPECT_EQ(U(RunnerResultText(Finish(31, 7))), "落馬（7番人気）");
}

TEST(TallyRows, CountsAndRatesOfAMarkAndABet)
{
    MarkCounts counts;
    counts.starts = 8;
    counts.first = 1;
    counts.second = 2;
    counts.third = 0;
    counts.out = 5;
    counts.unknown = 4;
    const auto cells = CountCells(counts);
    EXPECT_EQ(cells[kCountStarts], "8");
    EXPECT_EQ(U(cells[kCountWinRate]), "12.5%");
    EXPECT_EQ(U(cells[kCountTop2Rate]), "37.5%");
    EXPECT_EQ(U(cells[kCountTop3Rate]), "37.5%");
    EXPECT_EQ(cells[kCountUnknown], "4");
    EXPECT_DOUBLE_EQ(WinRate(counts), 12.5);
    EXPECT_DOUBLE_EQ(RatePercent(1, 3), 33.3); // as its text
    EXPECT_DOUBLE_EQ(RatePercent(1, 16), 6.3); // 6.25 half up
    EXPECT_DOUBLE_EQ(RatePercent(2, 3), 66.7);
    EXPECT_DOUBLE_EQ(Top3Rate(MarkCounts{}), 0.0);
    EXPECT_EQ(U(CountCells(MarkCounts{})[kCountWinRate]), "－");

    BetCounts bets;
    bets.races = 10;
    bets.decided = 6;
    bets.hits = 2;
    bets.voids = 1;
    const auto row = BetCells(bets);
    EXPECT_EQ(U(row[kBetHitRate]), "33.3%");
    EXPECT_EQ(row[kBetOpen], "3");
    EXPECT_EQ(row[kBetVoids], "1");
    EXPECT_EQ(U(MarketRowText(0)), "1番人気");
}

} // namespace
} // namespace furlox::library
