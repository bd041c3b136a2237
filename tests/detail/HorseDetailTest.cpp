#include <gtest/gtest.h>

#include "analysis/FxValue.h"
#include "analysis/RaceAnalysis.h"
#include "base/Encoding.h"
#include "base/Error.h"
#include "detail/HorseDetail.h"
#include "kol/KolRecords.h"
#include "support/KolBuilder.h"

using namespace furlox;
using furlox::test::KolBuilder;
using furlox::test::PastRun;
using furlox::test::Runner;
namespace pr = furlox::kol::pastrun;
namespace hf = furlox::kol::horse;

namespace {

std::string U(std::string_view cp932)
{
    return ToUtf8(cp932);
}

// Real horse records always carry their prizes; blanks are not a number.
Runner& Prizes(Runner& r, const char* main = "0000000000", const char* part1 = "0000000000",
               const char* part2 = "0000000000")
{
    return r.SetHorse(hf::kMainPrize, main)
        .SetHorse(hf::kPrizePart1, part1)
        .SetHorse(hf::kPrizePart2, part2);
}

// Detail data of runner `index` of race 0 of the builder's day.
HorseDetail Detail(const KolBuilder& b, int index = 0, int race = 0)
{
    const kol::RaceDay day = b.Build();
    return BuildHorseDetail(day, AnalyseRace(day, race), index);
}

// Writes four counts of two digits into record-table group g.
void Group(Runner& r, int g, const char* counts)
{
    r.SetHorse({hf::kRecordTablePos + 8 * g, 8}, counts);
}

// The cells of past run `run` (0 = latest), which sits in grid row 5 - run.
const PastRunRow& RowOfRun(const HorseDetail& d, int run)
{
    return d.rows[static_cast<std::size_t>(kPastRunRows - 1 - run)];
}

std::vector<std::string> CellsUtf8(const PastRunRow& row)
{
    std::vector<std::string> cells;
    for (const std::string& c : row.cells) {
        cells.push_back(U(c));
    }
    return cells;
}

} // namespace

TEST(HorseDetail, LabelsFromTheHorseRecord)
{
    KolBuilder b;
    Runner& r = b.AddRunner();
    Prizes(r)
        .SetHorse(hf::kHorseMarkCode, "06")
        .SetHorse(hf::kBreedingAreaCode, "003")
        .SetHorse(hf::kBreeder, "  下河辺牧場  ")
        .SetHorse(hf::kOwner, " 馬主一郎")
        .SetHorse(hf::kTrainer, "調教師 ")
        .SetHorse(hf::kSire, "父馬")
        .SetHorse(hf::kDam, "母馬")
        .SetHorse(hf::kDamSire, "母父馬")
        .SetHorse(hf::kDamDam, "母母馬")
        .SetHorse(hf::kCareerFirsts, "001")
        .SetHorse(hf::kCareerSeconds, " 12")
        .SetHorse(hf::kCareerThirds, "100")
        .SetHorse(hf::kCareerUnplaced, "x1 ");
    b.AddRunner().SetHorse(hf::kHorseMarkCode, "00");
    Prizes(b.race(0).runners[1]);

    const HorseDetail d = Detail(b);
    EXPECT_EQ(U(d.lblSeinen), "牡4   鹿毛  ");
    EXPECT_EQ(U(d.lblUmaKigou), "(外)");
    EXPECT_EQ(U(d.lblSanti), "産地：浦河  ");
    EXPECT_EQ(U(d.lblSeisansya), "生産者：下河辺牧場");
    EXPECT_EQ(U(d.lblBanusi), "馬主：馬主一郎");
    EXPECT_EQ(U(d.lblChokyosi), "調教師：調教師");
    EXPECT_EQ(U(d.lblTiti), "父：父馬");
    EXPECT_EQ(U(d.lblHaha), "母：母馬");
    EXPECT_EQ(U(d.lblHahaTiti), "母父：母父馬");
    EXPECT_EQ(U(d.lblHahaHaha), "母母：母母馬");
    // Counts are read leniently: a count that is not a number is 0.
    EXPECT_EQ(d.lblRecord[0], "  1 12100  0");
    EXPECT_EQ(CoatPictureName(d.coatPicture), "Image3");
    EXPECT_EQ(Detail(b, 1).lblUmaKigou, "");

    const auto labels = HorseDetailLabels(d);
    ASSERT_EQ(labels.size(), 23u);
    EXPECT_EQ(labels.front().first, "lblSeinen");
    EXPECT_EQ(labels[12].first, "lbl1");
    EXPECT_EQ(labels.back().first, "lbl11");
    EXPECT_EQ(labels.back().second, &d.lblRecord[10]);
}

