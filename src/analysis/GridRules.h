#pragma once

#include <cstdint>

#include "analysis/AnalysedRace.h"
#include "base/CellStyle.h"

// How the race grid draws each cell: alignment, colours and weight, from the analysed race's
// values. The screen grid, the printer, the race card and the HTML writer all ask this one
// function.
namespace furlox {

// Row 0 is the header row; rows 1..n are the runners in the analysed race's row order.
CellStyle Grid1CellStyle(const AnalysedRace& race, int row, int column);

// Column widths of the race grid in pixels.
int Grid1ColumnWidth(int column);

// The figure threshold T of a race's grade label.
int FigureThreshold(const kol::GradeLabel& gradeLabel);

// The background of a figure cell holding `value` in a race of that grade label: #99FFFF from
// T, #FFFF99 from T + 10, #FF9999 from T + 20, `otherwise` below T.
std::uint32_t FigureBackground(const kol::GradeLabel& gradeLabel, int value,
                               std::uint32_t otherwise);

} // namespace furlox
