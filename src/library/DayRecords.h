#pragma once

#include <array>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "kol/RaceDay.h"

// What the library keeps of a race day, as numbers and record texts: the races, their
// runners with their figures and marks, and every past run the horse records carry. Made from
// a loaded day alone, before anything is written, so an import either has all of it or
// stores nothing.
namespace furlox::library {

using Date = std::chrono::year_month_day;

// "YYYY-MM-DD".
std::string DateText(Date date);
// A "YYYY-MM-DD" text that names a real date; nullopt for anything else.
std::optional<Date> ParseDateText(std::string_view text);

// The horse's name as the library keys it (UTF-8): the entry record's horse name field with
// trailing ASCII blanks and full-width blanks (U+3000) removed.
std::string HorseKey(std::string_view cp932Name);
// A name typed by the user, made comparable with the keys: blanks of both kinds removed at
// both ends, and full-width letters and digits left as they are.
std::string SearchKey(std::string_view utf8Name);

// The surface as stored.
enum class StoredSurface : int
{
    Turf = 0,
    Dirt = 1,
    Steeplechase = 2,
};

// One past-run block of a horse record that holds a run: a course the course table lists and
// a month and day that are a date of the year found for the block.
struct PastRunRow
{
    int block = 0; // 0 = the latest run
    int courseCode = 0;
    Date date;
    std::optional<int> fx; // the block's FX value; nullopt where it has none
    std::optional<int> finish;
    std::optional<int> popularity;
    std::optional<int> timeTenths; // the race time in tenths of a second
    std::optional<int> margin;     // as the field holds it (tenths of a second)
    std::optional<int> last3fTenths;
    std::optional<int> horseNumber;
    std::optional<int> headCount;
    std::optional<int> distance;
    StoredSurface surface = StoredSurface::Turf;
    std::string goingCode;
    std::string classCode;
    std::string gradeCode;
    std::string raceName;             // the block's short race name, UTF-8, trimmed
    std::string jockey;               // UTF-8, trimmed
    std::string winnerOrSecond;       // UTF-8, keyed like a horse name
    std::optional<int> weightCarried; // tenths of a kilogram
    std::optional<int> bodyWeight;
};

enum class StoredMark : int
{
    None = 0,
    DoubleCircle = 1,
    Circle = 2,
    FilledTriangle = 3,
    Triangle = 4,
    Cross = 5,
};

struct RunnerRow
{
    int horseNumber = 0;                  // from 1, the runner's place in its race
    std::string bracket;                  // the bracket field as read (UTF-8)
    std::string name;                     // HorseKey of the name field
    std::string jockey;                   // UTF-8, trimmed
    std::array<std::optional<int>, 5> fx; // by run index, 0 the latest
    std::optional<int> totalTenths;
    std::optional<int> place;
    StoredMark mark = StoredMark::None;
    std::vector<PastRunRow> pastRuns;
};

struct BetRow
{
    int slot = 0; // 0 the 単勝 on ◎, then the pairs in the analysis' order
    int kind = 0; // 0 単勝, 1 馬連, 2 枠連
    int low = 0;
    int high = 0; // 0 for 単勝
};

struct RaceRow
{
    int raceIndex = 0;
    std::optional<int> courseCode;
    std::optional<int> raceNumber;
    std::optional<Date> date;
    std::string classCode;
    std::string gradeCode;
    StoredSurface surface = StoredSurface::Turf;
    std::optional<int> distance;
    std::optional<int> headCount;
    std::string raceName; // UTF-8, trimmed
    // The grade A, B or C ("" without bets); the bets as rows.
    std::string confidence;
    std::vector<BetRow> bets;
    // Empty when the race was analysed; otherwise why not (UTF-8), and no figure is kept.
    std::string analysisError;
    std::vector<RunnerRow> runners;
};

struct DayRecord
{
    Date date; // of race 0
    std::vector<RaceRow> races;
    int RunnerCount() const;
};

// The years of a horse record's five blocks, newest first: block 0 on or before the day,
// each later block strictly before the one before it that holds a run. A block whose course
// is not listed or whose date does not exist is left out.
std::vector<PastRunRow> PastRunsOf(std::string_view horseLine, Date dayDate);

// The record of a loaded day. Throws furlox::Error (CP932) when race 0 has no date that exists:
// such a day cannot be keyed.
DayRecord MakeDayRecord(const kol::RaceDay& day);

} // namespace furlox::library
