#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/GridRules.h"
#include "base/Encoding.h"

using namespace furlox;

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kCyan = 0x99FFFF;
constexpr std::uint32_t kYellow = 0xFFFF99;
constexpr std::uint32_t kRed = 0xFF9999;

// A race whose runner r (1-based) shows figures[r - 1] in its 1前 cell.
AnalysedRace RaceWithFigures(std::string_view gradeUtf8, const std::vector<std::string>& figures)
{
    AnalysedRace race;
    race.gradeLabel = ToCp932(gradeUtf8);
    race.header = {ToCp932("枠"),   ToCp932("馬"),  ToCp932("馬　　名"), ToCp932("斤量"),
                   ToCp932("騎手"), ToCp932("5前"), ToCp932("4前"),      ToCp932("3前"),
                   ToCp932("2前"),  ToCp932("1前"), ToCp932("総合"),     ToCp932("印")};
    for (std::size_t i = 0; i < figures.size(); ++i) {
        GridRow row;
        row[kColBracket] = std::to_string(i % 8 + 1);
        row[kColHorseNumber] = std::to_string(i + 1);
        row[kColRun1] = figures[i];
        row[kColRun5] = figures[i];
        row[kColTotal] = figures[i];
        race.rows.push_back(row);
    }
    race.headCount = static_cast<int>(figures.size());
    return race;
}

std::vector<std::uint32_t> Backgrounds(const AnalysedRace& race, int column)
{
    std::vector<std::uint32_t> colours;
    for (int row = 1; row <= static_cast<int>(race.rows.size()); ++row) {
        colours.push_back(Grid1CellStyle(race, row, column).background);
    }
    return colours;
}

} // namespace

TEST(GridRules, FigureThresholds)
{
    const std::vector<std::string> values = {"79", "80", "89", "90", "99", "100", "*", "-5"};
    const std::vector<std::uint32_t> expected = {kWhite,  kCyan, kCyan,  kYellow,
                                                 kYellow, kRed,  kWhite, kWhite};
    const AnalysedRace race = RaceWithFigures("1000万", values);
    EXPECT_EQ(Backgrounds(race, kColRun1), expected);
    EXPECT_EQ(Backgrounds(race, kColRun5), expected);
    EXPECT_EQ(Backgrounds(RaceWithFigures("900万", values), kColRun1), expected);
    // Only the figure columns are coloured.
    EXPECT_EQ(Backgrounds(race, kColTotal), std::vector<std::uint32_t>(values.size(), kWhite));

    EXPECT_EQ(Backgrounds(RaceWithFigures("G1", {"119", "120", "130", "140"}), kColRun1),
              (std::vector<std::uint32_t>{kWhite, kCyan, kYellow, kRed}));
    EXPECT_EQ(Backgrounds(RaceWithFigures("新馬", {"59", "60", "70", "80"}), kColRun1),
              (std::vector<std::uint32_t>{kWhite, kCyan, kYellow, kRed}));
    EXPECT_EQ(Backgrounds(RaceWithFigures("500万", {"69", "70"}), kColRun1),
              (std::vector<std::uint32_t>{kWhite, kCyan}));
    EXPECT_EQ(Backgrounds(RaceWithFigures("1600万", {"89", "90"}), kColRun1),
              (std::vector<std::uint32_t>{kWhite, kCyan}));
    EXPECT_EQ(Backgrounds(RaceWithFigures("G2", {"109", "110"}), kColRun1),
              (std::vector<std::uint32_t>{kWhite, kCyan}));
    const std::vector<std::string> open = {"99", "100", "110", "120"};
    EXPECT_EQ(Backgrounds(RaceWithFigures("オープン", open), kColRun1),
              Backgrounds(RaceWithFigures("G3", open), kColRun1));
    EXPECT_EQ(Backgrounds(RaceWithFigures("G3", open), kColRun1),
              (std::vector<std::uint32_t>{kWhite, kCyan, kYellow, kRed}));

    EXPECT_EQ(FigureThreshold(ToCp932("未勝利")), 60);
    EXPECT_EQ(FigureThreshold(""), 60);
    EXPECT_EQ(FigureThreshold(ToCp932("1500万")), 90);
}

