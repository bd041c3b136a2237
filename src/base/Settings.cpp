#include "base/Settings.h"

#include "base/Number.h"

namespace furlox {

WindowPosition DefaultWindowPosition(int screenWidth, int screenHeight)
{
    return {screenWidth / 2 - 320, screenHeight / 2 - 250};
}

int SettingNumber(std::optional<std::string_view> stored, int fallback)
{
    if (!stored) {
        return fallback;
    }
    return ParseNumber(*stored).value_or(fallback);
}

} // namespace furlox
