// The tally's rules: when a bet is decided, hit, missed or refunded, how runners count per
// mark and per popularity, which races the filters keep, the presets and the rate texts.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/Encoding.h"
#include "library/Library.h"
#include "library/SeasonDays.h"
#include "support/TempDir.h"

namespace furlox::library {
namespace {

namespace fs = std::filesystem;

Date D(int y, unsigned m, unsigned d)
{
    return Date{std::chrono::year(y), std::chrono::month(m), std::chrono::day(d)};
}

template <class Set>
TallyFilter Filter(Set set)
{
    TallyFilter filter;
    set(filter);
    return filter;
}

// Runners 1, 2, 3 … with these finishes (0: not known).
std::vector<TallyRunner> Field(const std::vector<int>& finishes)
{
    std::vector<TallyRunner> runners;
    for (std::size_t i = 0; i < finishes.size(); ++i) {
        TallyRunner& r = runners.emplace_back();
        r.horseNumber = static_cast<int>(i) + 1;
        if (finishes[i] != 0) {
            r.finish = finishes[i];
        }
    }
    return runners;
}

TEST(TallyBets, TheWinBetOnTheTopMark)
{
    EXPECT_EQ(WinState(1, Field({1, 0, 0})), BetState::Hit);
    EXPECT_EQ(WinState(1, Field({4, 0, 0})), BetState::Miss);
    EXPECT_EQ(WinState(1, Field({32, 0, 0})), BetState::Miss) << "disqualified: decided";
    EXPECT_EQ(WinState(1, Field({0, 1, 0})), BetState::Miss) << "another runner won";
    EXPECT_EQ(WinState(1, Field({0, 2, 3})), BetState::Open);
    EXPECT_EQ(WinState(1, Field({34, 1, 0})), BetState::Void) << "scratched: refunded";
    EXPECT_EQ(WinState(1, Field({35, 0, 0})), BetState::Void);
    EXPECT_EQ(WinState(2, Field({1, 1, 3})), BetState::Hit) << "a dead heat for first";
}

TEST(TallyBets, APairIsDecidedByBothFinishesAPlaceBelowSecondOrTheFirstTwo)
{
    // Both known.
    EXPECT_EQ(PairState(1, 2, Field({2, 1, 0})), BetState::Hit);
    EXPECT_EQ(PairState(1, 2, Field({1, 3, 0})), BetState::Miss);
    EXPECT_EQ(PairState(1, 2, Field({1, 1, 0})), BetState::Hit) << "dead heat for first";
    EXPECT_EQ(PairState(1, 2, Field({2, 2, 1})), BetState::Miss) << "dead heat for second";
    // One of them 3rd or worse, or 31–33.
    EXPECT_EQ(PairState(1, 2, Field({3, 0, 0})), BetState::Miss);
    EXPECT_EQ(PairState(1, 2, Field({0, 31, 0})), BetState::Miss);
    // The first two known and not both of the pair.
    EXPECT_EQ(PairState(1, 2, Field({1, 0, 2})), BetState::Miss);
    EXPECT_EQ(PairState(1, 2, Field({0, 0, 1, 2})), BetState::Miss);
    EXPECT_EQ(PairState(1, 2, Field({0, 0, 1, 1})), BetState::Miss);
    // Not decided.
    EXPECT_EQ(PairState(1, 2, Field({1, 0, 0})), BetState::Open);
    EXPECT_EQ(PairState(1, 2, Field({2, 0, 0})), BetState::Open);
    EXPECT_EQ(PairState(1, 2, Field({0, 0, 1})), BetState::Open);
    EXPECT_EQ(PairState(1, 2, Field({0, 0, 0})), BetState::Open);
    // A non-starter in the pair.
    EXPECT_EQ(PairState(1, 2, Field({1, 34, 0})), BetState::Void);
    EXPECT_EQ(PairState(1, 2, Field({35, 0, 0})), BetState::Void);
}

TEST(TallyBets, ARacesCombinationsMakeOneState)
{
    using S = BetState;
    EXPECT_EQ(RaceState({S::Void, S::Void}), S::Void);
    EXPECT_EQ(RaceState({S::Miss, S::Open, S::Hit}), S::Hit);
    EXPECT_EQ(RaceState({S::Miss, S::Void, S::Miss}), S::Miss);
    EXPECT_EQ(RaceState({S::Miss, S::Open, S::Void}), S::Open);
}

// A race of 2001-01-06, grade B, 8 runners: ◎ 1, ○ 2, ▲ 3, △ 4, × 5, the rest unmarked; the
// 単勝 on 1 and `pairKind` pairs 1-2 and 1-3.
TallyRace RaceWith(const std::vector<int>& finishes, int pairKind = 2)
{
    TallyRace race;
    race.day = D(2001, 1, 6);
    race.courseCode = 5;
    race.distance = 1600;
    race.classCode = "05000";
    race.grade = BetGrade::B;
    race.runners = Field(finishes);
    static constexpr std::array<StoredMark, 5> marks = {
        StoredMark::DoubleCircle, StoredMark::Circle, StoredMark::FilledTriangle,
        StoredMark::Triangle, StoredMark::Cross};
    for (std::size_t i = 0; i < race.runners.size() && i < marks.size(); ++i) {
        race.runners[i].mark = marks[i];
    }
    race.bets = {{0, 0, 1, 0}, {1, pairKind, 1, 2}, {2, pairKind, 1, 3}};
    return race;
}

TEST(TallyCounts, MarksAndTheMarketCountKnownStartsAndLeaveOutNonStarters)
{
    std::vector<TallyRace> races = {RaceWith({1, 2, 31, 0, 34, 3, 5, 7}),
                                    RaceWith({3, 1, 2, 4, 6, 0, 0, 35})};
    races[0].runners[0].popularity = 2;
    races[0].runners[1].popularity = 1;
    races[0].runners[5].popularity = 1; // two favourites (equal odds)
    races[1].runners[1].popularity = 1;
    const TallyResult t = TallyRaces(races, {});
    EXPECT_EQ(t.races, 2);
    const MarkCounts& top = t.marks[0];
    EXPECT_EQ(top.starts, 2);
    EXPECT_EQ(top.first, 1);
    EXPECT_EQ(top.third, 1);
    EXPECT_EQ(t.marks[2].out, 1) << "31 is a start without a place";
    EXPECT_EQ(t.marks[3].unknown, 1);
    EXPECT_EQ(t.marks[3].out, 1);
    EXPECT_EQ(t.marks[4].starts + t.marks[4].unknown, 1) << "34 is in no row";
    const MarkCounts& none = t.marks[5];
    EXPECT_EQ(none.starts, 3);
    EXPECT_EQ(none.unknown, 2);
    EXPECT_EQ(none.third, 1);
    EXPECT_EQ(none.out, 2);
    EXPECT_EQ(t.market[0].starts, 3);
    EXPECT_EQ(t.market[0].first, 1);
    EXPECT_EQ(t.market[0].second, 1);
    EXPECT_EQ(t.market[0].third, 1);
    EXPECT_EQ(t.market[0].unknown, 0);
    EXPECT_EQ(t.market[1].starts, 1);
    EXPECT_EQ(t.market[1].unknown, 1) << "a race where nobody is known as 2番人気";
    EXPECT_EQ(t.market[2].unknown, 2);
}

TEST(TallyCounts, BetsCountPerKindAndGradeWithVoidAndOpenApart)
{
    std::vector<TallyRace> races = {
        RaceWith({1, 2, 0, 0, 0, 0, 0, 0}),      // 単勝 hit, 枠連 1-2 hit
        RaceWith({0, 0, 0, 0, 0, 0, 0, 0}),      // both open
        RaceWith({34, 1, 2, 0, 0, 0, 0, 0}),     // both void
        RaceWith({5, 0, 0, 1, 2, 0, 0, 0}),      // both miss
        RaceWith({2, 0, 34, 0, 0, 0, 0, 0}, 1),  // 単勝 miss; 馬連 1-2 open, 1-3 void: open
        RaceWith({2, 34, 1, 0, 0, 0, 0, 0}, 1)}; // 馬連 1-3 hit
    races[3].grade = BetGrade::A;
    races[5].grade = BetGrade::C;
    races.push_back(RaceWith({1, 0}));
    races.back().bets.resize(1); // one rated runner: the 単勝 alone
    TallyRace none = RaceWith({1, 2});
    none.grade.reset();
    none.bets.clear();
    races.push_back(none);
    const TallyResult t = TallyRaces(races, {});
    EXPECT_EQ(t.races, 8);
    const auto& win = t.bets[0];
    const auto& quinella = t.bets[1];
    const auto& bracket = t.bets[2];
    EXPECT_EQ(win[1].races, 5);
    EXPECT_EQ(win[1].hits, 2);
    EXPECT_EQ(win[1].decided, 3);
    EXPECT_EQ(win[1].voids, 1);
    EXPECT_EQ(win[1].Open(), 1);
    EXPECT_EQ(win[0].races, 1);
    EXPECT_EQ(win[0].decided, 1);
    EXPECT_EQ(win[0].hits, 0);
    EXPECT_EQ(win[2].races, 1);
    EXPECT_EQ(win[2].decided, 1) << "◎ known 2nd: decided without the winner";
    EXPECT_EQ(bracket[1].races, 3);
    EXPECT_EQ(bracket[1].hits, 1);
    EXPECT_EQ(bracket[1].voids, 1);
    EXPECT_EQ(bracket[1].Open(), 1);
    EXPECT_EQ(bracket[0].decided, 1);
    EXPECT_EQ(bracket[0].hits, 0);
    EXPECT_EQ(quinella[1].races, 1);
    EXPECT_EQ(quinella[1].Open(), 1);
    EXPECT_EQ(quinella[2].hits, 1);
}

TEST(TallyFilters, RangeCourseSurfaceDistanceGradeAndClass)
{
    const auto race = [](Date day, int course, StoredSurface surface, int distance, BetGrade grade,
                         const std::string& classCode) {
        TallyRace r = RaceWith({1, 2, 3});
        r.day = day;
        r.courseCode = course;
        r.surface = surface;
        r.distance = distance;
        r.grade = grade;
        r.classCode = classCode;
        return r;
    };
    const std::vector<TallyRace> races = {
        race(D(2001, 1, 6), 5, StoredSurface::Turf, 1600, BetGrade::A, "05000"),
        race(D(2001, 1, 7), 6, StoredSurface::Dirt, 1601, BetGrade::B, "10000"),
        race(D(2001, 1, 13), 5, StoredSurface::Steeplechase, 2200, BetGrade::C, "00004"),
        race(D(2001, 1, 14), 6, StoredSurface::Turf, 2201, BetGrade::B, "05000"),
    };
    const auto count = [&](auto set) { return TallyRaces(races, Filter(set)).races; };
    EXPECT_EQ(count([](TallyFilter&) {}), 4);
    EXPECT_EQ(count([](TallyFilter& f) {
                  f.from = D(2001, 1, 7);
                  f.to = D(2001, 1, 13);
              }),
              2);
    EXPECT_EQ(count([](TallyFilter& f) { f.courseCode = 6; }), 2);
    EXPECT_EQ(count([](TallyFilter& f) { f.surface = StoredSurface::Dirt; }), 1);
    EXPECT_EQ(count([](TallyFilter& f) { f.surface = StoredSurface::Steeplechase; }), 1);
    EXPECT_EQ(count([](TallyFilter& f) { f.distance = DistanceBand::UpTo1600; }), 1);
    EXPECT_EQ(count([](TallyFilter& f) { f.distance = DistanceBand::From1601To2200; }), 2);
    EXPECT_EQ(count([](TallyFilter& f) { f.distance = DistanceBand::From2201; }), 1);
    EXPECT_EQ(count([](TallyFilter& f) { f.grade = BetGrade::B; }), 2);
    EXPECT_EQ(count([](TallyFilter& f) { f.classText = "500万"_sj; }), 2);
    EXPECT_EQ(count([](TallyFilter& f) { f.classText = "1000万"_sj; }), 1);
    EXPECT_EQ(count([](TallyFilter& f) { f.classText = "オープン"_sj; }), 1);
    EXPECT_EQ(count([](TallyFilter& f) { f.classText = "G1"; }), 0)
        << "the class text, not the grade label";
}

TEST(TallyFilters, ARaceThatWasNotAnalysedIsLeftOutAndNamed)
{
    std::vector<TallyRace> races = {RaceWith({1, 2, 3}), RaceWith({1, 2, 3})};
    races[1].analysisError = "distance";
    races[1].raceIndex = 4;
    races[1].grade.reset();
    const TallyResult t = TallyRaces(races, Filter([](TallyFilter& f) { f.grade = BetGrade::B; }));
    EXPECT_EQ(t.races, 1);
    ASSERT_EQ(t.failed.size(), 1u);
    EXPECT_EQ(t.failed[0].raceIndex, 4);
    EXPECT_EQ(t.marks[0].starts, 1);
}

TEST(TallyTexts, PresetsAndRates)
{
    const DateRange season = ThisSeason(D(2001, 5, 20));
    EXPECT_EQ(season.from, D(2001, 1, 1));
    EXPECT_EQ(season.to, D(2001, 12, 31));
    const DateRange weeks = LastFourWeeks(D(2001, 3, 10));
    EXPECT_EQ(weeks.from, D(2001, 2, 11));
    EXPECT_EQ(weeks.to, D(2001, 3, 10));
    EXPECT_EQ(LastFourWeeks(D(2001, 1, 20)).from, D(2000, 12, 24));

    EXPECT_EQ(RateText(1, 3), "33.3%");
    EXPECT_EQ(RateText(2, 3), "66.7%");
    EXPECT_EQ(RateText(1, 16), "6.3%") << "6.25 rounds half up";
    EXPECT_EQ(RateText(1, 8), "12.5%");
    EXPECT_EQ(RateText(0, 7), "0.0%");
    EXPECT_EQ(RateText(5, 5), "100.0%");
    EXPECT_EQ(RateText(0, 0), "－"_sj);
}

// Through the library: the marks and bets the analysis gave a built race, the results from a
// later day, the class text from the race record.
TEST(TallyLibrary, ABuiltRaceTalliesFromItsAnalysisAndALaterDay)
{
    test::TempDir dir;
    fs::create_directories(dir / "work");
    Library library = Library::Open(dir / "work");
    test::KolBuilder day = test::SeasonDay("20010106", {});
    const std::vector<int> figures = {110, 100, 90, 80};
    const std::vector<std::string> names = {"アルファ", "ベータ", "ガンマ", "デルタ"};
    for (std::size_t i = 0; i < names.size(); ++i) {
        day.AddRunner()
            .Figures({figures[i], figures[i], figures[i]})
            .SetEntry(kol::entry::kHorseName, names[i]);
    }
    dir.Write("a.lzh", test::ArchiveOf(day));
    library.ImportArchive(dir / "a.lzh");
    const std::vector<RunnerOfDay> marked = library.Results(D(2001, 1, 6))->front().runners;
    ASSERT_EQ(marked[0].mark, StoredMark::DoubleCircle);
    ASSERT_EQ(marked[1].mark, StoredMark::Circle);

    test::PastRun block = test::RunOn("05", "01", "06", "02");
    block.horseNumber = "01";
    block.winnerOrSecond = "ベータ";
    dir.Write("b.lzh", test::ArchiveOf(test::SeasonDay("20010113", {{"アルファ", {block}}}, "06")));
    library.ImportArchive(dir / "b.lzh");
    const TallyResult t = library.Tally(Filter([](TallyFilter& f) {
        f.from = D(2001, 1, 6);
        f.to = D(2001, 1, 6);
    }));
    EXPECT_EQ(t.races, 1);
    EXPECT_EQ(t.marks[0].second, 1);
    EXPECT_EQ(t.marks[1].first, 1);
    EXPECT_EQ(t.marks[2].unknown, 1);
    const BetCounts& win = t.bets[0][0].races ? t.bets[0][0] : t.bets[0][1];
    EXPECT_EQ(win.decided, 1);
    EXPECT_EQ(win.hits, 0);
    int bracketHits = 0;
    for (const BetCounts& c : t.bets[2]) {
        bracketHits += c.hits;
    }
    EXPECT_EQ(bracketHits, 1) << "枠連 ◎-○ with four runners";
    EXPECT_EQ(library.Tally(Filter([](TallyFilter& f) { f.classText = "1000万"_sj; })).races, 2);
    EXPECT_EQ(library.Tally(Filter([](TallyFilter& f) { f.classText = "500万"_sj; })).races, 0);
}

} // namespace
} // namespace furlox::library
