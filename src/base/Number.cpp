#include "base/Number.h"

#include <climits>

namespace furlox {

std::optional<std::int64_t> ParseNumber64(std::string_view text)
{
    // Record fields are nearly always a few plain digits, and up to 18 of them cannot
    // overflow: they skip the prefix and overflow checks that the analysis paid for thousands
    // of times per race.
    if (!text.empty() && text.size() <= 18) {
        std::uint64_t plain = 0;
        std::size_t k = 0;
        for (; k < text.size() && text[k] >= '0' && text[k] <= '9'; ++k) {
            plain = plain * 10 + static_cast<unsigned>(text[k] - '0');
        }
        if (k == text.size()) {
            return static_cast<std::int64_t>(plain);
        }
    }
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size()) {
        return std::nullopt;
    }
    // Digits only up to the end: from_chars would accept a sign or stop early.
    std::uint64_t value = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        unsigned digit;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = static_cast<unsigned>(c - 'A' + 10);
        } else {
            return std::nullopt;
        }
        // Checked before the step: a value past 64 bits would wrap round to a small number.
        constexpr std::uint64_t kLimit = std::uint64_t{1} << 63;
        if (value > (kLimit - digit) / static_cast<unsigned>(base)) {
            return std::nullopt;
        }
        value = value * static_cast<unsigned>(base) + digit;
    }
    if (negative) {
        return value == (std::uint64_t{1} << 63) ? INT64_MIN : -static_cast<std::int64_t>(value);
    }
    if (value > static_cast<std::uint64_t>(INT64_MAX)) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(value);
}

std::optional<std::int32_t> ParseNumber(std::string_view text)
{
    const std::optional<std::int64_t> value = ParseNumber64(text);
    if (!value || *value > INT32_MAX || *value < INT32_MIN) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(*value);
}

} // namespace furlox
