#include <gtest/gtest.h>

#include "analysis/FxValue.h"
#include "base/Encoding.h"
#include "support/KolBuilder.h"

using namespace furlox;
using furlox::test::HorseLineWith;
using furlox::test::PastRun;
namespace pr = furlox::kol::pastrun;

namespace {

int Fx(const PastRun& run)
{
    return CalcFxValue(HorseLineWith(run), 0);
}

} // namespace

TEST(FxValue, WorkedExamples)
{
    // 1000万, 16 runners, 3rd, 34.5, corners 5 and 4, margin 0.3: 440+16-3-345-5-4-3.
    EXPECT_EQ(Fx(PastRun{}), 96);
    EXPECT_EQ(Fx(PastRun{}.With(pr::kTurfFlag, "0")), 111);
    PastRun winner = PastRun{}
                         .With(pr::kFigureFinish, "01")
                         .With(pr::kCorner3, "02")
                         .With(pr::kCorner4, "02")
                         .With(pr::kLast3F, "339")
                         .With(pr::kMargin, "002");
    EXPECT_EQ(Fx(winner), 114);
}

TEST(FxValue, FinishingPositionExits)
{
    for (const char* finish : {"  ", "00", "31", "32", "33", "34", "35", "99"}) {
        EXPECT_EQ(Fx(PastRun{}.With(pr::kFigureFinish, finish)), kNoFigure) << finish;
    }
    EXPECT_EQ(Fx(PastRun{}.With(pr::kFigureFinish, "30")), 96 + 3 - 30);
    // Not a number: it reads as finish 0 and the run is still rated (and not as a winner).
    EXPECT_EQ(Fx(PastRun{}.With(pr::kFigureFinish, "1 ")), 99);
    // The finish the detail window shows is another field; the figure never reads it.
    EXPECT_EQ(Fx(PastRun{}.With(pr::kFinish, "01")), 96);
    EXPECT_EQ(Fx(PastRun{}.With(pr::kFinish, "33")), 96);
}

TEST(FxValue, OnlyTheTenCoursesAndNoSteeplechase)
{
    for (const char* code : {"00", "01", "02", "03", "04", "05", "06", "08", "09"}) {
        EXPECT_EQ(Fx(PastRun{}.With(pr::kCourseCode, code)), 96) << code;
    }
    EXPECT_EQ(Fx(PastRun{}.With(pr::kCourseCode, "07")), 96); // 新潟, not over 1000 m
    for (const char* code : {"10", "35", "41", "47", "61", "99", "  ", "4 "}) {
        EXPECT_EQ(Fx(PastRun{}.With(pr::kCourseCode, code)), kNoFigure) << code;
    }
    EXPECT_EQ(Fx(PastRun{}.With(pr::kSteeplechaseFlag, "1")), kNoFigure);
    EXPECT_EQ(Fx(PastRun{}.With(pr::kSteeplechaseFlag, "1").With(pr::kTurfFlag, "0")), kNoFigure);

    for (const char* name :
         {"札幌", "函館", "福島", "新潟", "東京", "中山", "中京", "京都", "阪神", "小倉"}) {
        EXPECT_TRUE(IsFigureCourse(ToCp932(name))) << name;
    }
    for (const char* name : {"大井", "札(地)", "新(地)", "不明", "", "東京 ", "東"}) {
        EXPECT_FALSE(IsFigureCourse(ToCp932(name))) << name;
    }
}

TEST(FxValue, LateExits)
{
    EXPECT_EQ(Fx(PastRun{}.With(pr::kLast3F, "000")), kNoFigure);
    EXPECT_EQ(Fx(PastRun{}.With(pr::kLast3F, "999")), kNoFigure);
    EXPECT_EQ(Fx(PastRun{}.With(pr::kLast3F, "299")), kNoFigure);
    EXPECT_EQ(Fx(PastRun{}.With(pr::kLast3F, "300")), 141);
    EXPECT_EQ(Fx(PastRun{}.With(pr::kLast3F, "   ")), kNoFigure); // reads 0: under 30.0 s
    EXPECT_EQ(Fx(PastRun{}.With(pr::kBodyWeight, "000")), kNoFigure);
    EXPECT_EQ(Fx(PastRun{}.With(pr::kBodyWeight, "   ")), 96); // only "000" means unweighed
}

TEST(FxValue, MarginAndCorners)
{
    // Without the margin term the default run is 99.
    EXPECT_EQ(Fx(PastRun{}.With(pr::kMargin, "998")), 99);
    EXPECT_EQ(Fx(PastRun{}.With(pr::kMargin, "997")), 99 - 997);
    EXPECT_EQ(Fx(PastRun{}.With(pr::kMargin, "999")), 99 - 999);
    // The winner's margin is its lead: it adds; the second's margin subtracts.
    const PastRun wide = PastRun{}.With(pr::kMargin, "005");
    EXPECT_EQ(Fx(wide.With(pr::kFigureFinish, "01")), 440 + 16 - 1 - 345 - 5 - 4 + 5);
    EXPECT_EQ(Fx(wide.With(pr::kFigureFinish, "02")), 440 + 16 - 2 - 345 - 5 - 4 - 5);

    // Corner terms: 96 holds corner3 = 5, corner4 = 4.
    EXPECT_EQ(Fx(PastRun{}.With(pr::kCorner3, "41")), 100);
    EXPECT_EQ(Fx(PastRun{}.With(pr::kCorner3, "01")), 100);
    EXPECT_EQ(Fx(PastRun{}.With(pr::kCorner3, "40")), 101);
    EXPECT_EQ(Fx(PastRun{}.With(pr::kCorner3, "39")), 101 - 39);
    EXPECT_EQ(Fx(PastRun{}.With(pr::kCorner4, "41")), 99);
    EXPECT_EQ(Fx(PastRun{}.With(pr::kCorner4, "  ")), 100);
}