TEST(HorseDetail, PrizesInTenThousandYen)
{
    KolBuilder b;
    Prizes(b.AddRunner(), "0000009999", "0000005000", "0000004999");
    Prizes(b.AddRunner(), "0000012345", "0100000000", "0023456789");
    // Ten digits of yen do not fit in 32 bits; the sum must not wrap either.
    Prizes(b.AddRunner(), "9999999999", "9999999999", "9999999999");
    Prizes(b.AddRunner(), "  00010000", "0000000000", "0000000000");

    EXPECT_EQ(U(Detail(b, 0).lblSouSyokin), "総賞金：0万円");
    EXPECT_EQ(U(Detail(b, 0).lblHonSyokin), "本賞金：0万円");
    EXPECT_EQ(U(Detail(b, 1).lblSouSyokin), "総賞金：12345万円");
    EXPECT_EQ(U(Detail(b, 1).lblHonSyokin), "本賞金：1万円");
    EXPECT_EQ(U(Detail(b, 2).lblSouSyokin), "総賞金：1999999万円");
    EXPECT_EQ(U(Detail(b, 2).lblHonSyokin), "本賞金：999999万円");
    EXPECT_EQ(U(Detail(b, 3).lblHonSyokin), "本賞金：1万円");
}

TEST(HorseDetail, APrizeThatIsNotANumberIsAConversionError)
{
    const char* bad[] = {"00001234x5", "          ", "0000 12345", "-"};
    for (const char* text : bad) {
        KolBuilder b;
        Prizes(b.AddRunner(), "0000000000", "0000000000", text);
        std::string field(text);
        field.resize(10, ' '); // the builder fills the field with blanks
        try {
            Detail(b);
            ADD_FAILURE() << "no error for '" << text << "'";
        } catch (const ConvertError& e) {
            EXPECT_EQ(U(e.what()), "'" + field + "' は整数ではありません");
        }
    }
    KolBuilder b;
    Prizes(b.AddRunner(), "12345678901");
    EXPECT_EQ(U(Detail(b).lblHonSyokin), "本賞金：123456万円"); // the field is ten bytes
}

TEST(HorseDetail, RecordCountsByCategoryAndTheSteeplechaseRace)
{
    KolBuilder b;
    Runner& r = Prizes(b.AddRunner());
    Group(r, 0, "09090909"); // groups 0 and 1 are never shown
    Group(r, 2, "01020304");
    Group(r, 3, "01000001");
    Group(r, 10, "00000002");
    Group(r, 27, "05000000");
    Group(r, 20, "01010101");
    Group(r, 23, "10101010");
    Group(r, 35, "00010000");
    Group(r, 31, "0a000003");

    HorseDetail d = Detail(b);
    EXPECT_EQ(d.lblRecord[1], "  2  2  3  5");  // 全芝: groups 2 and 3
    EXPECT_EQ(d.lblRecord[2], "  0  0  0  2");  // 芝重
    EXPECT_EQ(d.lblRecord[3], "  5  0  0  0");  // 芝2300M～
    EXPECT_EQ(d.lblRecord[4], "  0  0  0  0");  // 芝～2200M
    EXPECT_EQ(d.lblRecord[5], " 11 11 11 11");  // 芝～1600M: groups 20 to 23
    EXPECT_EQ(d.lblRecord[6], "  0  0  0  0");  // 全ダ
    EXPECT_EQ(d.lblRecord[8], "  0  1  0  0");  // ダ2300M～
    EXPECT_EQ(d.lblRecord[10], "  0  0  0  3"); // ダ～1600M, "0a" reads as 0

    // In a steeplechase race the ten categories are blank; the career record stays.
    b.race(0).Set(kol::race::kSteeplechaseFlag, "1");
    r.SetHorse(hf::kCareerFirsts, "003");
    d = Detail(b);
    EXPECT_EQ(d.lblRecord[0], "  3  0  0  0");
    for (std::size_t i = 1; i < d.lblRecord.size(); ++i) {
        EXPECT_EQ(d.lblRecord[i], "") << "lbl" << i + 1;
    }
}

