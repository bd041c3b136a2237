#pragma once

#include <array>
#include <string>
#include <vector>

// The analysed race: what the race grid shows and what the detail data, printing and the
// exports read back. Every text is CP932. It is a value: an analysis never changes the
// loaded race day, and the window that shows a race owns its analysed race.
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

struct AnalysedRace
{
    int raceIndex = -1;
    int headCount = 0;

    std::string startLine;   // lblTitle1
    std::string raceHeader;  // lblTitle2
    std::string gradeLabel;  // of the race: "G1", "G2", "G3" or the class text
    std::string surfaceText; // of the race: 障 / 芝 / ダ

    GridRow header;                    // row 0 of the grid
    std::vector<GridRow> rows;         // grid rows 1..n, in horse-number order after the analysis
    std::vector<std::string> profiles; // per row: sex+age padded to 6, coat colour padded to 6

    int ratedCount = 0;             // runners with a total
    std::array<int, 7> markTable{}; // horse numbers for ◎ ○ ▲ △ × × ×, 0 for none

    bool hasBets = false;
    std::array<std::string, 6> betTexts; // "␣3-12"; unused slots empty
    int combinationCount = 0;
    std::string lblTan;      // bets label or the no-bets message (CR LF lines)
    std::string betsLine;    // the bets line, or the no-bets line
    std::string confidence;  // "A", "B" or "C"; empty without bets
    char gradePicture = 'D'; // 'A', 'B', 'C', or 'D' for no bets

    std::vector<std::string> printTitleLines; // five lines above the printed grid
};

} // namespace furlox
