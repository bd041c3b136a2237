#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/FxValue.h"
#include "analysis/GridRules.h"
#include "analysis/RaceAnalysis.h"
#include "kol/KolRecords.h"
#include "support/KolBuilder.h"

using namespace furlox;
using furlox::test::KolBuilder;
namespace rc = furlox::kol::race;
namespace en = furlox::kol::entry;

namespace {

constexpr int X = kNoFigure;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kCyan = 0x99FFFF;
constexpr std::uint32_t kYellow = 0xFFFF99;
constexpr std::uint32_t kRed = 0xFF9999;

// A race of the given class and grade codes whose runner r (1-based) shows figures[r - 1] as
// its latest and its fifth run back (in 1前 and 5前); X leaves both without a figure.
AnalysedRace RaceWithFigures(const char* classCode, const char* gradeCode,
                             const std::vector<int>& figures)
{
    KolBuilder b;
    b.AddRace().Set(rc::kClassCode, classCode).Set(rc::kGradeCode, gradeCode);
    for (int figure : figures) {
        b.AddRunner().Figures({figure, X, X, X, figure});
    }
    return AnalyseRace(b.Build(), 0);
}

std::vector<std::uint32_t> Backgrounds(const AnalysedRace& race, int column)
{
    std::vector<std::uint32_t> colours;
    for (int row = 1; row <= static_cast<int>(race.runners.size()); ++row) {
        colours.push_back(Grid1CellStyle(race, row, column).background);
    }
    return colours;
}

// The backgrounds of the latest run's cells for these figures in a race of that class.
std::vector<std::uint32_t> Latest(const char* classCode, const char* gradeCode,
                                  const std::vector<int>& figures)
{
    return Backgrounds(RaceWithFigures(classCode, gradeCode, figures), kColRun1);
}

} // namespace

TEST(GridRules, FigureThresholds)
{
    const std::vector<int> values = {79, 80, 89, 90, 99, 100, X, -5};
    const std::vector<std::uint32_t> expected = {kWhite,  kCyan, kCyan,  kYellow,
                                                 kYellow, kRed,  kWhite, kWhite};
    const AnalysedRace race = RaceWithFigures("10000", " ", values); // 1000万
    EXPECT_EQ(Backgrounds(race, kColRun1), expected);
    EXPECT_EQ(Backgrounds(race, kColRun5), expected);
    EXPECT_EQ(Latest("09000", " ", values), expected); // 900万
    // Only the figure columns are coloured.
    EXPECT_EQ(Backgrounds(race, kColTotal), std::vector<std::uint32_t>(values.size(), kWhite));

    // Each grade label's threshold T, worked out from the figure that first turns cyan.
    EXPECT_EQ(Latest("00004", "0", {119, 120, 130, 140}), // G1: 120
              (std::vector<std::uint32_t>{kWhite, kCyan, kYellow, kRed}));
    EXPECT_EQ(Latest("00001", " ", {59, 60, 70, 80}), // 新馬: the 60 of any other label
              (std::vector<std::uint32_t>{kWhite, kCyan, kYellow, kRed}));
    EXPECT_EQ(Latest("00003", " ", {59, 60}), (std::vector<std::uint32_t>{kWhite, kCyan}));
    EXPECT_EQ(Latest("05000", " ", {69, 70}), (std::vector<std::uint32_t>{kWhite, kCyan}));
    EXPECT_EQ(Latest("15000", " ", {89, 90}), (std::vector<std::uint32_t>{kWhite, kCyan}));
    EXPECT_EQ(Latest("16000", " ", {89, 90}), (std::vector<std::uint32_t>{kWhite, kCyan}));
    EXPECT_EQ(Latest("00004", "1", {109, 110}), (std::vector<std::uint32_t>{kWhite, kCyan}));
    EXPECT_EQ(Latest("07000", " ", {59, 60}), (std::vector<std::uint32_t>{kWhite, kCyan}));
    const std::vector<int> open = {99, 100, 110, 120};
    EXPECT_EQ(Latest("00004", " ", open), Latest("00004", "2", open)); // オープン and G3 alike
    EXPECT_EQ(Latest("00004", "2", open),
              (std::vector<std::uint32_t>{kWhite, kCyan, kYellow, kRed}));
    // A steeplechase grade gives no label of its own: an open JG1 race colours as オープン.
    EXPECT_EQ(Latest("00004", "3", open), Latest("00004", " ", open));

    auto label = [](const char* classCode) {
        return kol::MakeGradeLabel(kol::Grade::None, kol::ReadClassCode(classCode));
    };
    EXPECT_EQ(FigureThreshold(label("00003")), 60); // 未勝利
    EXPECT_EQ(FigureThreshold(label("")), 60);
    EXPECT_EQ(FigureThreshold(label("15000")), 90);
}

TEST(GridRules, BracketColoursAndDefaults)
{
    KolBuilder b;
    b.AddRace().Set(rc::kClassCode, "10000");
    for (int i = 0; i < 11; ++i) {
        b.AddRunner().Figures({50});
    }
    // Runners 1-8 carry the brackets 1-8; 9-11 a bracket field of 0, blank and 9.
    auto& runners = b.race(0).runners;
    runners[8].SetEntry(en::kBracket, "0");
    runners[9].SetEntry(en::kBracket, " ");
    runners[10].SetEntry(en::kBracket, "9");
    const AnalysedRace race = AnalyseRace(b.Build(), 0);

    struct
    {
        std::uint32_t background;
        std::uint32_t font;
    } const brackets[] = {
        {0xFFFFFF, 0x000000}, // 1 white, black text
        {0x000000, 0xFFFFFF}, // 2 black
        {0xFF0000, 0xFFFFFF}, // 3 red
        {0x0000FF, 0xFFFFFF}, // 4 blue
        {0xFFFF00, 0x000000}, // 5 yellow
        {0x008000, 0xFFFFFF}, // 6 green
        {0xFF9900, 0x000000}, // 7 orange
        {0xFF66FF, 0x000000}, // 8 pink
    };
    for (int bracket = 1; bracket <= 8; ++bracket) {
        const CellStyle style = Grid1CellStyle(race, bracket, kColBracket);
        EXPECT_EQ(style.background, brackets[bracket - 1].background) << bracket;
        EXPECT_EQ(style.font, brackets[bracket - 1].font) << bracket;
        EXPECT_TRUE(style.bold);
        EXPECT_EQ(style.align, CellAlign::Centre);
    }
    for (int row = 9; row <= 11; ++row) {
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
    EXPECT_EQ(Grid1CellStyle(race, 12, kColRun1).background, kWhite);
    EXPECT_EQ(Grid1CellStyle(race, -1, kColBracket).background, kWhite);
    EXPECT_EQ(Grid1CellStyle(race, 1, 12).background, kWhite);
}

TEST(GridRules, TopPickTotalInRed)
{
    // No runner has a figure: no ◎, nothing red.
    const AnalysedRace none = RaceWithFigures("10000", " ", {X, X, X});
    EXPECT_EQ(Grid1CellStyle(none, 3, kColTotal).font, 0x008000u);

    // Horse 3 has the best total and is ◎.
    const AnalysedRace race = RaceWithFigures("10000", " ", {50, 60, 70});
    ASSERT_EQ(race.markTable[0], 3);
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
