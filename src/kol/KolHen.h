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

const std::string& WeekdayText(std::string_view code);
const std::string& RaceKindText(std::string_view code);
const std::string& GradeText(std::string_view code);
const std::string& WeightTermsText(std::string_view code);
const std::string& SexText(std::string_view code);
const std::string& GoingText(std::string_view code);
const std::string& SurfaceText(std::string_view steeplechaseFlag, std::string_view turfFlag);
std::string ClassText(std::string_view classCode);
std::string PastClassText(std::string_view classCode, std::string_view gradeCode);
const std::string& CourseName(std::string_view code);
const std::string& CoatColourText(std::string_view code);
const std::string& HorseMarkText(std::string_view code);
const std::string& CircledNumber(std::string_view code);
const std::string& BreedingAreaText(std::string_view code);

// The course name that stands for "no such course" (and so for a past-run block with no run).
const std::string& UnknownCourseName();

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
