#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "analysis/FxValue.h"
#include "analysis/RaceAnalysis.h"
#include "base/Encoding.h"
#include "base/Error.h"
#include "kol/KolRecords.h"
#include "support/KolBuilder.h"

using namespace furlox;
using furlox::test::KolBuilder;
using furlox::test::Race;
using Figures = std::vector<int>;
namespace en = furlox::kol::entry;

namespace {

constexpr int X = kNoFigure;

std::string S(std::string_view utf8)
{
    return ToCp932(utf8);
}

// One race, one runner per figure list (latest run first; an empty list: no runs at all).
kol::RaceDay Day(const std::vector<Figures>& runners,
                 const std::function<void(Race&)>& setup = nullptr)
{
    KolBuilder b;
    Race& race = b.AddRace();
    for (const Figures& figures : runners) {
        race.AddRunner().Figures(figures);
    }
    if (setup) {
        setup(race);
    }
    return b.Build();
}

std::vector<std::string> Column(const AnalysedRace& race, int column)
{
    std::vector<std::string> cells;
    for (const GridRow& row : GridRows(race)) {
        cells.push_back(row[static_cast<std::size_t>(column)]);
    }
    return cells;
}

} // namespace

TEST(RaceAnalysis, TotalFormat)
{
    auto total = [](long long sum, int count) { return TotalText(MeanTenths(sum, count)); };
    EXPECT_EQ(total(285, 3), "95.0");
    EXPECT_EQ(total(25, 2), "12.5");
    EXPECT_EQ(total(5, 4), "1.3"); // 1.25: a double mean would print 1.2
    EXPECT_EQ(total(-1, 4), "-0.3");
    EXPECT_EQ(total(49, 4), "12.3");
    EXPECT_EQ(total(-49, 4), "-12.3");
    EXPECT_EQ(total(7, 3), "2.3");
    EXPECT_EQ(total(5, 3), "1.7");
    EXPECT_EQ(total(-5, 3), "-1.7");
    EXPECT_EQ(total(0, 5), "0.0");
    EXPECT_EQ(total(3, 5), "0.6");
    EXPECT_EQ(total(-2000, 1), "-2000.0");
    // A runner without figures has no total: "*" in the grid, never a number that ranks.
    EXPECT_EQ(MeanTenths(10, 0), std::nullopt);
    EXPECT_EQ(total(10, 0), "*");
    // Tenths, so that 95.25 and 95.33 tie as the grid shows them.
    EXPECT_EQ(MeanTenths(381, 4), 953);
    EXPECT_EQ(MeanTenths(286, 3), 953);
    EXPECT_EQ(MeanTenths(-1, 4), -3);

    EXPECT_EQ(FormatWeightCarried(550), "55.0");
    EXPECT_EQ(FormatWeightCarried(575), "57.5");
    EXPECT_EQ(FormatWeightCarried(0), ".0");
    EXPECT_EQ(FormatWeightCarried(5), ".5");
    EXPECT_EQ(FormatWeightCarried(100), "10.0");
    EXPECT_EQ(FormatWeightCarried(-15), "-1.5");
}

