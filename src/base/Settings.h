#pragma once

#include <optional>
#include <string_view>

// The settings kept between runs (organisation "Morvane", application "GLX"; sections Main
// and Uma), every value stored as text. A value that is missing or not a whole number gives
// its default.
namespace furlox {

struct WindowPosition
{
    int left;
    int top;
};

// The centred place of a 640 × 500 window on a screen of the given size.
WindowPosition DefaultWindowPosition(int screenWidth, int screenHeight);

// The stored text as a whole number, or the default when it is missing or not a number.
int SettingNumber(std::optional<std::string_view> stored, int fallback);

} // namespace furlox
