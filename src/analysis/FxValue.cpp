#include "analysis/FxValue.h"

#include <array>
#include <cstdint>
#include <optional>
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

// The base figure of a past race's class, by the class its class code names. Rows are tried
// in order, so the open-class fallback (no grade: any grade) sits after the graded rows. G2
// deliberately shares the G3 base rather than lying between G3 and G1; the steeplechase
// grades count as ungraded.
struct ClassBaseRow
{
    kol::RaceClass raceClass;
    std::optional<kol::Grade> grade;
    int base;
};

constexpr kol::RaceClass kOpen{kol::ClassKind::Open, 0};
constexpr ClassBaseRow kClassBases[] = {
    {kol::PrizeClass(500), std::nullopt, 435},
    {kol::PrizeClass(900), std::nullopt, 440},
    {kol::PrizeClass(1000), std::nullopt, 440},
    {kol::PrizeClass(1500), std::nullopt, 445},
    {kol::PrizeClass(1600), std::nullopt, 445},
    {kOpen, kol::Grade::G3, 455},
    {kOpen, kol::Grade::G2, 455},
    {kOpen, kol::Grade::G1, 460},
    {kOpen, std::nullopt, 450},
};
constexpr int kOtherClassBase = 430; // 新馬, 未出走, 未勝利 and every other 万 class

int LookUpClassBase(std::string_view classCode, std::string_view gradeCode)
{
    const kol::RaceClass raceClass = kol::ReadClassCode(classCode);
    const kol::Grade grade = kol::ReadGradeCode(gradeCode);
    for (const ClassBaseRow& row : kClassBases) {
        if (row.raceClass == raceClass && (!row.grade || *row.grade == grade)) {
            return row.base;
        }
    }
    return kOtherClassBase;
}

// The base depends on the two codes alone, and a race day uses few of them: the bases found
// last are kept per thread, so that the codes are not read and looked up again for every run
// (that was a sixth of the cost of a figure). Codes too long to pack are looked up every time.
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
    const int corner3 = kol::CornerPosition(field(pr::kCorner3));
    const int corner4 = kol::CornerPosition(field(pr::kCorner4));
    const int margin = kol::MarginTenths(field(pr::kMargin));

    const kol::Surface surface =
        kol::ReadSurface(field(pr::kSteeplechaseFlag), field(pr::kTurfFlag));
    if (last3FText == "000" || last3FText == "999" || field(pr::kBodyWeight) == "000" ||
        surface == kol::Surface::Steeplechase || last3F < 300) {
        return kNoFigure;
    }

    int value = ClassBase(field(pr::kClassCode), field(pr::kGradeCode)) + headCount - finish -
                last3F - corner3 - corner4;
    // The winner's margin is its lead over the second, so it raises the figure.
    value += finish == 1 ? margin : -margin;
    if (surface == kol::Surface::Dirt) {
        value += 15; // dirt runs slower than turf for the same ability
    }

    // Niigata's 1000 m is a straight course: it has no fourth corner to lose ground on.
    if (field(pr::kDistance) == "1000" && kol::CourseName(courseCode) == "新潟"_sj) {
        value = value + corner4 - 40;
    }
    return value;
}

} // namespace furlox