TEST(RaceAnalysis, RunnerCells)
{
    KolBuilder b;
    b.AddRace();
    b.AddRunner()
        .Figures({10, 20, 30, 40, 50})
        .SetEntry(en::kBracket, "3")
        .SetEntry(en::kHorseName, "サクラ")
        .SetEntry(en::kWeightCarried, "575")
        .SetEntry(en::kJockey, "武")
        .SetEntry(en::kSexCode, "1")
        .SetEntry(en::kAge, "03")
        .SetHorse(kol::horse::kCoatColourCode, "01");
    b.AddRunner()
        .Figures({100, X, 90, X, 95})
        .SetEntry(en::kWeightCarried, "000")
        .SetEntry(en::kSexCode, "2")
        .SetEntry(en::kAge, "10")
        .SetHorse(kol::horse::kCoatColourCode, "99");
    b.AddRunner().Figures({});
    const AnalysedRace race = AnalyseRace(b.Build(), 0);

    const GridRow header = {S("枠"),  S("馬"),  S("馬　　名"), S("斤量"), S("騎手"), S("5前"),
                            S("4前"), S("3前"), S("2前"),      S("1前"),  S("総合"), S("印")};
    EXPECT_EQ(GridHeader(), header);
    ASSERT_EQ(race.runners.size(), 3u);

    const GridRow first = GridRows(race)[0];
    EXPECT_EQ(first[kColBracket], "3");
    EXPECT_EQ(first[kColHorseNumber], "1");
    EXPECT_EQ(first[kColHorseName], S("サクラ") + std::string(12, ' ')); // untrimmed, 18 bytes
    EXPECT_EQ(first[kColWeight], "57.5");
    EXPECT_EQ(first[kColJockey], S("武") + "    ");
    // 5前 is the fifth run back (run index 4), 1前 the latest.
    EXPECT_EQ(Column(race, kColRun5)[0], "50");
    EXPECT_EQ(Column(race, 6)[0], "40");
    EXPECT_EQ(Column(race, kColRun1)[0], "10");
    EXPECT_EQ(first[kColTotal], "30.0");

    const GridRow second = GridRows(race)[1];
    EXPECT_EQ(second[kColWeight], ".0");
    EXPECT_EQ((std::vector<std::string>(second.begin() + 5, second.begin() + 11)),
              (std::vector<std::string>{"95", "*", "90", "*", "100", "95.0"}));

    const GridRow third = GridRows(race)[2];
    for (int c = kColRun5; c <= kColTotal; ++c) {
        EXPECT_EQ(third[static_cast<std::size_t>(c)], "*") << c;
    }
    EXPECT_EQ(third[kColMark], "");

    ASSERT_EQ(race.runners.size(), 3u);
    EXPECT_EQ(RunnerProfile(race.runners[0]), S("牝3") + "   " + S("栗毛") + "  ");
    EXPECT_EQ(RunnerProfile(race.runners[1]), S("セン10") + S("鹿毛") + "  "); // unknown coat: 鹿毛
    EXPECT_EQ(RunnerProfile(race.runners[2]), S("牡4") + "   " + S("鹿毛") + "  ");
    for (const AnalysedRunner& runner : race.runners) {
        EXPECT_EQ(RunnerProfile(runner).size(), 12u);
    }
}

TEST(RaceAnalysis, TotalsOfTheEdgeCases)
{
    const AnalysedRace race =
        AnalyseRace(Day({{100, X, 90, X, 95}, {10, 15}, {1, 1, 1, 2}, {-1, 0, 0, 0}}), 0);
    EXPECT_EQ(Column(race, kColTotal), (std::vector<std::string>{"95.0", "12.5", "1.3", "-0.3"}));
}

