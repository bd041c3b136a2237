// The figure keeps the class bases it found and answers the course test from the course
// code: neither may ever give another figure than looking everything up afresh would.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/FxValue.h"
#include "kol/KolHen.h"
#include "support/KolBuilder.h"

using namespace furlox;
using furlox::test::HorseLineWith;
using furlox::test::PastRun;
namespace pr = furlox::kol::pastrun;

namespace {

// The default run's figure is its class base less 344.
int BaseOf(const std::string& classCode, const std::string& grade)
{
    const PastRun run = PastRun{}.With(pr::kClassCode, classCode).With(pr::kGradeCode, grade);
    return CalcFxValue(HorseLineWith(run), 0) + 344;
}

int ExpectedBase(int tenThousands)
{
    switch (tenThousands) {
    case 500:
        return 435;
    case 900:
    case 1000:
        return 440;
    case 1500:
    case 1600:
        return 445;
    default:
        return 430;
    }
}

} // namespace

TEST(FxQuickPaths, KeptClassBasesMatchFreshLookUps)
{
    // Far more codes than are kept at once, visited twice and in two orders, so that bases
    // are found, kept, pushed out and found again; same-looking codes differ in one byte.
    std::vector<std::string> codes;
    for (int n = 0; n < 1700; n += 25) {
        codes.push_back(kol::PadZero(std::to_string(n), 4) + "0");
    }
    for (int pass = 0; pass < 2; ++pass) {
        for (std::size_t k = 0; k < codes.size(); ++k) {
            const std::string& code = pass == 0 ? codes[k] : codes[codes.size() - 1 - k];
            const int tenThousands = std::stoi(code.substr(0, 4));
            for (const char* grade : {" ", "0", "2"}) {
                EXPECT_EQ(BaseOf(code, grade), ExpectedBase(tenThousands))
                    << code << " grade '" << grade << "' pass " << pass;
            }
        }
    }
    // The open class takes its grade into account; each grade is its own entry.
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_EQ(BaseOf("00004", "0"), 460);
        EXPECT_EQ(BaseOf("00004", "1"), 455);
        EXPECT_EQ(BaseOf("00004", "2"), 455);
        EXPECT_EQ(BaseOf("00004", " "), 450);
        EXPECT_EQ(BaseOf("0500 ", " "), 435) << "the fifth character does not count";
        EXPECT_EQ(BaseOf("00005", "0"), 430);
    }
}

TEST(FxQuickPaths, CourseCodesOutsideTheTableAreJudgedByName)
{
    const PastRun run;
    for (const char* code : {"0", "4 ", " 4", "A4", "\x82\xA0"}) {
        EXPECT_EQ(CalcFxValue(HorseLineWith(run.With(pr::kCourseCode, code)), 0), kNoFigure)
            << code;
    }
    for (const char* code : {"00", "04", "09"}) {
        EXPECT_EQ(CalcFxValue(HorseLineWith(run.With(pr::kCourseCode, code)), 0), 96) << code;
    }
}