TEST(FxValue, ClassBases)
{
    struct Case
    {
        const char* classCode;
        const char* grade;
        int base;
    };
    const Case cases[] = {
        {"05000", " ", 435}, {"09000", " ", 440}, {"10000", " ", 440}, {"15000", " ", 445},
        {"16000", " ", 445}, {"00004", "2", 455}, {"00004", "1", 455}, {"00004", "0", 460},
        {"00004", " ", 450}, {"00004", "3", 450}, {"00004", "5", 450}, {"00004", "9", 450},
        {"00001", " ", 430}, {"00002", " ", 430}, {"00003", " ", 430}, {"07000", " ", 430},
        {"05000", "0", 435}, // a grade only counts in an open race
        {"00005", "0", 430}, // 牝馬 open races read "0万" through the race class table
        {"0500 ", " ", 435}, // the fifth character does not count
        {"     ", " ", 430},
    };
    for (const Case& c : cases) {
        const PastRun run =
            PastRun{}.With(pr::kClassCode, c.classCode).With(pr::kGradeCode, c.grade);
        // 96 is base 440 - 344.
        EXPECT_EQ(Fx(run), c.base - 344) << c.classCode << " grade " << c.grade;
    }
}

TEST(FxValue, DirtBonusAndNiigataStraight)
{
    for (int value : {-20, 50, 96, 130}) {
        const PastRun turf = PastRun::WithFigure(value);
        EXPECT_EQ(Fx(turf.With(pr::kTurfFlag, "0")) - Fx(turf), 15) << value;
        EXPECT_EQ(Fx(turf.With(pr::kTurfFlag, " ")) - Fx(turf), 15) << value;
    }

    const PastRun niigata = PastRun{}.With(pr::kCourseCode, "07");
    // The fourth-corner term 4 becomes a flat 40.
    EXPECT_EQ(Fx(niigata.With(pr::kDistance, "1000")), 96 + 4 - 40);
    EXPECT_EQ(Fx(niigata.With(pr::kDistance, "1000").With(pr::kCorner4, "00")), 100 - 40);
    EXPECT_EQ(Fx(niigata.With(pr::kDistance, "1000").With(pr::kCorner4, "44")), 96 + 4 - 40);
    EXPECT_EQ(Fx(niigata.With(pr::kDistance, "1000").With(pr::kTurfFlag, "0")), 111 + 4 - 40);
    EXPECT_EQ(Fx(niigata.With(pr::kDistance, "1200")), 96);
    EXPECT_EQ(Fx(niigata.With(pr::kDistance, "100 ")), 96);
    EXPECT_EQ(Fx(PastRun{}.With(pr::kDistance, "1000")), 96); // 東京 1000 m
    EXPECT_EQ(Fx(niigata.With(pr::kDistance, "1000").With(pr::kLast3F, "000")), kNoFigure);
    EXPECT_EQ(Fx(niigata.With(pr::kDistance, "1000").With(pr::kBodyWeight, "000")), kNoFigure);
}

TEST(FxValue, RunBlocksAndShortRecords)
{
    // Run 4 sits 4 × 590 = 2360 bytes after run 0: shift a run-0 record by that much.
    const std::string run0 = HorseLineWith(PastRun{}, 0);
    const std::string shifted = std::string(2360, ' ') + run0;
    EXPECT_EQ(CalcFxValue(shifted, 4), 96);
    EXPECT_EQ(CalcFxValue(shifted, 0), kNoFigure);
    EXPECT_EQ(CalcFxValue(run0, 0), 96);
    for (int run = 1; run <= 4; ++run) {
        EXPECT_EQ(CalcFxValue(run0, run), kNoFigure) << run;
        EXPECT_EQ(CalcFxValue(HorseLineWith(PastRun{}, run), run), 96) << run;
    }
    EXPECT_EQ(CalcFxValue(run0, -1), kNoFigure);
    EXPECT_EQ(CalcFxValue(run0 + std::string(3000, ' ') + run0, 5), kNoFigure);

    // A record that ends inside the block, or before it, never reads past its end.
    EXPECT_EQ(CalcFxValue("", 0), kNoFigure);
    EXPECT_EQ(CalcFxValue(run0.substr(0, 1066), 0), kNoFigure);
    EXPECT_EQ(CalcFxValue(run0.substr(0, 1440), 0), kNoFigure); // no last3F: reads 0
    // Cut right after the fourth corner: everything the figure needs is there.
    EXPECT_EQ(CalcFxValue(run0.substr(0, 1462), 0), 96);
}

TEST(FxValue, BuilderFiguresAreExact)
{
    for (int value = -550; value <= 170; value += 7) {
        EXPECT_EQ(Fx(PastRun::WithFigure(value)), value);
    }
}
