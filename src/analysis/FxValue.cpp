#include "analysis/FxValue.h"

#include <array>
#include <string>

#include "kol/Encoding.h"
#include "kol/KolHen.h"
#include "kol/KolRecords.h"

namespace furlox {
namespace {

namespace pr = kol::pastrun;

// The courses whose times the figure can be trusted on: the ten JRA tracks.
const std::array<const std::string*, 10>& FigureCourses()
{
    static const std::array<const std::string*, 10> courses = {
        &"札幌"_sj, &"函館"_sj, &"福島"_sj, &"新潟"_sj, &"東京"_sj,
        &"中山"_sj, &"中京"_sj, &"京都"_sj, &"阪神"_sj, &"小倉"_sj,
    };
    return courses;
}

// The base figure of a past race's class. A null grade matches any grade text; rows are
// tried in order, so the open-class fallback sits after the graded rows. G2 deliberately
// shares the G3 base rather than lying between G3 and G1.
struct ClassBaseRow
{
    const std::string* classText;
    const std::string* gradeText;
    int base;
};

const std::array<ClassBaseRow, 9>& ClassBases()
{
    static const std::array<ClassBaseRow, 9> rows = {{
        {&"500万"_sj, nullptr, 435},
        {&"900万"_sj, nullptr, 440},
        {&"1000万"_sj, nullptr, 440},
        {&"1500万"_sj, nullptr, 445},
        {&"1600万"_sj, nullptr, 445},
        {&"オープン"_sj, &"G3 "_sj, 455},
        {&"オープン"_sj, &"G2 "_sj, 455},
        {&"オープン"_sj, &"G1 "_sj, 460},
        {&"オープン"_sj, nullptr, 450},
    }};
    return rows;
}
constexpr int kOtherClassBase = 430;

int ClassBase(std::string_view classCode, std::string_view gradeCode)
{
    // A small text: the longest class text ("2147483647万") still fits the string's own buffer.
    const std::string classText = kol::ClassText(classCode);
    const std::string& gradeText = kol::GradeText(gradeCode);
    for (const ClassBaseRow& row : ClassBases()) {
        if (*row.classText == classText && (!row.gradeText || *row.gradeText == gradeText)) {
            return row.base;
        }
    }
    return kOtherClassBase;
}

// Corner positions stored with 40 added count like the plain position.
int Corner(std::string_view text)
{
    const int position = kol::LenientNumber(text);
    return position >= 40 ? position - 40 : position;
}

} // namespace

bool IsFigureCourse(std::string_view courseName)
{
    for (const std::string* course : FigureCourses()) {
        if (*course == courseName) {
            return true;
        }
    }
    return false;
}

int CalcFxValue(std::string_view horseLine, int run)
{
    if (run < 0 || run >= kol::horse::kPastRuns) {
        return kNoFigure;
    }
    auto field = [horseLine, run](kol::FieldPos f) { return kol::PastRunField(horseLine, run, f); };

    const std::string_view finishText = field(pr::kFigureFinish);
    if (finishText == "  " || finishText == "00" || kol::LenientNumber(finishText) >= 31) {
        return kNoFigure;
    }
    const std::string& course = kol::CourseName(field(pr::kCourseCode));
    if (!IsFigureCourse(course)) {
        return kNoFigure;
    }

    const int finish = kol::LenientNumber(finishText);
    const int headCount = kol::LenientNumber(field(pr::kHeadCount));
    const std::string_view last3FText = field(pr::kLast3F);
    const int last3F = kol::LenientNumber(last3FText);
    const int corner3 = Corner(field(pr::kCorner3));
    const int corner4 = Corner(field(pr::kCorner4));
    int margin = kol::LenientNumber(field(pr::kMargin));
    if (margin == 998) {
        margin = 0; // the data service's code for a margin it could not time
    }

    int value = ClassBase(field(pr::kClassCode), field(pr::kGradeCode)) + headCount - finish -
                last3F - corner3 - corner4;
    // The winner's margin is its lead over the second, so it raises the figure.
    value += finish == 1 ? margin : -margin;

    const std::string& surface =
        kol::SurfaceText(field(pr::kSteeplechaseFlag), field(pr::kTurfFlag));
    if (surface == "ダ"_sj) {
        value += 15; // dirt runs slower than turf for the same ability
    }

    if (last3FText == "000" || last3FText == "999" || field(pr::kBodyWeight) == "000" ||
        surface == "障"_sj || last3F < 300) {
        return kNoFigure;
    }

    // Niigata's 1000 m is a straight course: it has no fourth corner to lose ground on.
    if (course == "新潟"_sj && field(pr::kDistance) == "1000") {
        value = value + corner4 - 40;
    }
    return value;
}

} // namespace furlox
