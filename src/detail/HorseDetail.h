#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "analysis/AnalysedRace.h"
#include "analysis/GridRules.h"
#include "kol/RaceDay.h"

// What the detail window shows for one runner of the analysed race: the label texts, the coat
// picture, the FX chart and the five past-run rows with their colour states. Every text is
// CP932. The window only displays this; it computes nothing of its own.
namespace furlox {

inline constexpr int kPastRunRows = 5;         // grid rows 1..5: "5走前" .. "1走前"
inline constexpr int kPastRunColumns = 16;     // data columns 1..16 of the past-run grid
inline constexpr int kPastRunFinishColumn = 8; // "着"

// How a past-run row is drawn; decided once the row is filled.
enum PastRunState : int
{
    kRunNormal = 0,
    kRunOtherCourse = 1, // a course that gets no figure (local tracks, abroad)
    kRunNoTime = 2,      // no race time: scratched, excluded, did not finish …
    kRunSteeplechase = 3,
};

struct PastRunRow
{
    std::array<std::string, kPastRunColumns> cells; // columns 1..16; all empty for no run
    int state = kRunNormal;
    int finish = 0; // the finish position read leniently; 1 is a win (" 1着")
};

struct ChartPoint
{
    int x = 0;         // r + 1: 1 is the latest run
    int y = 0;         // the FX value the race grid shows for that run
    std::string label; // "1走前" .. "5走前"
};

struct HorseDetail
{
    int runnerIndex = 0; // 0-based place in the race; the horse number is one more

    std::string lblSeinen;
    std::string lblUmaKigou;
    std::string lblSanti;
    std::string lblSeisansya;
    std::string lblBanusi;
    std::string lblChokyosi;
    std::string lblSouSyokin;
    std::string lblHonSyokin;
    std::string lblTiti;
    std::string lblHaha;
    std::string lblHahaTiti;
    std::string lblHahaHaha;
    // lbl1 .. lbl11: the career record, then the ten categories (empty in a steeplechase race).
    std::array<std::string, 11> lblRecord;

    int coatPicture = 3; // the coat picture Image1 .. Image11 by its number

    int chartMax = 110;
    int chartMin = -40;
    std::vector<ChartPoint> points; // latest run first

    std::array<PastRunRow, kPastRunRows> rows; // rows[0] is grid row 1, the fifth run back
};

// The FX axis as the chart draws it. The specified range (chartMin to chartMax) is kept when
// every point lies in it; a point outside it widens the drawn axis, 30 at a time on the side
// the point leaves, so that every figure is drawn at its own height. The axis has a line every
// `step` (30, or a multiple of it when the axis grows tall), from `min` to `max`.
struct ChartAxis
{
    int min = -40;
    int max = 110;
    int step = 30;

    bool operator==(const ChartAxis&) const = default;
};
ChartAxis DrawnChartAxis(const HorseDetail& detail);
// The same axis for any figures over the range `min` to `max`: what a chart of a horse's
// whole history draws.
ChartAxis WidenedChartAxis(int min, int max, std::span<const int> figures);

// Fills the detail data of runner `runnerIndex` (0-based) of `race`, which was analysed from
// `day`. Throws furlox::Error when there is no such runner, and ConvertError
// "'<text>' は整数ではありません" when a prize field is not a whole number.
HorseDetail BuildHorseDetail(const kol::RaceDay& day, const AnalysedRace& race, int runnerIndex);

// The five past-run rows of runner `runnerIndex` (0-based) of `race`, fifth run back first,
// with their colour states. Unlike the whole detail data it reads no prize, so it never fails.
std::array<PastRunRow, kPastRunRows> BuildPastRuns(const kol::RaceDay& day,
                                                   const AnalysedRace& race, int runnerIndex);

// The labels by their control names, "lblSeinen" first and "lbl11" last: the one list of the
// detail window's labels, which the window and the CLI both go through. The texts point into
// `d`, which must outlive the list.
std::vector<std::pair<std::string, const std::string*>> HorseDetailLabels(const HorseDetail& d);

// The control name of a coat picture, "Image1" .. "Image11".
std::string CoatPictureName(int picture);

// The runner list of the horse-name combo box: horse number padded to 2, a blank, the name.
std::vector<std::string> RunnerListTexts(const AnalysedRace& race);

// The past-run grid's fixed texts: column headers (column 0 has none) and row headers
// (row 0 has none, rows 1..5 are "5走前" .. "1走前").
const std::string& Grid2ColumnHeader(int column);
const std::string& Grid2RowHeader(int row);
int Grid2ColumnWidth(int column);

struct PastRunCellStyle
{
    CellAlign align = CellAlign::Left;
    std::uint32_t font = 0x000000;       // 0xRRGGBB
    std::uint32_t background = 0xFFFFFF; // 0xRRGGBB
};

// How the past-run grid draws a cell; row 0 and column 0 are the fixed cells.
PastRunCellStyle Grid2CellStyle(const HorseDetail& detail, int row, int column);

// The font colour of data column `column` (1..16) of a past run: its state's colour, red for
// the finish of a win. The race card's past runs use it as well.
std::uint32_t PastRunFont(const PastRunRow& run, int column);

} // namespace furlox
