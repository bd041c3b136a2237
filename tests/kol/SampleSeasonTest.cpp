#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

#include "base/Encoding.h"
#include "base/Error.h"
#include "kol/KolHen.h"
#include "kol/KolRecords.h"
#include "kol/SampleSeason.h"
#include "support/SeasonReader.h"

namespace furlox::kol {
namespace {

using namespace std::chrono;
using test::ReadSeason;
using test::SeasonRace;
using test::SeasonRunner;
using test::SeenBlock;

std::string Entry(const SeasonRunner& r, FieldPos f)
{
    return std::string(Field(r.entryLine, f));
}
std::string Race(const SeasonRace& race, FieldPos f)
{
    return std::string(Field(race.raceLine, f));
}

// One default season of 40 days for the tests that only read it.
const ReadSeason& FortyDays()
{
    static const ReadSeason season = [] {
        SeasonOptions options;
        options.seed = 11;
        options.days = 40;
        return test::ReadSampleSeason(options);
    }();
    return season;
}

// Starters of a race (34 and 35 did not start) whose every runner's own block a later day
// holds; nullptr entries where it holds none.
std::vector<const SeenBlock*> Results(const ReadSeason& season, const SeasonRace& race)
{
    std::vector<const SeenBlock*> results;
    for (const SeasonRunner& r : race.runners) {
        results.push_back(season.Result(race, r));
    }
    return results;
}

TEST(SampleSeason, SameOptionsSameBytesAndALongerSeasonBeginsAlike)
{
    auto make = [](std::uint64_t seed, int days, bool full) {
        SeasonOptions options;
        options.seed = seed;
        options.days = days;
        options.full = full;
        SampleSeason season(options);
        std::vector<SeasonDay> made;
        while (!season.Done()) {
            made.push_back(season.NextDay());
        }
        return made;
    };
    const std::vector<SeasonDay> a = make(4, 3, false);
    const std::vector<SeasonDay> b = make(4, 5, false);
    ASSERT_EQ(a.size(), 3u);
    ASSERT_EQ(b.size(), 5u);
    for (std::size_t d = 0; d < a.size(); ++d) {
        EXPECT_EQ(a[d].files.raceFile, b[d].files.raceFile) << d;
        EXPECT_EQ(a[d].files.entryFile, b[d].files.entryFile) << d;
        EXPECT_EQ(a[d].files.horseFile, b[d].files.horseFile) << d;
    }
    EXPECT_NE(make(5, 1, false)[0].files.horseFile, a[0].files.horseFile);
    EXPECT_NE(make(4, 1, true)[0].files.horseFile, a[0].files.horseFile);
}

TEST(SampleSeason, ADayCountOutsideTheRangeIsRefused)
{
    for (const int days : {0, -1, kMaxSeasonDays + 1}) {
        SeasonOptions options;
        options.days = days;
        EXPECT_THROW(SampleSeason{options}, Error) << days;
    }
    SeasonOptions options;
    options.days = 1;
    SampleSeason season(options);
    season.NextDay();
    EXPECT_TRUE(season.Done());
    EXPECT_THROW(season.NextDay(), Error);
}

TEST(SampleSeason, ArchiveNamesSortByDateAndStampTheEveningBefore)
{
    EXPECT_EQ(SeasonArchiveName(year(2001) / January / 6), "20010106.lzh");
    EXPECT_EQ(SeasonArchiveName(year(2002) / December / 29), "20021229.lzh");
    // 2001-01-05 09:00 UTC, 18:00 in Japan.
    EXPECT_EQ(SeasonPackTime(year(2001) / January / 6), 978685200u);
    EXPECT_EQ(weekday(sys_days(SeasonFirstDate())), Saturday);
}

// Consecutive race days, Saturday and Sunday; each race record dated its day, its courses
// those of the day; the three files line up.
TEST(SampleSeason, DaysAreWeekendsWithTwoCoursesOfTwelveRaces)
{
    const ReadSeason& season = FortyDays();
    ASSERT_EQ(season.days.size(), 40u);
    std::vector<std::string> names;
    int smallFields = 0, races = 0;
    for (std::size_t d = 0; d < season.days.size(); ++d) {
        const sys_days date(season.days[d].date);
        EXPECT_EQ(date, sys_days(SeasonFirstDate()) + days(static_cast<int>(d / 2 * 7 + d % 2)));
        names.push_back(SeasonArchiveName(season.days[d].date));
        const RaceDay day = test::DayOf(season.days[d].files);
        ASSERT_EQ(day.RaceCount(), 24);
        std::set<std::string> courses;
        int runners = 0;
        for (int i = 0; i < day.RaceCount(); ++i) {
            const std::string& line = day.raceLines[static_cast<std::size_t>(i)];
            courses.insert(std::string(Field(line, race::kCourseCode)));
            const year_month_day ymd = season.days[d].date;
            EXPECT_EQ(LenientNumber(Field(line, race::kYear)), static_cast<int>(ymd.year()));
            EXPECT_EQ(LenientNumber(Field(line, race::kMonth)),
                      static_cast<int>(unsigned(ymd.month())));
            EXPECT_EQ(LenientNumber(Field(line, race::kDay)),
                      static_cast<int>(unsigned(ymd.day())));
            EXPECT_EQ(Field(line, race::kWeekdayCode), d % 2 == 0 ? "01" : "02");
            EXPECT_EQ(LenientNumber(Field(line, race::kRaceNumber)), i % 12 + 1);
            const int heads = StrictNumber(Field(line, race::kHeadCount));
            EXPECT_GE(heads, 5);
            EXPECT_LE(heads, 16);
            smallFields += heads <= 8;
            ++races;
            runners += heads;
        }
        EXPECT_EQ(courses.size(), 2u) << d;
        EXPECT_EQ(day.entryLines.size(), static_cast<std::size_t>(runners));
        EXPECT_EQ(day.horseLines.size(), static_cast<std::size_t>(runners));
    }
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    EXPECT_GT(smallFields, races / 20) << "small fields, where the bracket quinella is proposed";
    EXPECT_LT(smallFields, races / 3);
}

TEST(SampleSeason, FullDaysHoldThirtySixRacesOfEighteenAtThreeCourses)
{
    SeasonOptions options;
    options.full = true;
    options.days = 2;
    SampleSeason season(options);
    while (!season.Done()) {
        const RaceDay day = test::DayOf(season.NextDay().files);
        ASSERT_EQ(day.RaceCount(), 36);
        ASSERT_EQ(day.entryLines.size(), 648u);
        ASSERT_EQ(day.horseLines.size(), 648u);
        std::set<std::string> courses;
        for (const std::string& line : day.raceLines) {
            EXPECT_EQ(Field(line, race::kHeadCount), "18");
            courses.insert(std::string(Field(line, race::kCourseCode)));
        }
        EXPECT_EQ(courses.size(), 3u);
    }
}

// A horse that ran on day k appears on later days with a block that is that run: course,
// date (its year found by the rule of the blocks), race number, horse number, field size,
// distance, surface, class, weight carried; every copy of it the same bytes.
TEST(SampleSeason, LaterDaysCarryEachRunExactlyAsItWasRun)
{
    const ReadSeason& season = FortyDays();
    int checked = 0;
    for (const SeasonRace& race : season.races) {
        for (const SeasonRunner& r : race.runners) {
            const auto found = season.blocks.find({r.name, race.courseCode, race.date});
            if (found == season.blocks.end()) {
                continue;
            }
            const std::vector<SeenBlock>& copies = found->second;
            for (const SeenBlock& b : copies) {
                EXPECT_GT(b.dayIndex, race.dayIndex) << "a day holds only earlier runs";
                EXPECT_EQ(b.bytes, copies.front().bytes) << "every later day has the same run";
            }
            const SeenBlock& b = copies.front();
            EXPECT_EQ(b.Number(pastrun::kHorseNumber), r.horseNumber);
            EXPECT_EQ(b.Number(pastrun::kRaceNumber), race.number);
            EXPECT_EQ(b.Number(pastrun::kHeadCount), static_cast<int>(race.runners.size()));
            EXPECT_EQ(b.Field(pastrun::kDistance), Race(race, race::kDistance));
            EXPECT_EQ(b.Field(pastrun::kTurfFlag), Race(race, race::kTurfFlag));
            EXPECT_EQ(b.Field(pastrun::kSteeplechaseFlag), Race(race, race::kSteeplechaseFlag));
            EXPECT_EQ(b.Field(pastrun::kClassCode), Race(race, race::kClassCode));
            EXPECT_EQ(b.Field(pastrun::kGradeCode), Race(race, race::kGradeCode));
            EXPECT_EQ(b.Field(pastrun::kWeightCarried), Entry(r, entry::kWeightCarried));
            // The entry shows the jockey's name in three characters, a past run in four.
            const std::string jockey = b.Field(pastrun::kJockey);
            EXPECT_EQ(jockey.substr(0, 4), Entry(r, entry::kJockey).substr(0, 4));
            ++checked;
        }
    }
    EXPECT_GT(checked, 5000);

    // And no block dated in the season names a race the horse did not run.
    std::set<std::tuple<std::string, std::string, sys_days, int>> ran;
    for (const SeasonRace& race : season.races) {
        for (const SeasonRunner& r : race.runners) {
            ran.insert({r.name, race.courseCode, race.date, r.horseNumber});
        }
    }
    for (const auto& [key, copies] : season.blocks) {
        const auto& [name, course, date] = key;
        if (date < sys_days(SeasonFirstDate())) {
            continue; // a run before the season
        }
        for (const SeenBlock& b : copies) {
            EXPECT_TRUE(ran.count({name, course, date, b.Number(pastrun::kHorseNumber)}))
                << ToUtf8(name);
        }
    }
}

// The first day's horses carry earlier runs of their own, before the season: five for most.
TEST(SampleSeason, TheFirstDaysHorsesHaveRunsBeforeTheSeason)
{
    const ReadSeason& season = FortyDays();
    int horses = 0, withFive = 0;
    for (const SeasonRace& race : season.races) {
        if (race.dayIndex != 0) {
            continue;
        }
        for (const SeasonRunner& r : race.runners) {
            ++horses;
            const auto dates = test::BlockDates(r.horseLine, race.date);
            int runs = 0;
            for (const auto& date : dates) {
                if (date) {
                    EXPECT_LT(*date, race.date);
                    ++runs;
                }
            }
            withFive += runs == 5;
        }
    }
    EXPECT_GT(withFive, horses / 2);
}

// What later days say of a race's runners adds up to one race: places 1 to n with dead heats
// sharing one, the starters' popularity 1 to s, the name of the winner (or for the winner,
// of the second) in every block, and times that follow the places.
TEST(SampleSeason, TheResultsOfARaceAgree)
{
    const ReadSeason& season = FortyDays();
    int complete = 0, deadHeats = 0, noStart = 0, noPlace = 0;
    for (const SeasonRace& race : season.races) {
        const std::vector<const SeenBlock*> results = Results(season, race);
        if (std::find(results.begin(), results.end(), nullptr) != results.end()) {
            continue;
        }
        ++complete;
        std::vector<int> places, popularity;
        std::map<std::string, int> finishOf;
        for (std::size_t i = 0; i < results.size(); ++i) {
            const SeenBlock& b = *results[i];
            const int finish = b.Number(pastrun::kFinish);
            finishOf[race.runners[i].name] = finish;
            if (finish >= 34) {
                ++noStart;
                EXPECT_EQ(b.Number(pastrun::kPopularity), finish);
                EXPECT_EQ(b.Field(pastrun::kFigureFinish), "  ");
                continue;
            }
            popularity.push_back(b.Number(pastrun::kPopularity));
            if (finish >= 31) {
                ++noPlace;
                EXPECT_EQ(b.Field(pastrun::kMargin), "   ");
                continue;
            }
            EXPECT_EQ(b.Field(pastrun::kFigureFinish), b.Field(pastrun::kFinish));
            places.push_back(finish);
        }
        std::sort(popularity.begin(), popularity.end());
        for (std::size_t k = 0; k < popularity.size(); ++k) {
            EXPECT_EQ(popularity[k], static_cast<int>(k) + 1) << ToUtf8(race.raceLine);
        }
        std::sort(places.begin(), places.end());
        for (std::size_t k = 0; k < places.size(); ++k) {
            // A place is one more than the number of horses ahead of it.
            const auto ahead =
                std::lower_bound(places.begin(), places.end(), places[k]) - places.begin();
            EXPECT_EQ(places[k], ahead + 1) << ToUtf8(race.raceLine);
            deadHeats += k > 0 && places[k] == places[k - 1];
        }
        auto timeOf = [](const SeenBlock& b) {
            return b.Number(pastrun::kTimeMinutes) * 600 + b.Number(pastrun::kTimeSeconds) * 10 +
                   b.Number(pastrun::kTimeTenths);
        };
        for (std::size_t i = 0; i < results.size(); ++i) {
            const SeenBlock& b = *results[i];
            const int finish = b.Number(pastrun::kFinish);
            const std::string named = test::HorseKey(Trim(b.Field(pastrun::kWinnerOrSecond)));
            if (finish == 1 && places.size() > 1) {
                ASSERT_TRUE(finishOf.count(named)) << ToUtf8(named);
                EXPECT_TRUE(finishOf[named] == 2 ||
                            (finishOf[named] == 1 && named != race.runners[i].name))
                    << "a winner's block names the second";
            } else if (finish != 1) {
                ASSERT_TRUE(finishOf.count(named)) << ToUtf8(named);
                EXPECT_EQ(finishOf[named], 1) << "the others' blocks name the winner";
            }
            for (std::size_t j = 0; j < results.size(); ++j) {
                const int other = results[j]->Number(pastrun::kFinish);
                if (finish <= 30 && other <= 30 && finish < other) {
                    EXPECT_LE(timeOf(b), timeOf(*results[j]));
                }
            }
        }
    }
    EXPECT_GT(complete, static_cast<int>(season.races.size()) / 4);
    EXPECT_GT(deadHeats, 0);
    EXPECT_GT(noStart, 0) << "scratched and excluded runners";
    EXPECT_GT(noPlace, 0) << "falls, disqualifications, horses pulled up";
}

// A horse runs again every few weeks, never twice within two weeks, and under one name.
TEST(SampleSeason, HorsesRunAgainAfterWeeksUnderTheirNames)
{
    const ReadSeason& season = FortyDays();
    std::map<std::string, std::vector<sys_days>> runs;
    std::map<std::string, std::string> sexOf;
    int fullWidthFill = 0, blankInside = 0, runners = 0;
    for (const SeasonRace& race : season.races) {
        for (const SeasonRunner& r : race.runners) {
            ++runners;
            runs[r.name].push_back(race.date);
            const std::string sex = Entry(r, entry::kSexCode);
            if (sexOf.count(r.name) && sexOf[r.name] != "2" && sex != "2") {
                EXPECT_EQ(sexOf[r.name], sex) << ToUtf8(r.name);
            }
            sexOf[r.name] = sex;
            const std::string field = Entry(r, entry::kHorseName);
            ASSERT_TRUE(IsLeadByte(static_cast<unsigned char>(field[0]))) << "full-width names";
            fullWidthFill += field.size() == 18 && field.substr(16) == "　"_sj;
            blankInside += r.name.find("　"_sj) != std::string::npos;
        }
    }
    int ranAgain = 0;
    for (auto& [name, dates] : runs) {
        std::sort(dates.begin(), dates.end());
        for (std::size_t k = 1; k < dates.size(); ++k) {
            EXPECT_GE((dates[k] - dates[k - 1]).count(), 13) << ToUtf8(name);
        }
        ranAgain += dates.size() > 1;
    }
    EXPECT_GT(ranAgain, static_cast<int>(runs.size()) / 2);
    EXPECT_GT(fullWidthFill, runners / 10) << "names filled with full-width blanks";
    EXPECT_GT(blankInside, 0) << "a name with a full-width blank inside";
}

// Most runners of the first thirty days run again before the fortieth: their results are in
// the later days' horse records.
TEST(SampleSeason, MostRunnersOfTheFirstThirtyDaysRunAgain)
{
    const ReadSeason& season = FortyDays();
    int runners = 0, again = 0;
    for (const SeasonRace& race : season.races) {
        if (race.dayIndex >= 30) {
            continue;
        }
        for (const SeasonRunner& r : race.runners) {
            ++runners;
            again += season.Result(race, r) != nullptr;
        }
    }
    const double share = 100.0 * again / runners;
    std::printf("runners of days 1-30 of a 40-day season whose run a later day carries: "
                "%d of %d (%.1f %%)\n",
                again, runners, share);
    EXPECT_GT(share, 75.0);
}

} // namespace
} // namespace furlox::kol
