#pragma once

#include <string_view>

namespace furlox {

// The no-figure value, shown as "*".
inline constexpr int kNoFigure = -9999;

// The FX value of past run `run` (0 = the latest, up to 4) of a horse record, or kNoFigure.
int CalcFxValue(std::string_view horseLine, int run);

// True for the ten courses whose runs get a figure (whole-text comparison of the CP932 name).
bool IsFigureCourse(std::string_view courseName);

} // namespace furlox
