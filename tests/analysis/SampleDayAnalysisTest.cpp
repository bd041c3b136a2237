#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <optional>

#include "analysis/RaceAnalysis.h"
#include "base/Encoding.h"
#include "kol/RaceDay.h"
#include "kol/SampleDay.h"
#include "support/KolBuilder.h"

using namespace furlox;

namespace {

double Total(const GridRow& row)
{
    double value = 0;
    const std::string& text = row[kColTotal];
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

// Columns 馬, 5前 … 1前, 総合 and 印 of every grid row, in UTF-8.
using ShownRow = std::array<std::string, 8>;
std::vector<ShownRow> Shown(const AnalysedRace& race)
{
    std::vector<ShownRow> rows;
    for (const GridRow& row : GridRows(race)) {
        rows.push_back({row[kColHorseNumber], row[5], row[6], row[7], row[8], row[9],
                        row[kColTotal], ToUtf8(row[kColMark])});
    }
    return rows;
}

// What holds for every analysed race, whatever its data.
void CheckRace(const kol::RaceDay& day, int index)
{
    SCOPED_TRACE("race " + std::to_string(index));
    AnalysedRace race;
    ASSERT_NO_THROW(race = AnalyseRace(day, index));
    ASSERT_EQ(static_cast<int>(race.runners.size()), kol::HeadCount(day, index));

    int rated = 0;
    const std::vector<GridRow> rows = GridRows(race);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const GridRow& row = rows[r];
        EXPECT_EQ(row[kColHorseNumber], std::to_string(r + 1));
        rated += row[kColTotal] != "*";
    }
    EXPECT_EQ(race.ratedCount, rated);

    // Marks go to the best totals, in order, and the table names exactly the marked rows.
    const std::size_t marks = std::min<std::size_t>(static_cast<std::size_t>(rated), 7);
    double previous = 1e9;
    for (std::size_t m = 0; m < 7; ++m) {
        const int horse = race.markTable[m];
        if (m >= marks) {
            EXPECT_EQ(horse, 0);
            continue;
        }
        ASSERT_GE(horse, 1);
        const GridRow& row = rows[static_cast<std::size_t>(horse - 1)];
        EXPECT_NE(row[kColMark], "");
        EXPECT_NE(row[kColTotal], "*");
        EXPECT_LE(Total(row), previous);
        previous = Total(row);
    }
    for (const GridRow& row : rows) {
        const bool marked = !row[kColMark].empty();
        const bool inTable = std::find(race.markTable.begin(), race.markTable.end(),
                                       std::stoi(row[kColHorseNumber])) != race.markTable.end();
        EXPECT_EQ(marked, inTable) << row[kColHorseNumber];
        if (!marked && row[kColTotal] != "*" && marks > 0) {
            EXPECT_LE(Total(row), previous) << row[kColHorseNumber];
        }
    }
    EXPECT_EQ(race.bets.made, rated >= 1 && rated * 2 >= race.headCount);
    EXPECT_EQ(PrintTitleLines(race).size(), 5u);
}

} // namespace

