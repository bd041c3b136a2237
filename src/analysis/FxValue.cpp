#include "analysis/FxValue.h"

#include <array>
#include <cstdint>
#include <string>

#include "base/Encoding.h"
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

int LookUpClassBase(std::string_view classCode, std::string_view gradeCode)
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

// The base depends on the two codes alone, and a race day uses few of them: the bases found
// last are kept per thread, so that the class text is not built again for every run (it was
// a third of the cost of a figure). Codes too long to pack are looked up every time.
int ClassBase(std::string_view classCode, std::string_view gradeCode)
{
    if (classCode.size() > 5 || gradeCode.size() > 1) {
        return LookUpClassBase(classCode, gradeCode);
    }
    // Five class bytes, the grade byte, both lengths and a bit that marks the entry used.
    std::uint64_t key = std::uint64_t{1} << 63;
    for (std::size_t i = 0; i < classCode.size(); ++i) {
        key |= std::uint64_t{static_cast<unsigned char>(classCode[i])} << (8 * i);
    }
    if (!gradeCode.empty()) {
        key |= std::uint64_t{static_cast<unsigned char>(gradeCode[0])} << 40;
    }
    key |= std::uint64_t{classCode.size() | gradeCode.size() << 4} << 48;

    struct Entry
    {
        std::uint64_t key = 0;
        int base = 0;
    };
    thread_local std::array<Entry, 64> kept{};
    Entry& entry = kept[(key * 0x9E3779B97F4A7C15ULL) >> 58];
    if (entry.key != key) {
        entry.key = key;
        entry.base = LookUpClassBase(classCode, gradeCode);
    }
    return entry.base;
}

// Corner positions stored with 40 added count like the plain position.
int Corner(std::string_view text)
{
    const int position = kol::LenientNumber(text);
    return position >= 40 ? position - 40 : position;
}

// Whether a run's course code names one of the figure courses. The answer for every
// two-digit code is worked out once from the course names: comparing the name with the ten
// courses for every run was a fifth of the cost of a race's figures.
bool IsFigureCourseCode(std::string_view code)
{
    static const std::array<bool, 100> byCode = [] {
        std::array<bool, 100> figure{};
        for (int c = 0; c < 100; ++c) {
            const char digits[2] = {static_cast<char>('0' + c / 10),
                                    static_cast<char>('0' + c % 10)};
            figure[static_cast<std::size_t>(c)] =
                IsFigureCourse(kol::CourseName(std::string_view(digits, 2)));
        }
        return figure;
    }();
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    if (code.size() == 2 && isDigit(code[0]) && isDigit(code[1])) {
        return byCode[static_cast<std::size_t>((code[0] - '0') * 10 + (code[1] - '0'))];
    }
    return IsFigureCourse(kol::CourseName(code));
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
    const int finish = kol::LenientNumber(finishText);
    if (finishText == "  " || finishText == "00" || finish >= 31) {
        return kNoFigure;
    }
    const std::string_view courseCode = field(pr::kCourseCode);
    if (!IsFigureCourseCode(courseCode)) {
        return kNoFigure;
    }

    const int headCount = kol::LenientNumber(field(pr::kHeadCount));
    const std::string_view last3FText = field(pr::kLast3F);
    const int last3F = kol::LenientNumber(last3FText);
    const int corner3 = Corner(field(pr::kCorner3));
    const int corner4 = Corner(field(pr::kCorner4));
    int margin = kol::LenientNumber(field(pr::kMargin));
    if (margin == 998) {
        margin = 0; // the data service's code for a margin it could not time
    }

    const std::string& surface =
        kol::SurfaceText(field(pr::kSteeplechaseFlag), field(pr::kTurfFlag));
    // Rejected before the class is looked up: that lookup is the dearest step of the figure.
    if (last3FText == "000" || last3FText == "999" || field(pr::kBodyWeight) == "000" ||
        surface == "障"_sj || last3F < 300) {
        return kNoFigure;
    }

    int value = ClassBase(field(pr::kClassCode), field(pr::kGradeCode)) + headCount - finish -
                last3F - corner3 - corner4;
    // The winner's margin is its lead over the second, so it raises the figure.
    value += finish == 1 ? margin : -margin;
    if (surface == "ダ"_sj) {
        value += 15; // dirt runs slower than turf for the same ability
    }

    // Niigata's 1000 m is a straight course: it has no fourth corner to lose ground on.
    if (field(pr::kDistance) == "1000" && kol::CourseName(courseCode) == "新潟"_sj) {
        value = value + corner4 - 40;
    }
    return value;
}

} // namespace furlox
