#include "analysis/GridRules.h"

#include <array>
#include <string>

#include "base/Encoding.h"
#include "kol/KolHen.h"

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

// The figure a runner needs to stand out in a race of this class; anything below it stays
// white. Unlisted labels (新馬, 未勝利, …) take the lowest threshold.
struct ThresholdRow
{
    const std::string& gradeLabel;
    int threshold;
};

const std::array<ThresholdRow, 9>& Thresholds()
{
    static const std::array<ThresholdRow, 9> rows = {{
        {"500万"_sj, 70},
        {"900万"_sj, 80},
        {"1000万"_sj, 80},
        {"1500万"_sj, 90},
        {"1600万"_sj, 90},
        {"オープン"_sj, 100},
        {"G3"_sj, 100},
        {"G2"_sj, 110},
        {"G1"_sj, 120},
    }};
    return rows;
}
constexpr int kOtherThreshold = 60;

} // namespace

int FigureThreshold(std::string_view gradeLabel)
{
    for (const ThresholdRow& row : Thresholds()) {
        if (row.gradeLabel == gradeLabel) {
            return row.threshold;
        }
    }
    return kOtherThreshold;
}

std::uint32_t FigureBackground(std::string_view gradeLabel, int value, std::uint32_t otherwise)
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
    const bool isRunner = row >= 1 && row <= static_cast<int>(race.rows.size());

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
    const GridRow& cells = isHeader ? race.header : race.rows[static_cast<std::size_t>(row - 1)];
    const std::string& text = cells[static_cast<std::size_t>(column)];

    if (column == kColBracket && isRunner) {
        style.bold = true;
        const int bracket = kol::LenientNumber(text);
        if (bracket >= 1 && bracket <= 8) {
            style.background = kBrackets[static_cast<std::size_t>(bracket - 1)].background;
            style.font = kBrackets[static_cast<std::size_t>(bracket - 1)].font;
        }
    }
    // The header's texts read as 0, below every threshold, so it keeps its grey.
    if (column >= kColRun5 && column <= kColRun1) {
        style.background =
            FigureBackground(race.gradeLabel, kol::LenientNumber(text), style.background);
    }
    if (column == kColTotal && isRunner && race.markTable[0] != 0 &&
        kol::LenientNumber(cells[kColHorseNumber]) == race.markTable[0]) {
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
