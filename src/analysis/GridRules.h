#pragma once

#include <cstdint>
#include <string_view>

#include "analysis/AnalysedRace.h"
#include "base/CellStyle.h"

// How the race grid draws each cell: alignment, colours and weight. The screen grid, the
// printer and the HTML writer all ask this one function.
namespace furlox {

// Row 0 is the header row; rows 1..n are the runners in the analysed race's row order.
CellStyle Grid1CellStyle(const AnalysedRace& race, int row, int column);

// Column widths of the race grid in pixels.
int Grid1ColumnWidth(int column);

// The figure threshold T of a race's grade label ("G1", "G2", "G3" or the class text).
int FigureThreshold(std::string_view gradeLabel);

// The background of a figure cell holding `value` in a race of that grade label: #99FFFF from
// T, #FFFF99 from T + 10, #FF9999 from T + 20, `otherwise` below T.
std::uint32_t FigureBackground(std::string_view gradeLabel, int value, std::uint32_t otherwise);

} // namespace furlox
