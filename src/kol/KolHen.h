#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/Number.h"

// The KOL code tables and the small text and number helpers used on fixed-width fields.
// Every lookup is a pure function from a code text to a CP932 display text; codes are compared
// exactly, byte for byte, and a code without a row gives the table's fall-back text.
namespace furlox::kol {

// What a class code names, read as the class table reads it: one of the four classes with a
// name of their own, or a prize class of `man` 万 yen (the code's first four characters read
// as a lenient number). Two classes are equal exactly when their class texts are.
enum class ClassKind : std::uint8_t
{
    Prize,    // "500万", "1600万", … ("0万" for a blank code)
    Newcomer, // 新馬
    Unraced,  // 未出走
    Maiden,   // 未勝利
    Open,     // オープン
};

struct RaceClass
{
    ClassKind kind = ClassKind::Prize;
    int man = 0; // only for ClassKind::Prize

    friend bool operator==(const RaceClass&, const RaceClass&) = default;
};

constexpr RaceClass PrizeClass(int man)
{
    return {ClassKind::Prize, man};
}

RaceClass ReadClassCode(std::string_view classCode);

// The grades of the grade table; None for a code without a row.
enum class Grade : std::uint8_t
{
    None,
    G1,
    G2,
    G3,
    JG1,
    JG2,
    JG3,
};

Grade ReadGradeCode(std::string_view gradeCode);

// A race's grade label as a value: its grade when that is G1, G2 or G3 (the steeplechase
// grades give no label of their own), otherwise its class. Two labels are equal exactly when
// their texts ("G1", "G2", "G3" or the class text) are.
struct GradeLabel
{
    Grade grade = Grade::None; // G1, G2, G3 or None
    RaceClass raceClass;       // the class; default when the grade names the label

    friend bool operator==(const GradeLabel&, const GradeLabel&) = default;
};

GradeLabel MakeGradeLabel(Grade grade, RaceClass raceClass);
std::string GradeLabelText(const GradeLabel& label);

// The surface of a race record or a past run, by the surface rule.
enum class Surface : std::uint8_t
{
    Turf,         // 芝
    Dirt,         // ダ
    Steeplechase, // 障
};

Surface ReadSurface(std::string_view steeplechaseFlag, std::string_view turfFlag);

// A course code as a number: 0 to 99 for two digits, kNoCourse for any other text, which the
// course table does not hold either.
inline constexpr int kNoCourse = -1;
int ReadCourseCode(std::string_view code);

const std::string& WeekdayText(std::string_view code);
const std::string& RaceKindText(std::string_view code);
const std::string& GradeText(std::string_view code);
const std::string& GradeText(Grade grade);
const std::string& WeightTermsText(std::string_view code);
const std::string& SexText(std::string_view code);
const std::string& GoingText(std::string_view code);
const std::string& SurfaceText(std::string_view steeplechaseFlag, std::string_view turfFlag);
const std::string& SurfaceText(Surface surface);
std::string ClassText(std::string_view classCode);
std::string ClassText(const RaceClass& raceClass);
std::string PastClassText(std::string_view classCode, std::string_view gradeCode);
const std::string& CourseName(std::string_view code);
const std::string& CourseName(int courseCode);
const std::string& CoatColourText(std::string_view code);
const std::string& HorseMarkText(std::string_view code);
const std::string& CircledNumber(std::string_view code);
const std::string& BreedingAreaText(std::string_view code);

// The course name that stands for "no such course" (and so for a past-run block with no run).
const std::string& UnknownCourseName();

// A corner position of a past run as a number. The data service stores some positions with
// 40 added; they count like the plain position (43 is the third place).
int CornerPosition(std::string_view field);

// The margin of a past run in tenths of a second. 998 is the data service's code for a margin
// it could not time and reads as 0.
int MarginTenths(std::string_view field);

// Lenient number: leading blanks, one sign, "$" / "x" / "X" / "0x" / "0X" for hexadecimal;
// anything else (a trailing blank included) or a value outside 32 bits reads as 0.
std::int32_t LenientNumber(std::string_view text);

// The same syntax; nullopt where LenientNumber would give 0 for a text that is not a number.
using furlox::ParseNumber;

// Strict conversion: throws ConvertError "'<text>' は整数ではありません" for a non-number.
std::int32_t StrictNumber(std::string_view text);

// The same syntax over 64 bits, for fields wider than 32 bits can hold (ten-digit prizes).
using furlox::ParseNumber64;
std::int64_t StrictNumber64(std::string_view text);

// Blanks added in front / at the end / "0" in front until the text is width bytes long.
std::string PadLeft(std::string_view text, std::size_t width);
std::string PadRight(std::string_view text, std::size_t width);
std::string PadZero(std::string_view text, std::size_t width);

// The text without its last n bytes; shorter texts give the empty text.
std::string DropTail(std::string_view text, std::size_t n);

// Blanks and control bytes (every byte up to and including the ASCII space) removed at both
// ends. Trail bytes of double-byte characters are never that low, so CP932 text stays whole.
std::string_view Trim(std::string_view text);

} // namespace furlox::kol
