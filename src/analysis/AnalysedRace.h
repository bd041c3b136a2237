#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "kol/KolHen.h"
#include "kol/RaceDay.h"

// The analysed race as values: figures, totals, ranking, marks, bets and grade as numbers
// and enumerations, the runners' names and the race's titles as the records give them.
// Nothing here is a display text made by the analysis: the grid's cells, the bets label and
// the print title lines are made from these values by the one formatting step
// (analysis/RaceFormat.h) wherever they are shown or written. It is a value: an analysis
// never changes the loaded race day, and the window that shows a race owns its analysed race.
namespace furlox {

inline constexpr int kGridColumns = 12;
using GridRow = std::array<std::string, kGridColumns>;

// Grid columns: 枠 馬 馬　　名 斤量 騎手 5前 4前 3前 2前 1前 総合 印
enum GridColumn : int
{
    kColBracket = 0,
    kColHorseNumber = 1,
    kColHorseName = 2,
    kColWeight = 3,
    kColJockey = 4,
    kColRun5 = 5, // FX value five runs back; column c holds run index 9 - c
    kColRun1 = 9, // FX value of the latest run
    kColTotal = 10,
    kColMark = 11,
};

inline constexpr int kRunsPerRunner = 5; // run index 0 (the latest) to 4

// The run index a figure column shows.
constexpr int RunOfColumn(int column)
{
    return kColRun1 - column;
}

// The marks of the ranking, best first.
enum class Mark : std::uint8_t
{
    None,
    DoubleCircle,   // ◎, the top pick
    Circle,         // ○
    FilledTriangle, // ▲
    Triangle,       // △
    Cross,          // ×, the fifth to seventh
};

struct AnalysedRunner
{
    int horseNumber = 0;                  // the runner's place in the race, from 1
    std::string bracket;                  // the entry's bracket field as read, shown unchanged
    int bracketNumber = 0;                // the same field read leniently: what its colours follow
    std::string horseName;                // 18 bytes, untrimmed
    int weightCarried = 0;                // tenths of a kilogram
    std::string jockey;                   // 6 bytes
    std::array<int, kRunsPerRunner> fx{}; // by run index; kNoFigure where a run has none
    // The mean of the figures in tenths, rounded half away from zero (1.25 is 13): means that
    // show alike compare alike. Empty for a runner without any figure.
    std::optional<int> totalTenths;
    int place = 0; // in the ranking by total, 1 the best; 0 without a total
    Mark mark = Mark::None;
    // The runner profile's parts: sex text, age and coat colour text (CP932).
    std::string sexText;
    int age = 0;
    std::string coatColour;
};

enum class BetKind : std::uint8_t
{
    Quinella,        // 馬連, fields of nine or more
    BracketQuinella, // 枠連, written with horse numbers too
};

// The confidence grade (勝負度); None when no bets are made.
enum class Confidence : std::uint8_t
{
    None,
    A,
    B,
    C,
};

struct BetPair
{
    int low = 0;
    int high = 0;

    friend bool operator==(const BetPair&, const BetPair&) = default;
};

struct Bets
{
    bool made = false; // false: too few runners have a figure
    int win = 0;       // the ◎ horse number (単勝)
    BetKind kind = BetKind::Quinella;
    int combinationCount = 0;       // pairs made, 0 to 6
    std::array<BetPair, 6> pairs{}; // ◎ with ○, ▲, △, ×, ×, × in turn
    Confidence confidence = Confidence::None;
};

struct AnalysedRace
{
    int raceIndex = -1;
    int headCount = 0;

    // Of the race record.
    int courseCode = kol::kNoCourse;
    int raceNumber = 0;
    kol::RaceDate date;
    kol::GradeLabel gradeLabel;
    kol::Surface surface = kol::Surface::Turf;
    std::string startLine;  // lblTitle1, as the race day keeps it
    std::string raceHeader; // lblTitle2

    std::vector<AnalysedRunner> runners; // in horse-number order
    int ratedCount = 0;                  // runners with a total
    std::array<int, 7> markTable{};      // horse numbers for ◎ ○ ▲ △ × × ×, 0 for none
    Bets bets;
};

} // namespace furlox