// Race 0 of the sample day of seed 1 (東京01R サラ2歳 未勝利 馬齢 ダ1400M, 16 runners),
// worked out by hand from its records. For example horse 9's latest run: 函館, 未勝利 (base
// 430), 8 runners, 3rd, last three furlongs 37.7, corners 5 and 1, margin 0.6, on dirt:
// 430 + 8 - 3 - 377 - 5 - 1 - 6 + 15 = 61. Its fifth run back: 札幌, 1600万 (445), 8 runners,
// 4th, 34.0, corners 3 and 4, margin 1.2, turf: 445 + 8 - 4 - 340 - 3 - 4 - 12 = 90; with 57
// three runs back its total is 208 / 3 = 69.3, the best: ◎.
TEST(SampleDayAnalysis, ARaceOfSeedOneWorkedByHand)
{
    const kol::RaceDay day = test::LoadSampleDay({1, 36, false});
    const AnalysedRace race = AnalyseRace(day, 0);
    const std::vector<ShownRow> expected = {
        {"1", "75", "*", "78", "59", "16", "57.0", ""},
        {"2", "43", "72", "49", "37", "50", "50.2", ""},
        {"3", "47", "57", "67", "96", "25", "58.4", "×"},
        {"4", "82", "*", "29", "63", "41", "53.8", ""},
        {"5", "113", "5", "62", "*", "64", "61.0", "△"},
        {"6", "48", "*", "*", "*", "73", "60.5", "×"},
        {"7", "37", "52", "*", "-17", "29", "25.3", ""},
        {"8", "18", "86", "80", "100", "56", "68.0", "○"},
        {"9", "90", "*", "57", "*", "61", "69.3", "◎"},
        {"10", "*", "114", "*", "1", "*", "57.5", ""},
        {"11", "*", "*", "*", "64", "55", "59.5", "×"},
        {"12", "61", "*", "48", "-2", "110", "54.3", ""},
        {"13", "39", "67", "71", "*", "29", "51.5", ""},
        {"14", "*", "*", "*", "49", "51", "50.0", ""},
        {"15", "*", "*", "*", "*", "*", "*", ""},
        {"16", "*", "58", "75", "63", "*", "65.3", "▲"},
    };
    EXPECT_EQ(Shown(race), expected);
    EXPECT_EQ(race.markTable, (std::array<int, 7>{9, 8, 16, 5, 6, 11, 3}));
    EXPECT_EQ(race.ratedCount, 15);
    EXPECT_EQ(race.runners[8].place, 1);
    EXPECT_EQ(race.runners[2].place, 7);
    EXPECT_EQ(race.runners[6].place, 15); // 25.3, the lowest total
    EXPECT_EQ(race.runners[14].place, 0);
    // Race 01 (0), 未勝利 (0), 1400 m (0), サラ2歳 (-1), 馬齢, 16 runners: B.
    EXPECT_EQ(ToUtf8(BetsLine(race.bets)),
              "単勝： 9  馬連： 8-9 9-16 5-9 6-9 9-11 3-9   勝負度： B");
}

TEST(SampleDayAnalysis, ASmallFieldAndARaceWithoutBets)
{
    const kol::RaceDay day = test::LoadSampleDay({1, 36, false});
    // 東京04R サラ障害3歳以上 未勝利 障3000M, 8 runners, 7 rated: bracket quinella. Race 04
    // (+1) with 8 runners (-1): B.
    const AnalysedRace small = AnalyseRace(day, 3);
    const std::vector<ShownRow> expected = {
        {"1", "*", "*", "*", "-9", "43", "17.0", "×"}, {"2", "*", "*", "*", "*", "*", "*", ""},
        {"3", "*", "*", "*", "62", "*", "62.0", "▲"},  {"4", "*", "*", "63", "*", "*", "63.0", "○"},
        {"5", "36", "18", "*", "*", "*", "27.0", "×"}, {"6", "*", "*", "*", "-3", "*", "-3.0", "×"},
        {"7", "*", "25", "*", "46", "*", "35.5", "△"}, {"8", "*", "*", "*", "76", "*", "76.0", "◎"},
    };
    EXPECT_EQ(Shown(small), expected);
    EXPECT_EQ(small.bets.kind, BetKind::BracketQuinella);
    EXPECT_EQ(ToUtf8(BetsLine(small.bets)),
              "単勝： 8  枠連： 4-8 3-8 7-8 5-8 1-8 6-8   勝負度： B");

    // 東京03R サラ2歳 新馬, 14 runners of whom three have run (latest runs 47, 58 and 64):
    // they alone are marked, and 3 of 14 is too few for bets.
    const AnalysedRace newcomers = AnalyseRace(day, 2);
    EXPECT_EQ(newcomers.ratedCount, 3);
    EXPECT_EQ(newcomers.markTable, (std::array<int, 7>{12, 11, 3, 0, 0, 0, 0}));
    EXPECT_FALSE(newcomers.bets.made);
    EXPECT_EQ(GradePicture(newcomers.bets), 'D');
}

TEST(SampleDayAnalysis, EveryRaceOfSeedOneAnalyses)
{
    const kol::RaceDay day = test::LoadSampleDay({1, 36, false});
    ASSERT_EQ(day.RaceCount(), 36);
    int withBets = 0;
    for (int i = 0; i < day.RaceCount(); ++i) {
        CheckRace(day, i);
        withBets += AnalyseRace(day, i).bets.made;
    }
    // The sample day mixes both kinds of race.
    EXPECT_GT(withBets, 0);
    EXPECT_LT(withBets, 36);
}

TEST(SampleDayAnalysis, FullFieldsOfEighteen)
{
    const kol::RaceDay day = test::LoadSampleDay({7, 36, true});
    for (int i = 0; i < day.RaceCount(); ++i) {
        CheckRace(day, i);
    }
}