TEST(HorseDetail, CoatPictureAndChartRange)
{
    struct
    {
        const char* code;
        const char* picture;
    } coats[] = {{"02", "Image2"}, {"11", "Image11"}, {"13", "Image3"}, {"  ", "Image3"}};
    for (const auto& coat : coats) {
        KolBuilder b;
        Prizes(b.AddRunner()).SetHorse(hf::kCoatColourCode, coat.code);
        EXPECT_EQ(CoatPictureName(Detail(b).coatPicture), coat.picture) << coat.code;
    }

    struct
    {
        const char* classCode;
        const char* grade;
        int max;
        int min;
    } ranges[] = {
        // Every row of the chart range by the race's grade label: G1, G2, G3, オープン (and
        // an open race graded JG1, which labels by its class), 1500万, 1000万, 900万, 500万;
        // 1600万, 新馬 and 未勝利 keep the default axis.
        {"00004", "0", 150, 0},   {"00004", "1", 140, -10}, {"00004", "2", 140, -10},
        {"00004", " ", 135, -15}, {"00004", "3", 135, -15}, {"15000", " ", 130, -20},
        {"10000", " ", 125, -25}, {"09000", " ", 125, -25}, {"05000", " ", 120, -30},
        {"16000", " ", 110, -40}, {"00001", " ", 110, -40}, {"00003", " ", 110, -40},
    };
    for (const auto& range : ranges) {
        KolBuilder b;
        b.AddRace()
            .Set(kol::race::kClassCode, range.classCode)
            .Set(kol::race::kGradeCode, range.grade);
        Prizes(b.AddRunner());
        const HorseDetail d = Detail(b);
        EXPECT_EQ(d.chartMax, range.max) << range.classCode << range.grade;
        EXPECT_EQ(d.chartMin, range.min) << range.classCode << range.grade;
    }
}

TEST(HorseDetail, APastRunRowAndItsChartPoint)
{
    KolBuilder b;
    Prizes(b.AddRunner()).Run(0, PastRun{}).Run(2, PastRun{}.With(pr::kFigureFinish, "00"));
    const HorseDetail d = Detail(b);

    EXPECT_EQ(CellsUtf8(RowOfRun(d, 0)),
              (std::vector<std::string>{"東京05/13", "テスト", "1000万", "芝1600M良", "1.34.5",
                                        "16頭", " 3人", " 3着", "34.5", "⑥⑥⑤④", "騎手一郎", "55.0",
                                        "480kg", " 5番", "0.3", "ライバル"}));
    EXPECT_EQ(RowOfRun(d, 0).state, kRunNormal);
    EXPECT_EQ(U(Grid2RowHeader(5)), "1走前");
    EXPECT_EQ(U(Grid2RowHeader(1)), "5走前");

    // Run 2 has no figure but is listed; runs 1, 3 and 4 do not exist.
    EXPECT_EQ(U(RowOfRun(d, 2).cells[0]), "東京05/13");
    for (int run : {1, 3, 4}) {
        for (const std::string& cell : RowOfRun(d, run).cells) {
            EXPECT_EQ(cell, "") << "run " << run;
        }
        EXPECT_EQ(RowOfRun(d, run).state, kRunNormal);
    }
    ASSERT_EQ(d.points.size(), 1u);
    EXPECT_EQ(d.points[0].x, 1);
    EXPECT_EQ(d.points[0].y, 96);
    EXPECT_EQ(U(d.points[0].label), "1走前");
}

