// What the library keeps of an analysed race: the numbers of the analysis itself, never a
// text made from them.
#include <gtest/gtest.h>

#include "analysis/RaceAnalysis.h"
#include "kol/RaceDay.h"
#include "kol/SampleDay.h"
#include "library/DayRecords.h"
#include "support/KolBuilder.h"

namespace furlox::library {
namespace {

TEST(DayRecord, TheRunnersAndBetsHoldTheAnalysisValues)
{
    const kol::RaceDay day = test::LoadSampleDay({.seed = 7, .races = 36, .full = false});
    const DayRecord record = MakeDayRecord(day);
    ASSERT_EQ(static_cast<int>(record.races.size()), day.RaceCount());
    int marked = 0;
    int pairs = 0;
    for (const RaceRow& race : record.races) {
        SCOPED_TRACE(race.raceIndex);
        ASSERT_TRUE(race.analysisError.empty()) << race.analysisError;
        const AnalysedRace analysed = AnalyseRace(day, race.raceIndex);
        ASSERT_EQ(race.runners.size(), analysed.runners.size());
        for (std::size_t k = 0; k < race.runners.size(); ++k) {
            const RunnerRow& stored = race.runners[k];
            const AnalysedRunner& a = analysed.runners[k];
            EXPECT_EQ(stored.horseNumber, a.horseNumber);
            EXPECT_EQ(stored.totalTenths, a.totalTenths);
            EXPECT_EQ(stored.place.value_or(0), a.place);
            EXPECT_EQ(static_cast<int>(stored.mark), static_cast<int>(a.mark));
            marked += stored.mark != StoredMark::None ? 1 : 0;
        }
        const Bets& bets = analysed.bets;
        if (!bets.made) {
            EXPECT_TRUE(race.bets.empty());
            EXPECT_EQ(race.confidence, "");
            continue;
        }
        ASSERT_EQ(race.bets.size(), static_cast<std::size_t>(bets.combinationCount + 1));
        EXPECT_EQ(race.bets[0].kind, 0);
        EXPECT_EQ(race.bets[0].low, bets.win);
        const char* letters[] = {"", "A", "B", "C"};
        EXPECT_EQ(race.confidence, letters[static_cast<int>(bets.confidence)]);
        for (int s = 1; s <= bets.combinationCount; ++s) {
            const BetRow& bet = race.bets[static_cast<std::size_t>(s)];
            EXPECT_EQ(bet.slot, s);
            EXPECT_EQ(bet.kind, bets.kind == BetKind::Quinella ? 1 : 2);
            EXPECT_EQ(bet.low, bets.pairs[static_cast<std::size_t>(s - 1)].low);
            EXPECT_EQ(bet.high, bets.pairs[static_cast<std::size_t>(s - 1)].high);
            EXPECT_LT(bet.low, bet.high);
            ++pairs;
        }
    }
    // The sample day marks runners and makes pairs in most races: the comparison saw them.
    EXPECT_GT(marked, 100);
    EXPECT_GT(pairs, 50);
}

} // namespace
} // namespace furlox::library