TEST(RaceAnalysis, RankingTiesGoToTheLowerHorseNumber)
{
    // Horses 2 and 3 both show 95.3 (95.25 and 95.33): the displayed text decides, so the
    // lower number ranks first although its exact mean is lower. Horses 4 and 5 tie exactly.
    const AnalysedRace race =
        AnalyseRace(Day({{80}, {95, 95, 95, 96}, {95, 95, 96}, {70}, {70}, {90}, {}, {60}}), 0);
    EXPECT_EQ(Column(race, kColTotal)[1], "95.3");
    EXPECT_EQ(Column(race, kColTotal)[2], "95.3");
    EXPECT_EQ(race.markTable, (std::array<int, 7>{2, 3, 6, 1, 4, 5, 8}));
    EXPECT_EQ(Column(race, kColMark), (std::vector<std::string>{S("△"), S("◎"), S("○"), S("×"),
                                                                S("×"), S("▲"), "", S("×")}));
    // Rows are back in horse-number order.
    EXPECT_EQ(Column(race, kColHorseNumber),
              (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7", "8"}));
}

TEST(RaceAnalysis, NegativeTotalsRankAboveRunnersWithoutFigures)
{
    const AnalysedRace race = AnalyseRace(Day({{}, {-1, 0, 0, 0}, {0}}), 0);
    EXPECT_EQ(Column(race, kColTotal), (std::vector<std::string>{"*", "-0.3", "0.0"}));
    EXPECT_EQ(race.ratedCount, 2);
    EXPECT_EQ(race.markTable, (std::array<int, 7>{3, 2, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Column(race, kColMark), (std::vector<std::string>{"", S("○"), S("◎")}));
}

TEST(RaceAnalysis, MarksFollowTheRatedCount)
{
    {
        // 12 runners, only 3 rated: ◎ ○ ▲ whatever the field size.
        std::vector<Figures> runners(12);
        runners[4] = {90};
        runners[7] = {95};
        runners[10] = {80};
        const AnalysedRace race = AnalyseRace(Day(runners), 0);
        EXPECT_EQ(race.ratedCount, 3);
        EXPECT_EQ(race.markTable, (std::array<int, 7>{8, 5, 11, 0, 0, 0, 0}));
    }
    {
        // 12 runners, all rated, best first in reverse horse-number order.
        std::vector<Figures> runners;
        for (int h = 1; h <= 12; ++h) {
            runners.push_back({h * 5});
        }
        const AnalysedRace race = AnalyseRace(Day(runners), 0);
        EXPECT_EQ(race.markTable, (std::array<int, 7>{12, 11, 10, 9, 8, 7, 6}));
        const std::vector<std::string> marks = Column(race, kColMark);
        EXPECT_EQ(std::count(marks.begin(), marks.end(), ""), 5);
        EXPECT_EQ(std::count(marks.begin(), marks.end(), S("×")), 3);
        EXPECT_EQ(marks[11], S("◎"));
        EXPECT_EQ(marks[5], S("×"));
        EXPECT_EQ(marks[4], "");
    }
    {
        const AnalysedRace race = AnalyseRace(Day({{50}, {40}, {30}, {20}, {10}}), 0);
        EXPECT_EQ(Column(race, kColMark),
                  (std::vector<std::string>{S("◎"), S("○"), S("▲"), S("△"), S("×")}));
        EXPECT_EQ(race.markTable, (std::array<int, 7>{1, 2, 3, 4, 5, 0, 0}));
    }
}

TEST(RaceAnalysis, TitleAndHeadLines)
{
    const kol::RaceDay day = Day({{96}, {90}});
    const AnalysedRace race = AnalyseRace(day, 0);
    const std::string start = S("2001/05/27(日) 発走15:40 02頭");
    const std::string header = S("東京11R サラ3歳以上 1000万 別定 テスト特別 芝1600M");
    EXPECT_EQ(race.startLine, start);
    EXPECT_EQ(race.raceHeader, header);
    EXPECT_EQ(kol::GradeLabelText(race.gradeLabel), S("1000万"));
    EXPECT_EQ(race.raceIndex, 0);
    EXPECT_EQ(race.headCount, 2);

    const std::string bets = S("単勝： 1  枠連： 1-2   勝負度： B");
    EXPECT_EQ(BetsLine(race.bets), bets);
    EXPECT_EQ(PrintTitleLines(race), (std::vector<std::string>{start, header, "", bets, ""}));
}

TEST(RaceAnalysis, RunnersOfLaterRacesAndTheDayStaysUntouched)
{
    KolBuilder b;
    b.AddRace();
    for (int h = 0; h < 16; ++h) {
        b.AddRunner().SetEntry(en::kHorseName, "ウマA" + std::to_string(h + 1));
    }
    b.AddRace().Set(kol::race::kRaceNumber, "12");
    for (int h = 0; h < 12; ++h) {
        b.AddRunner().SetEntry(en::kHorseName, "ウマB" + std::to_string(h + 1)).Figures({h});
    }
    const kol::RaceDay day = b.Build();
    const kol::RaceDay before = day;

    const AnalysedRace race = AnalyseRace(day, 1);
    ASSERT_EQ(race.runners.size(), 12u);
    EXPECT_EQ(GridRows(race)[0][kColHorseName].substr(0, 6), S("ウマB1"));
    EXPECT_EQ(GridRows(race)[11][kColHorseName].substr(0, 7), S("ウマB12"));
    EXPECT_EQ(race.markTable[0], 12);
    EXPECT_EQ(race.raceIndex, 1);

    EXPECT_EQ(day.raceLines, before.raceLines);
    EXPECT_EQ(day.entryLines, before.entryLines);
    EXPECT_EQ(day.horseLines, before.horseLines);
}

TEST(RaceAnalysis, FieldSizesOutsideTheUsualRange)
{
    {
        // Head count 0: a header-only grid and no bets.
        const AnalysedRace race = AnalyseRace(Day({}), 0);
        EXPECT_TRUE(race.runners.empty());
        EXPECT_FALSE(race.bets.made);
        EXPECT_EQ(BetsLine(race.bets), NoBetsLine());
        EXPECT_EQ(PrintTitleLines(race).size(), 5u);
        EXPECT_EQ(race.markTable, (std::array<int, 7>{}));
    }
    {
        // A negative head count names no runner: analysed as an empty field.
        const AnalysedRace race = AnalyseRace(Day({{90}}, [](Race& r) { r.headCount = "-1"; }), 0);
        EXPECT_EQ(race.headCount, 0);
        EXPECT_TRUE(race.runners.empty());
        EXPECT_FALSE(race.bets.made);
    }
    {
        // 20 runners: every one is analysed and marked; nothing is cut at 18.
        std::vector<Figures> runners;
        for (int h = 1; h <= 20; ++h) {
            runners.push_back({h});
        }
        const AnalysedRace race = AnalyseRace(Day(runners), 0);
        ASSERT_EQ(race.runners.size(), 20u);
        ASSERT_EQ(race.runners.size(), 20u);
        EXPECT_EQ(GridRows(race)[19][kColHorseNumber], "20");
        EXPECT_EQ(GridRows(race)[19][kColMark], S("◎"));
        EXPECT_EQ(race.markTable[0], 20);
        EXPECT_EQ(BetTexts(race.bets)[0], "19-20");
    }
}

TEST(RaceAnalysis, ConversionErrors)
{
    auto message = [](const kol::RaceDay& day) {
        try {
            AnalyseRace(day, 0);
        } catch (const ConvertError& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(message(Day({{90}}, [](Race& r) { r.headCount = "1a"; })),
              S("'1a' は整数ではありません"));
    EXPECT_EQ(
        message(Day({{90}}, [](Race& r) { r.runners[0].SetEntry(en::kWeightCarried, "5 5"); })),
        S("'5 5' は整数ではありません"));
    // A head count beyond the loaded lines: the missing runner's weight reads empty.
    EXPECT_EQ(message(Day({{90}}, [](Race& r) { r.headCount = "02"; })),
              S("'' は整数ではありません"));
    // Without bets the grade, and so the distance, is never looked at.
    EXPECT_EQ(message(Day({{}}, [](Race& r) { r.Set(kol::race::kDistance, "16OO"); })), "no error");
    EXPECT_EQ(message(Day({{90}}, [](Race& r) { r.Set(kol::race::kDistance, "16OO"); })),
              S("'16OO' は整数ではありません"));

    const kol::RaceDay day = Day({{90}});
    EXPECT_THROW(AnalyseRace(day, 1), Error);
    EXPECT_THROW(AnalyseRace(day, -1), Error);
    try {
        AnalyseRace(day, 7);
    } catch (const ConvertError&) {
        ADD_FAILURE() << "a missing race is not a conversion error";
    } catch (const Error& e) {
        EXPECT_EQ(e.what(), NoSuchRaceMessage(7));
    }
}
