#pragma once

#include <array>

// Where the main window's panels and region buttons sit (client pixels of the 640 × 500
// window). The window places its widgets by this table and the artwork tool draws the
// background's recesses and the button tray under the same places, so the two cannot drift
// apart.
namespace furlox::app {

struct WindowPlace
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

inline constexpr int kMainWindowWidth = 640;
inline constexpr int kMainWindowHeight = 500;

// pnl1 (titles), pnl2 (race grid), pnl3 (bets), pnl4 (confidence picture).
inline constexpr std::array<WindowPlace, 4> kMainPanels = {{
    {8, 30, 484, 50},
    {8, 86, 484, 331},
    {497, 30, 132, 331},
    {497, 367, 133, 50},
}};

struct MainButton
{
    WindowPlace place;
    const char* picture; // the artwork's base name: "<picture>-idle.png" and so on
};

// EzRgnBtn1 .. EzRgnBtn7: open archive, race menu, previous, next, output menu, companion
// viewer, help menu.
inline constexpr std::array<MainButton, 7> kMainButtons = {{
    {{71, 423, 64, 65}, "btn1"},
    {{141, 423, 64, 65}, "btn2"},
    {{211, 423, 64, 65}, "btn3"},
    {{281, 423, 64, 65}, "btn4"},
    {{351, 423, 64, 65}, "btn5"},
    {{421, 423, 64, 65}, "btn6"},
    {{491, 423, 64, 65}, "btn7"},
}};

// The library button, narrower than the seven, at the left of their tray where the window's
// frame leaves room (its own small tray around it); the seven keep their places.
inline constexpr MainButton kLibraryButton = {{10, 423, 46, 65}, "btn-library"};

} // namespace furlox::app
