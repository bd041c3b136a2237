#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// Whole numbers in text, with the syntax the record fields and the stored settings share:
// leading blanks, one sign, "$" / "x" / "X" / "0x" / "0X" for hexadecimal; anything else (a
// trailing blank included) is no number.
namespace furlox {

// nullopt for a text that is not a number or does not fit in 64 bits.
std::optional<std::int64_t> ParseNumber64(std::string_view text);

// The same within 32 bits.
std::optional<std::int32_t> ParseNumber(std::string_view text);

} // namespace furlox
