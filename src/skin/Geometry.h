#pragma once

#include <cstdint>

// The drawing primitives the skin's geometry shares: colours, points and rectangles, and the
// roundings the original widgets use. No screen is needed for any of it.
namespace furlox::skin {

// Colours are 0xRRGGBB everywhere in the skin code: red in bits 16-23, blue in the lowest
// byte, the layout of Qt's QRgb without its alpha. Values written the Windows way (red in the
// lowest byte) go through FromColorRef once, where they enter.
using Rgb = std::uint32_t;

constexpr Rgb FromColorRef(std::uint32_t colorRef)
{
    return ((colorRef & 0xFFu) << 16) | (colorRef & 0xFF00u) | ((colorRef >> 16) & 0xFFu);
}

inline constexpr Rgb kBlack = 0x000000;
inline constexpr Rgb kWhite = 0xFFFFFF;
inline constexpr Rgb kNavy = FromColorRef(8388608);
inline constexpr Rgb kGrey = FromColorRef(8421504);
inline constexpr Rgb kSilver = FromColorRef(12632256);

// The classic three-dimensional colours the bevels and raised or lowered captions are drawn
// with. They are fixed rather than taken from the desktop theme so that the bevels look the
// same everywhere and match the skin artwork.
inline constexpr Rgb kBtnHighlight = kWhite;
inline constexpr Rgb kBtnShadow = kGrey;
inline constexpr Rgb kBtnFace = kSilver;

// For each channel begin + index × (end − begin) ÷ count, truncated toward zero (computed
// exactly, and kept within 0..255). A count of 0 or less gives `begin`.
Rgb GradientColor(Rgb begin, Rgb end, long long index, long long count);

// num ÷ den rounded to the nearest integer, a half to the even neighbour. den must not be 0.
long long RoundHalfEven(long long num, long long den);

// A double rounded to the nearest integer, a half to the even neighbour.
int RoundHalfEven(double value);

struct Point
{
    int x = 0;
    int y = 0;

    bool operator==(const Point&) const = default;
};

// left/top inclusive, right/bottom exclusive.
struct Rect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Empty() const { return right <= left || bottom <= top; }
    bool operator==(const Rect&) const = default;
};

Rect Intersected(const Rect& a, const Rect& b);
// The smallest rectangle holding both; an empty rectangle adds nothing.
Rect United(const Rect& a, const Rect& b);

} // namespace furlox::skin
