#pragma once

#include <string>
#include <vector>

#include "analysis/AnalysedRace.h"

// How the race grid is laid out on printed pages. Every measure is in tenths of a
// millimetre, the unit the print settings are given in; the printer and the preview only
// scale this to their devices.
namespace furlox {

struct PrintSettings
{
    int leftMargin = 30; // 3 mm
    int rowSpacing = 30; // added to the height of each row
    int headerSize = 0;  // a band at the top of each page; 50 after a preview
    int borderWidth = 2; // cell borders, 0.2 mm
    int fontHeight = 40; // 11 points (15 pixels at 96 dpi) ≈ 3.97 mm
    int titleLineHeight = 45;
};

struct PrintCell
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int row = 0;    // grid row (0 = header)
    int column = 0; // grid column
};

struct PrintPage
{
    std::vector<std::string> titleLines; // CP932; on the first page
    int titleTop = 0;
    std::vector<PrintCell> cells;
};

// Column widths on paper: the screen widths at 96 dpi, grown in the print font's proportion
// (15 pixels against the screen's 12).
int PrintColumnWidth(int column);

// The pages the grid needs on a page of the given printable size.
std::vector<PrintPage> LayoutPrintPages(const AnalysedRace& race, int pageWidth, int pageHeight,
                                        const PrintSettings& settings);

} // namespace furlox
