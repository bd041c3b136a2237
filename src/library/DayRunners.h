#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "analysis/AnalysedRace.h"
#include "kol/RaceDay.h"
#include "library/Library.h"

// The loaded day's runners in one list: every race analysed in turn, each runner with its
// figures, total, place and mark, and, once a later library day has given it, its finish and
// popularity. What the day's runner window shows, sorts and filters; the texts of its cells
// are made here too, so every place that shows the list shows the same.
namespace furlox::library {

// The date of a loaded day (its first race's); nullopt when the record names none that exists.
std::optional<Date> DayDate(const kol::RaceDay& day);

// The library's results of the loaded day, read from the library of the work directory;
// nullopt when the library has no day of its date or cannot be read now (the results are then
// not shown, nothing else changes).
std::optional<std::vector<RaceResults>> ResultsOfDay(const std::filesystem::path& workDir,
                                                     const kol::RaceDay& day);

struct DayRunner
{
    int raceIndex = 0;
    int courseCode = kol::kNoCourse;
    int raceNumber = 0;
    AnalysedRunner runner;
    std::string name;   // the horse name without its trailing blanks (CP932)
    std::string jockey; // the same for the jockey
    std::optional<RunnerResult> result;
};

// A race of the day whose analysis failed: none of its runners is listed.
struct UnlistedRace
{
    int raceIndex = 0;
    int courseCode = kol::kNoCourse;
    int raceNumber = 0;
    std::string error; // CP932, for the user
};

// A race of the day as the list names it: "中山01R".
std::string RaceShortName(int courseCode, int raceNumber);

struct DayRunnerList
{
    std::vector<DayRunner> runners; // in race order, then horse-number order
    std::vector<UnlistedRace> failed;
};

// The result the library holds for a runner of the loaded day: the library's race of that
// index must be the same race (course and race number) and its runner of that horse number
// the same horse (name), or nothing is taken from it.
std::optional<RunnerResult> ResultOf(const std::vector<RaceResults>& results, int raceIndex,
                                     int courseCode, int raceNumber, int horseNumber,
                                     std::string_view horseKey);

// Every race of the day analysed (AnalyseRace), with the results when the library has the day.
DayRunnerList ListDayRunners(const kol::RaceDay& day, const std::vector<RaceResults>* results);

enum DayRunnerColumn : int
{
    kRunnerRace = 0,
    kRunnerHorseNumber,
    kRunnerName,
    kRunnerJockey,
    kRunnerFx5, // five runs back; kRunnerFx5 + k holds run index 4 - k
    kRunnerFx1 = kRunnerFx5 + 4,
    kRunnerTotal,
    kRunnerPlace,
    kRunnerMark,
    kRunnerPopularity,
    kRunnerFinish,
    kDayRunnerColumns
};

const std::string& DayRunnerHeader(int column);
// The cell's text (CP932); empty where the value is not there (a figure a run lacks is "*").
std::string DayRunnerCell(const DayRunner& runner, int column);
// What the column sorts by, for the columns of numbers (the marks ◎ first, finish codes after
// the places): nullopt where the value is not there, which sorts last either way. The name
// and jockey columns sort by their texts and have no number.
std::optional<int> DayRunnerSortKey(const DayRunner& runner, int column);
bool IsTextColumn(int column);

// Which runners the list shows. Every part that is set must hold.
struct DayRunnerFilter
{
    std::optional<int> courseCode;
    std::optional<int> raceIndex;
    std::optional<Mark> mark; // Mark::None: the runners without a mark
    // ◎ whom the market did not make one of its first three favourites (popularity known, 4
    // or worse).
    bool overlookedTopPick = false;
};
bool Keeps(const DayRunnerFilter& filter, const DayRunner& runner);

// The first three places of a race as its results know them, for the main window's bets
// panel: "1着 ⑤" (dead heats "1着 ⑤⑦"), a place nobody is known to have taken "－". Empty when
// none of the three is known.
std::vector<std::string> PlacingLines(const std::vector<std::optional<RunnerResult>>& byHorse);
// One runner's result for the detail window: "3着（2番人気）", "中止", "取消"; empty when not
// known.
std::string RunnerResultText(const std::optional<RunnerResult>& result);

} // namespace furlox::library