TEST(GridRules, BracketColoursAndDefaults)
{
    AnalysedRace race = RaceWithFigures("1000万", std::vector<std::string>(10, "50"));
    const std::uint32_t backgrounds[] = {0xFFFFFF, 0x000000, 0xFF0000, 0x0000FF,
                                         0xFFFF00, 0x008000, 0xFF9900, 0xFF66FF};
    const std::uint32_t fonts[] = {0x000000, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                                   0x000000, 0xFFFFFF, 0x000000, 0x000000};
    for (int bracket = 1; bracket <= 8; ++bracket) {
        const CellStyle style = Grid1CellStyle(race, bracket, kColBracket);
        EXPECT_EQ(style.background, backgrounds[bracket - 1]) << bracket;
        EXPECT_EQ(style.font, fonts[bracket - 1]) << bracket;
        EXPECT_TRUE(style.bold);
        EXPECT_EQ(style.align, CellAlign::Centre);
    }
    race.rows[0][kColBracket] = "0";
    race.rows[1][kColBracket] = "";
    race.rows[2][kColBracket] = "9";
    for (int row = 1; row <= 3; ++row) {
        const CellStyle style = Grid1CellStyle(race, row, kColBracket);
        EXPECT_EQ(style.background, kWhite) << row;
        EXPECT_EQ(style.font, 0x000000u) << row;
        EXPECT_TRUE(style.bold) << row;
    }

    const CellAlign aligns[] = {CellAlign::Centre, CellAlign::Right, CellAlign::Left,
                                CellAlign::Right,  CellAlign::Left,  CellAlign::Right,
                                CellAlign::Right,  CellAlign::Right, CellAlign::Right,
                                CellAlign::Right,  CellAlign::Right, CellAlign::Centre};
    for (int column = 0; column < kGridColumns; ++column) {
        const CellStyle cell = Grid1CellStyle(race, 4, column);
        EXPECT_EQ(cell.align, aligns[column]) << column;
        EXPECT_EQ(cell.bold, column == kColBracket || column == kColTotal) << column;
        if (column != kColBracket) {
            EXPECT_EQ(cell.font, column == kColTotal ? 0x008000u : 0x000000u) << column;
        }
        const CellStyle head = Grid1CellStyle(race, 0, column);
        EXPECT_EQ(head.align, CellAlign::Centre) << column;
        EXPECT_EQ(head.background, 0x808080u) << column;
        EXPECT_EQ(head.font, kWhite) << column;
    }

    // Rows and columns outside the grid get plain defaults rather than a crash.
    EXPECT_EQ(Grid1CellStyle(race, 11, kColRun1).background, kWhite);
    EXPECT_EQ(Grid1CellStyle(race, -1, kColBracket).background, kWhite);
    EXPECT_EQ(Grid1CellStyle(race, 1, 12).background, kWhite);
}

TEST(GridRules, TopPickTotalInRed)
{
    AnalysedRace race = RaceWithFigures("1000万", {"50", "60", "70"});
    EXPECT_EQ(Grid1CellStyle(race, 3, kColTotal).font, 0x008000u); // no ◎: nothing red

    race.markTable = {3, 2, 1, 0, 0, 0, 0};
    EXPECT_EQ(Grid1CellStyle(race, 3, kColTotal).font, 0xFF0000u);
    EXPECT_TRUE(Grid1CellStyle(race, 3, kColTotal).bold);
    EXPECT_EQ(Grid1CellStyle(race, 2, kColTotal).font, 0x008000u);
    EXPECT_EQ(Grid1CellStyle(race, 3, kColRun1).font, 0x000000u);
    EXPECT_EQ(Grid1CellStyle(race, 0, kColTotal).font, kWhite);
}

TEST(GridRules, ColumnWidths)
{
    const int widths[] = {18, 18, 116, 30, 42, 36, 36, 36, 36, 36, 42, 18};
    for (int column = 0; column < kGridColumns; ++column) {
        EXPECT_EQ(Grid1ColumnWidth(column), widths[column]) << column;
    }
    EXPECT_EQ(Grid1ColumnWidth(-1), 0);
    EXPECT_EQ(Grid1ColumnWidth(12), 0);
}
