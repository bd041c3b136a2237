#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>

#include "analysis/FxValue.h"
#include "analysis/RaceAnalysis.h"
#include "base/Encoding.h"
#include "kol/RaceDay.h"
#include "kol/SampleDay.h"
#include "support/TempDir.h"

using namespace furlox;

namespace {

double Total(const GridRow& row)
{
    double value = 0;
    const std::string& text = row[kColTotal];
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

kol::RaceDay LoadSample(const kol::SampleOptions& options)
{
    test::TempDir dir;
    kol::WriteSampleDay(options, dir.path());
    kol::RaceDay day;
    EXPECT_TRUE(kol::LoadKolFiles(dir.path(), day).loaded);
    return day;
}

// What holds for every analysed race, whatever its data.
void CheckRace(const kol::RaceDay& day, int index)
{
    SCOPED_TRACE("race " + std::to_string(index));
    AnalysedRace race;
    ASSERT_NO_THROW(race = AnalyseRace(day, index));
    ASSERT_EQ(static_cast<int>(race.runners.size()), kol::HeadCount(day, index));
    const int first = kol::FirstEntryIndex(day, index);

    int rated = 0;
    for (std::size_t r = 0; r < race.runners.size(); ++r) {
        const GridRow row = GridRows(race)[r];
        EXPECT_EQ(row[kColHorseNumber], std::to_string(r + 1));
        const std::string_view horse = day.HorseLine(first + static_cast<int>(r));
        for (int c = kColRun5; c <= kColRun1; ++c) {
            const int fx = CalcFxValue(horse, 9 - c);
            EXPECT_EQ(row[static_cast<std::size_t>(c)], fx == kNoFigure ? "*" : std::to_string(fx));
        }
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
        const GridRow row = GridRows(race)[static_cast<std::size_t>(horse - 1)];
        EXPECT_NE(row[kColMark], "");
        EXPECT_NE(row[kColTotal], "*");
        EXPECT_LE(Total(row), previous);
        previous = Total(row);
    }
    for (const GridRow& row : GridRows(race)) {
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

TEST(SampleDayAnalysis, EveryRaceOfSeedOneAnalyses)
{
    const kol::RaceDay day = LoadSample({1, 36, false});
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
    const kol::RaceDay day = LoadSample({7, 36, true});
    for (int i = 0; i < day.RaceCount(); ++i) {
        CheckRace(day, i);
    }
}