TEST(HorseDetail, MarginSignAndTheWinnersColour)
{
    KolBuilder b;
    const PastRun winner = PastRun{}.With(pr::kFinish, "01").With(pr::kFigureFinish, "01");
    Prizes(b.AddRunner())
        .Run(0, winner)
        .Run(1, winner.With(pr::kMargin, "998"))
        .Run(2, PastRun{}.With(pr::kMargin, "998"))
        .Run(3, PastRun{}.With(pr::kMargin, "125"))
        .Run(4, PastRun{}.With(pr::kMargin, " 7 "));
    const HorseDetail d = Detail(b);
    EXPECT_EQ(RowOfRun(d, 0).cells[14], "-0.3");
    EXPECT_EQ(RowOfRun(d, 1).cells[14], "0.0");
    EXPECT_EQ(RowOfRun(d, 2).cells[14], "0.0");
    EXPECT_EQ(RowOfRun(d, 3).cells[14], "12.5");
    EXPECT_EQ(RowOfRun(d, 4).cells[14], "0.0"); // a margin with a trailing blank reads as 0

    // The winner's finish cell is red; the rest of its row keeps the row's colour.
    EXPECT_EQ(Grid2CellStyle(d, 5, 8).font, 0xFF0000u);
    EXPECT_EQ(Grid2CellStyle(d, 5, 7).font, 0x000000u);
    EXPECT_EQ(Grid2CellStyle(d, 1, 8).font, 0x000000u);
}

TEST(HorseDetail, ARunWithoutTimeIsGreyAndItsFieldsLeftEmpty)
{
    KolBuilder b;
    const PastRun scratched = PastRun{}
                                  .With(pr::kPopularity, "34")
                                  .With(pr::kFinish, "34")
                                  .With(pr::kFigureFinish, "  ")
                                  .With(pr::kTimeMinutes, " ")
                                  .With(pr::kTimeSeconds, "  ")
                                  .With(pr::kTimeTenths, " ")
                                  .With(pr::kMargin, "003")
                                  .With(pr::kHeadCount, "00")
                                  .With(pr::kLast3F, "   ")
                                  .With(pr::kWeightCarried, "   ")
                                  .With(pr::kBodyWeight, "   ")
                                  .With(pr::kHorseNumber, "  ");
    Prizes(b.AddRunner())
        .Run(0, scratched)
        .Run(1, scratched.With(pr::kPopularity, "35").With(pr::kFinish, "35"))
        .Run(2, scratched.With(pr::kPopularity, "00").With(pr::kFinish, "31"))
        .Run(3, scratched.With(pr::kPopularity, "  ").With(pr::kFinish, "33"));
    const HorseDetail d = Detail(b);

    const std::vector<std::string> cells = CellsUtf8(RowOfRun(d, 0));
    EXPECT_EQ(cells[4], ""); // time
    EXPECT_EQ(cells[5], ""); // head count 0
    EXPECT_EQ(cells[6], "取消");
    EXPECT_EQ(cells[7], "取消");
    EXPECT_EQ(cells[8], "");  // last three furlongs
    EXPECT_EQ(cells[11], ""); // weight carried
    EXPECT_EQ(cells[12], ""); // body weight
    EXPECT_EQ(cells[13], ""); // horse number
    EXPECT_EQ(cells[14], ""); // no margin without a time
    EXPECT_EQ(cells[15], "ライバル");
    EXPECT_EQ(RowOfRun(d, 0).state, kRunNoTime);
    EXPECT_EQ(Grid2CellStyle(d, 5, 1).font, 0x808080u);

    EXPECT_EQ(U(RowOfRun(d, 1).cells[6]), "除外");
    EXPECT_EQ(U(RowOfRun(d, 1).cells[7]), "除外");
    EXPECT_EQ(U(RowOfRun(d, 2).cells[6]), "");
    EXPECT_EQ(U(RowOfRun(d, 2).cells[7]), "落馬");
    EXPECT_EQ(U(RowOfRun(d, 3).cells[6]), "");
    EXPECT_EQ(U(RowOfRun(d, 3).cells[7]), "中止");
    EXPECT_TRUE(d.points.empty());
}

