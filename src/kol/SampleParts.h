#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "kol/KolRecords.h"

// What the sample day and the sample season share: the random numbers, the writing of a
// fixed-width field, Japanese names and the draw of brackets. Nothing here is the program's
// own logic; it only makes data for demos, tests and benchmarks.
namespace furlox::kol::sample {

// splitmix64: small, fast, and the same numbers on every platform.
class Random
{
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t Next()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // A whole number from lo to hi, both included.
    int Between(int lo, int hi)
    {
        return lo + static_cast<int>(Next() % static_cast<std::uint64_t>(hi - lo + 1));
    }
    bool Chance(int percent) { return Between(1, 100) <= percent; }
    template <typename T, std::size_t N>
    const T& Pick(const std::array<T, N>& items)
    {
        return items[static_cast<std::size_t>(Between(0, static_cast<int>(N) - 1))];
    }

private:
    std::uint64_t m_state;
};

// value in decimal, "0" in front up to width.
std::string Digits(int value, int width);

// Writes a CP932 value into a fixed-width field: cut at a whole character, filled with blanks.
void Put(std::string& line, FieldPos f, std::string_view value);

// The same into past-run block `run` (0 = the latest) of a horse record.
void PutRun(std::string& line, int run, FieldPos f, std::string_view value);

// UTF-8 name parts: katakana, name endings, family and given names of people, farms.
extern const std::array<std::string_view, 40> kKana;
extern const std::array<std::string_view, 12> kNameEnds;
extern const std::array<std::string_view, 24> kFamily;
extern const std::array<std::string_view, 16> kGiven;
extern const std::array<std::string_view, 12> kFarms;

// A katakana horse name (CP932) of at most maxChars full-width characters.
std::string HorseName(Random& rng, int maxChars);

// A person's name (CP932) of exactly `chars` full-width characters (a full-width blank
// between family and given name where there is room).
std::string PersonName(Random& rng, int chars);
std::string PersonName(std::string_view familyUtf8, std::string_view givenUtf8, int chars);

// Bracket of horse number h (1-based) in a field of n: the outer brackets take the extra
// runners, as the racing authority draws them.
int Bracket(int h, int n);

} // namespace furlox::kol::sample
