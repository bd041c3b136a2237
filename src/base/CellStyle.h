#pragma once

#include <cstdint>

// How a grid cell is drawn: alignment, colours and weight. The rules that choose a style live
// with their data (the race grid's in the analysis); screen, printer and HTML writer draw it.
namespace furlox {

enum class CellAlign
{
    Left,
    Centre,
    Right,
};

struct CellStyle
{
    CellAlign align = CellAlign::Left;
    std::uint32_t background = 0xFFFFFF; // 0xRRGGBB
    std::uint32_t font = 0x000000;       // 0xRRGGBB
    bool bold = false;
};

} // namespace furlox
