#pragma once

#include <optional>
#include <string>
#include <vector>

#include "library/DayRecords.h"

// The results of the library's races. The data service sends no results, but every later
// day's horse record carries the horse's earlier runs with their finish: a runner's result is
// the past-run block of a later library day (within 365 days) for a horse of its name that
// names its race (course and date) and its horse number, the latest day's copy first. A
// block also names the race's winner (or, for a winner, the second), which gives the finish
// of a runner whose own block the library does not hold. (The run's time, margin and last
// three furlongs are in the horse's history.)
//
// The results are derived rows: the table `results` is rebuilt for every race an import or a
// removal touches, in the same transaction, and never written otherwise.
namespace furlox::library {

class Database;

// Finish codes of a run without a place, and of a runner that did not start (also as
// popularity).
inline constexpr int kFell = 31;         // 落馬
inline constexpr int kDisqualified = 32; // 失格
inline constexpr int kPulledUp = 33;     // 中止
inline constexpr int kScratched = 34;    // 取消
inline constexpr int kExcluded = 35;     // 除外

// 31–33: started, no place.
bool IsStartWithoutPlace(int finish);
// 34, 35: did not start.
bool IsNoStart(int finish);
// 1–18, or 31–33: a start whose outcome is known.
bool IsStart(int finish);

enum class ResultSource : int
{
    OwnBlock = 0, // the runner's own block in a later day
    Deduced = 1,  // named as winner or second by another runner's block
};

struct RunnerResult
{
    // 1–18 (several runners share a place in a dead heat), or a code 31–35.
    int finish = 0;
    std::optional<int> popularity; // 1–18; none for a deduced finish or a non-starter
    ResultSource source = ResultSource::OwnBlock;
};

// What the results of a race are made of: its runners, and each one's own block if a later
// day holds it.
struct ResultBlock
{
    std::optional<int> finish;
    std::optional<int> popularity;
    std::string winnerOrSecond; // keyed like a horse name
};

struct ResultRunner
{
    int horseNumber = 0;
    std::string name;                    // the library's key of the horse
    std::optional<ResultBlock> ownBlock; // the latest day's copy whose horse number matches
};

// The results of one race's runners, in the order given: a runner's own block first, then
// the deduction from the block of the runner with the lowest horse number that names it. A
// name found twice among the runners gives neither of them a result, and their blocks name
// nobody. nullopt where the result is not known.
std::vector<std::optional<RunnerResult>> DecideResults(const std::vector<ResultRunner>& runners);

// A race as a past-run block names it.
struct RaceKey
{
    int courseCode = 0;
    Date date;
    auto operator<=>(const RaceKey&) const = default;
};
// Rebuilds the results of every library race held at one of these (course code, date) pairs.
// Runs in the caller's transaction.
void RefreshResults(Database& database, const std::vector<RaceKey>& races);
// Every race's results again (a library of the version before results).
void RebuildResults(Database& database);

// The races whose results a day's past-run blocks and own races may give or change: the
// pairs its blocks name and its own races. Read before the day is removed or replaced.
std::vector<RaceKey> RacesTouchedBy(Database& database, std::int64_t dayId);
std::vector<RaceKey> RacesTouchedBy(const DayRecord& record);

// What an import or a removal recomputes: only the races in which a runner's result can
// change. A day's blocks can only give or take the result of a runner of another day's race
// whose name, meeting and horse number one of them holds (and which it names within the 365
// days), or the finish of a runner it names as winner or second at that meeting. Read while
// the day's rows are there: after its import, before its removal.
std::vector<std::int64_t> RacesResultedBy(Database& database, std::int64_t dayId);
// A day's own races: imported late, they take their results from the days already there.
std::vector<std::int64_t> RacesOfDay(Database& database, std::int64_t dayId);
// Rebuilds the results of these races (ids no longer in the library are passed over), as
// RefreshResults would. Runs in the caller's transaction.
void RefreshRaces(Database& database, const std::vector<std::int64_t>& raceIds);

} // namespace furlox::library
