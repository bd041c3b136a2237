#include <gtest/gtest.h>

#include <cstdio>

#include "analysis/RaceAnalysis.h"
#include "base/Encoding.h"
#include "kol/KolHen.h"
#include "kol/KolRecords.h"
#include "support/SeasonReader.h"

namespace furlox {
namespace {

using test::ReadSeason;

struct Tally
{
    int starts = 0;
    int wins = 0;
    int places = 0; // first three
    double WinRate() const { return starts ? 100.0 * wins / starts : 0; }
    double PlaceRate() const { return starts ? 100.0 * places / starts : 0; }
    void Add(int finish)
    {
        ++starts;
        wins += finish == 1;
        places += finish >= 1 && finish <= 3;
    }
};

// The program's marks on a generated season have real but imperfect skill: ◎ wins clearly
// more often than a runner picked at random, far from always; so does the favourite.
TEST(SampleSeasonMarks, TopMarkAndFavouriteWinOftenButNotAlways)
{
    kol::SeasonOptions options;
    options.seed = 5;
    options.days = 40;
    const ReadSeason season = test::ReadSampleSeason(options);
    Tally top, favourite, everyone;
    int analysed = 0;
    for (std::size_t d = 0; d < 30; ++d) {
        const kol::RaceDay day = test::DayOf(season.days[d].files);
        for (const test::SeasonRace& race : season.races) {
            if (race.dayIndex != static_cast<int>(d)) {
                continue;
            }
            const AnalysedRace analysed_race = AnalyseRace(day, race.raceIndex);
            ++analysed;
            for (const test::SeasonRunner& r : race.runners) {
                const test::SeenBlock* block = season.Result(race, r);
                if (!block) {
                    continue;
                }
                const int finish = block->Number(kol::pastrun::kFinish);
                if (finish >= 34) {
                    continue;
                }
                everyone.Add(finish);
                if (analysed_race.markTable[0] == r.horseNumber) {
                    top.Add(finish);
                }
                if (block->Number(kol::pastrun::kPopularity) == 1) {
                    favourite.Add(finish);
                }
            }
        }
    }
    std::printf("races %d; ◎ %d starts, win %.1f %%, top 3 %.1f %%; favourite %d, win %.1f %%, "
                "top 3 %.1f %%; every runner %d, win %.1f %%\n",
                analysed, top.starts, top.WinRate(), top.PlaceRate(), favourite.starts,
                favourite.WinRate(), favourite.PlaceRate(), everyone.starts, everyone.WinRate());
    EXPECT_GT(top.starts, 300);
    EXPECT_GT(top.WinRate(), 2 * everyone.WinRate());
    EXPECT_LT(top.WinRate(), 60);
    EXPECT_GT(favourite.WinRate(), 2 * everyone.WinRate());
    EXPECT_LT(favourite.WinRate(), 60);
}

} // namespace
} // namespace furlox
