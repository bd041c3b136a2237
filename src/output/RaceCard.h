#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/AnalysedRace.h"
#include "analysis/GridRules.h"
#include "detail/HorseDetail.h"
#include "kol/RaceDay.h"
#include "output/PrintLayout.h"

// The day's race card: every race of the day on paper, each starting on a new page with its
// title lines and race grid as the one-race print lays them out, the grade, and under the
// grid every runner's last five runs side by side, newspaper style. Measures are tenths of a
// millimetre, as in the one-race print; the printer, the preview and the PDF only scale.
namespace furlox {

// One race of the card: analysed, or the message that says why it could not be.
struct RaceCardRace
{
    int raceIndex = 0;
    std::string failure; // CP932; empty when the race was analysed
    AnalysedRace race;
    std::vector<GridRow> grid; // the race grid's rows, as the formatting step makes them
    // Per grid row (horse-number order): the five past runs, fifth run back first.
    std::vector<std::array<PastRunRow, kPastRunRows>> pastRuns;
};

// Analyses the races in the given order. A race whose analysis fails keeps its place, with
// the message naming it; the others are not affected.
std::vector<RaceCardRace> BuildRaceCard(const kol::RaceDay& day, const std::vector<int>& races);

// The messages of the races that could not be analysed, in card order.
std::vector<std::string> RaceCardFailures(const std::vector<RaceCardRace>& races);

// Every race of the day, in race order.
std::vector<int> AllRaceIndexes(const kol::RaceDay& day);

// The race card's title lines and grid: the one-race print's layout in a smaller type, so
// that a race of 18 runners fits on one A4 page together with every runner's past runs, as a
// newspaper prints a race.
constexpr PrintSettings RaceCardGridSettings()
{
    PrintSettings grid;
    grid.fontHeight = 28;
    grid.rowSpacing = 8;
    grid.titleLineHeight = 34;
    return grid;
}

struct RaceCardSettings
{
    PrintSettings grid = RaceCardGridSettings(); // the title lines and the race grid
    int runFontHeight = 22;                      // the past runs' text
    int runLineHeight = 24;  // one text line of a past-run block (two lines a block)
    int runPadding = 3;      // inside a block, above the first and below the last line
    int labelWidth = 400;    // the runner's own cell left of its five runs
    int sectionGap = 20;     // between the grid and the past runs
    int gradeBoxWidth = 220; // the grade box at the top right of a race's first page
    int gradeBoxHeight = 150;
};

// A text (or, with an empty text, a box) on a race-card page. Texts are CP932.
struct CardText
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::string text;
    int fontHeight = 0;
    CellAlign align = CellAlign::Left;
    std::uint32_t font = 0x000000;       // 0xRRGGBB
    std::uint32_t background = 0xFFFFFF; // 0xRRGGBB
    bool bold = false;
    bool border = false;
};

struct RaceCardPage
{
    int race = 0; // index into the card's races
    // The one-race print's title lines and grid cells on this page (none on a page of past
    // runs only, or for a race that failed); drawn by the one-race print's own drawing.
    PrintPage grid;
    std::vector<CardText> texts; // drawn after the grid, in order
    // The runners whose past-run blocks are on this page (grid rows, 1-based).
    std::vector<int> runnerRows;
};

// The pages of the card on a page of the given printable size: every race starts on a new
// page, and a race that does not fit goes on over as many pages as it needs.
std::vector<RaceCardPage> LayoutRaceCard(const std::vector<RaceCardRace>& races, int pageWidth,
                                         int pageHeight, const RaceCardSettings& settings);

} // namespace furlox