TEST(HorseDetail, RowStatesForSteeplechaseAndOtherCourses)
{
    KolBuilder b;
    Prizes(b.AddRunner())
        .Run(0, PastRun{}.With(pr::kSteeplechaseFlag, "1"))
        .Run(1, PastRun{}
                    .With(pr::kCourseCode, "10")
                    .With(pr::kTimeMinutes, " ")
                    .With(pr::kTimeSeconds, "  ")
                    .With(pr::kTimeTenths, " "))
        .Run(2, PastRun{}.With(pr::kCourseCode, "47"))
        .Run(3, PastRun{}.With(pr::kCourseCode, "93"))
        .Run(4, PastRun{}.With(pr::kTurfFlag, "0").With(pr::kGoingCode, "3"));
    const HorseDetail d = Detail(b);

    EXPECT_EQ(U(RowOfRun(d, 0).cells[3]), "障1600M良");
    EXPECT_EQ(RowOfRun(d, 0).state, kRunSteeplechase);
    EXPECT_EQ(Grid2CellStyle(d, 5, 4).font, 0x800000u);
    // A local track is blue even without a time.
    EXPECT_EQ(U(RowOfRun(d, 1).cells[0]), "大井05/13");
    EXPECT_EQ(RowOfRun(d, 1).state, kRunOtherCourse);
    EXPECT_EQ(Grid2CellStyle(d, 4, 16).font, 0x0000FFu);
    // A course in the table without a name still holds a run.
    EXPECT_EQ(RowOfRun(d, 2).cells[0], "05/13");
    EXPECT_EQ(RowOfRun(d, 2).state, kRunOtherCourse);
    // A course the table does not know means no run at all.
    EXPECT_EQ(RowOfRun(d, 3).cells[0], "");
    EXPECT_EQ(RowOfRun(d, 3).state, kRunNormal);
    EXPECT_EQ(U(RowOfRun(d, 4).cells[3]), "ダ1600M不");
    EXPECT_EQ(RowOfRun(d, 4).state, kRunNormal);
    // Only the dirt run at 東京 has a figure.
    ASSERT_EQ(d.points.size(), 1u);
    EXPECT_EQ(d.points[0].x, 5);
}

TEST(HorseDetail, AHorseRecordCutShortReadsAsBlankFields)
{
    KolBuilder b;
    Runner& r = Prizes(b.AddRunner()).Run(0, PastRun{}).Run(1, PastRun{});
    // Run 0 ends right after its jockey name; run 1 is gone.
    r.horse.Truncate(hf::kPastRunsPos - 1 + pr::kJockey.pos + pr::kJockey.len - 1);
    const HorseDetail d = Detail(b);
    const std::vector<std::string> cells = CellsUtf8(RowOfRun(d, 0));
    EXPECT_EQ(cells[0], "東京05/13");
    EXPECT_EQ(cells[9], "　　　　");
    EXPECT_EQ(cells[10], "騎手一郎");
    EXPECT_EQ(cells[11], "55.0");
    EXPECT_EQ(cells[13], " 5番");
    for (int c : {4, 6, 7, 8, 14, 15}) {
        EXPECT_EQ(cells[static_cast<std::size_t>(c)], "") << "column " << c + 1;
    }
    EXPECT_EQ(RowOfRun(d, 0).state, kRunNoTime);
    EXPECT_EQ(RowOfRun(d, 1).cells[0], "");
}

