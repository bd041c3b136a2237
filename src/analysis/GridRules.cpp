#include "analysis/GridRules.h"

#include <array>
#include <string>

#include "analysis/FxValue.h"
#include "analysis/GradeLabelRules.h"

namespace furlox {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kHeaderGrey = 0x808080;
constexpr std::uint32_t kTotalGreen = 0x008000;
constexpr std::uint32_t kTopPickRed = 0xFF0000;

struct ColumnLook
{
    int width;
    CellAlign align;
    bool bold;
    std::uint32_t font;
};

constexpr std::array<ColumnLook, kGridColumns> kColumns = {{
    {18, CellAlign::Centre, true, kBlack},     // 枠
    {18, CellAlign::Right, false, kBlack},     // 馬
    {116, CellAlign::Left, false, kBlack},     // 馬　　名
    {30, CellAlign::Right, false, kBlack},     // 斤量
    {42, CellAlign::Left, false, kBlack},      // 騎手
    {36, CellAlign::Right, false, kBlack},     // 5前
    {36, CellAlign::Right, false, kBlack},     // 4前
    {36, CellAlign::Right, false, kBlack},     // 3前
    {36, CellAlign::Right, false, kBlack},     // 2前
    {36, CellAlign::Right, false, kBlack},     // 1前
    {42, CellAlign::Right, true, kTotalGreen}, // 総合
    {18, CellAlign::Centre, false, kBlack},    // 印
}};

// The racing authority's bracket colours, brackets 1 to 8.
struct BracketColours
{
    std::uint32_t background;
    std::uint32_t font;
};

constexpr std::array<BracketColours, 8> kBrackets = {{
    {0xFFFFFF, kBlack},
    {0x000000, kWhite},
    {0xFF0000, kWhite},
    {0x0000FF, kWhite},
    {0xFFFF00, kBlack},
    {0x008000, kWhite},
    {0xFF9900, kBlack},
    {0xFF66FF, kBlack},
}};

} // namespace

int FigureThreshold(const kol::GradeLabel& gradeLabel)
{
    return RulesOfGradeLabel(gradeLabel).figureThreshold;
}

std::uint32_t FigureBackground(const kol::GradeLabel& gradeLabel, int value,
                               std::uint32_t otherwise)
{
    const int threshold = FigureThreshold(gradeLabel);
    if (value < threshold) {
        return otherwise;
    }
    if (value < threshold + 10) {
        return 0x99FFFF;
    }
    return value < threshold + 20 ? 0xFFFF99 : 0xFF9999;
}

CellStyle Grid1CellStyle(const AnalysedRace& race, int row, int column)
{
    CellStyle style;
    if (column < 0 || column >= kGridColumns) {
        return style;
    }
    const ColumnLook& look = kColumns[static_cast<std::size_t>(column)];
    const bool isHeader = row == 0;
    const bool isRunner = row >= 1 && row <= static_cast<int>(race.runners.size());

    if (isHeader) {
        style.align = CellAlign::Centre;
        style.background = kHeaderGrey;
        style.font = kWhite;
    } else {
        style.align = look.align;
        style.background = kWhite;
        style.font = look.font;
        style.bold = look.bold;
    }
    if (!isHeader && !isRunner) {
        return style;
    }
    const AnalysedRunner* runner =
        isRunner ? &race.runners[static_cast<std::size_t>(row - 1)] : nullptr;

    if (column == kColBracket && runner) {
        style.bold = true;
        const int bracket = runner->bracketNumber;
        if (bracket >= 1 && bracket <= 8) {
            style.background = kBrackets[static_cast<std::size_t>(bracket - 1)].background;
            style.font = kBrackets[static_cast<std::size_t>(bracket - 1)].font;
        }
    }
    // The rule reads a cell as a number: the header's texts and "*" read as 0, below every
    // threshold, so the header keeps its grey and a run without a figure stays white.
    if (column >= kColRun5 && column <= kColRun1) {
        int value = 0;
        if (runner) {
            const int fx = runner->fx[static_cast<std::size_t>(RunOfColumn(column))];
            value = fx == kNoFigure ? 0 : fx;
        }
        style.background = FigureBackground(race.gradeLabel, value, style.background);
    }
    if (column == kColTotal && runner && race.markTable[0] != 0 &&
        runner->horseNumber == race.markTable[0]) {
        style.font = kTopPickRed;
    }
    return style;
}

int Grid1ColumnWidth(int column)
{
    if (column < 0 || column >= kGridColumns) {
        return 0;
    }
    return kColumns[static_cast<std::size_t>(column)].width;
}

} // namespace furlox
