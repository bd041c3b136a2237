#include "skin/Geometry.h"

#include <algorithm>
#include <cmath>

namespace furlox::skin {
namespace {

int Channel(Rgb color, int shift)
{
    return static_cast<int>((color >> shift) & 0xFFu);
}

} // namespace

Rgb GradientColor(Rgb begin, Rgb end, long long index, long long count)
{
    if (count <= 0) {
        return begin;
    }
    Rgb result = 0;
    for (int shift : {16, 8, 0}) {
        const long long b = Channel(begin, shift);
        const long long e = Channel(end, shift);
        // begin + index × (end − begin) ÷ count over one denominator: exact, and truncated
        // toward zero as a whole (not begin plus a truncated step).
        const long long value =
            std::clamp<long long>((b * count + index * (e - b)) / count, 0, 255);
        result |= static_cast<Rgb>(value) << shift;
    }
    return result;
}

long long RoundHalfEven(long long num, long long den)
{
    if (den < 0) {
        num = -num;
        den = -den;
    }
    const long long q = num / den;
    const long long twice = 2 * (num % den);
    if (twice > den || (twice == den && q % 2 != 0)) {
        return q + 1;
    }
    if (twice < -den || (twice == -den && q % 2 != 0)) {
        return q - 1;
    }
    return q;
}

Rect Intersected(const Rect& a, const Rect& b)
{
    const Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                 std::min(a.bottom, b.bottom)};
    return r.Empty() ? Rect{} : r;
}

Rect United(const Rect& a, const Rect& b)
{
    if (a.Empty()) {
        return b;
    }
    if (b.Empty()) {
        return a;
    }
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

int RoundHalfEven(double value)
{
    const double lower = std::floor(value);
    const double fraction = value - lower;
    double result = lower;
    if (fraction > 0.5) {
        result = lower + 1;
    } else if (fraction == 0.5) {
        result = std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1;
    }
    return static_cast<int>(result);
}

} // namespace furlox::skin