TEST(HorseDetail, RunnerListAndRunnerRange)
{
    KolBuilder b;
    for (int i = 0; i < 10; ++i) {
        Prizes(b.AddRunner());
    }
    const kol::RaceDay day = b.Build();
    const AnalysedRace race = AnalyseRace(day, 0);
    const std::vector<std::string> items = RunnerListTexts(race);
    ASSERT_EQ(items.size(), 10u);
    EXPECT_EQ(U(items[0]), " 1 テストホース01    ");
    EXPECT_EQ(U(items[9]), "10 テストホース10    ");

    EXPECT_THROW(BuildHorseDetail(day, race, -1), Error);
    EXPECT_THROW(BuildHorseDetail(day, race, 10), Error);
    EXPECT_NO_THROW(BuildHorseDetail(day, race, 9));
}

TEST(HorseDetail, TheRunnersOfALaterRaceReadTheirOwnHorseLines)
{
    KolBuilder b;
    b.AddRace();
    Prizes(b.AddRunner()).SetHorse(hf::kSire, "最初の父");
    Prizes(b.AddRunner());
    b.AddRace();
    Prizes(b.AddRunner()).SetHorse(hf::kSire, "二番目の父");
    const HorseDetail d = Detail(b, 0, 1);
    EXPECT_EQ(U(d.lblTiti), "父：二番目の父");
}

// The chart's drawn axis: the specified range while every point fits, widened by whole lines
// of 30 on the side a point leaves it.
TEST(HorseDetail, DrawnChartAxisTakesEveryPointIn)
{
    const auto axisFor = [](int min, int max, std::initializer_list<int> values) {
        HorseDetail d;
        d.chartMin = min;
        d.chartMax = max;
        for (int value : values) {
            d.points.push_back({1, value, ""});
        }
        return DrawnChartAxis(d);
    };
    // Points on and inside the edges keep the specified range.
    EXPECT_EQ(axisFor(-40, 110, {110, -40, 0}), (ChartAxis{-40, 110, 30}));
    EXPECT_EQ(axisFor(-40, 110, {}), (ChartAxis{-40, 110, 30}));
    // 113 above the 110 line, -16 below a G1 race's 0.
    EXPECT_EQ(axisFor(-40, 110, {113}), (ChartAxis{-40, 140, 30}));
    EXPECT_EQ(axisFor(0, 150, {-16, 40}), (ChartAxis{-30, 150, 30}));
    EXPECT_EQ(axisFor(0, 150, {-30}), (ChartAxis{-30, 150, 30}));
    EXPECT_EQ(axisFor(-15, 135, {136, -46}), (ChartAxis{-75, 165, 30}));

    // A figure far outside: the lines thin out to at most ten, and the top closes on a line.
    const ChartAxis far = axisFor(-40, 110, {500});
    EXPECT_EQ(far, (ChartAxis{-40, 500, 60}));
    const ChartAxis huge = axisFor(-40, 110, {99999, -9998});
    EXPECT_LE(huge.min, -9998);
    EXPECT_GE(huge.max, 99999);
    EXPECT_EQ(huge.step % 30, 0);
    EXPECT_EQ((huge.max - huge.min) % huge.step, 0);
    EXPECT_LE((huge.max - huge.min) / huge.step, 10);
}

// The detail data keeps the specified range for the CLI; only the drawn axis widens.
TEST(HorseDetail, ASpecifiedRangeStaysInTheDetailData)
{
    KolBuilder b;
    Prizes(b.AddRunner()).Figures({130, 20}); // in a 1000万 race: 125 to -25
    const HorseDetail d = Detail(b);
    ASSERT_EQ(d.points.size(), 2u);
    EXPECT_EQ(d.points[0].y, 130);
    EXPECT_EQ(d.chartMax, 125);
    EXPECT_EQ(d.chartMin, -25);
    EXPECT_EQ(DrawnChartAxis(d), (ChartAxis{-25, 155, 30}));
}
