#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "kol/SampleDay.h"

// A synthetic season: consecutive race days, a Saturday and a Sunday every week, whose horses
// run again. Each horse has a hidden ability; its races are run from it with noise, and every
// later day's horse record carries the horse's real earlier runs of the season (newest first,
// up to five), so that later days hold the results of earlier ones. For demos, tests and the
// season library's benchmarks. The same options always give the same bytes, and the first
// days of a longer season are the days of a shorter one.
namespace furlox::kol {

struct SeasonOptions
{
    std::uint64_t seed = 1;
    int days = 40; // race days, 1 to kMaxSeasonDays
    // Every day 36 races of 18 runners at three courses; otherwise 24 races of 8 to 16
    // runners (now and then fewer) at two.
    bool full = false;
};

inline constexpr int kMaxSeasonDays = 2000;

struct SeasonDay
{
    int index = 0; // 0 for the first day
    std::chrono::year_month_day date;
    SampleFiles files;
};

// The first race day of every season: Saturday 6 January 2001.
std::chrono::year_month_day SeasonFirstDate();

// The archive name of a day: its date as YYYYMMDD.lzh, so that the names sort by date.
std::string SeasonArchiveName(std::chrono::year_month_day date);

// The time stamp of the archive's entries (Unix seconds): 18:00 Japan time the evening
// before the day, when the data service sends it.
std::uint32_t SeasonPackTime(std::chrono::year_month_day date);

class SampleSeason
{
public:
    // Throws furlox::Error when options.days is outside 1 to kMaxSeasonDays.
    explicit SampleSeason(const SeasonOptions& options);
    ~SampleSeason();
    SampleSeason(const SampleSeason&) = delete;
    SampleSeason& operator=(const SampleSeason&) = delete;

    bool Done() const;

    // The next race day's three files, made before its races are run; then its races are run,
    // so that the days after it carry their results. Throws furlox::Error past the last day.
    SeasonDay NextDay();

private:
    struct State;
    std::unique_ptr<State> m;
};

} // namespace furlox::kol
