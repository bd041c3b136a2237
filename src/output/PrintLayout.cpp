#include "output/PrintLayout.h"

#include <algorithm>

#include "analysis/GridRules.h"
#include "analysis/RaceFormat.h"

namespace furlox {

int PrintColumnWidth(int column)
{
    // pixels × 25.4 mm / 96 dpi, in tenths of a millimetre, × 15 / 12 for the larger font.
    return Grid1ColumnWidth(column) * 254 * 15 / (96 * 12);
}

std::vector<PrintPage> LayoutPrintPages(const AnalysedRace& race, int pageWidth, int pageHeight,
                                        const PrintSettings& settings)
{
    (void)pageWidth; // the twelve columns always fit across a landscape page
    const int rowHeight = settings.fontHeight + settings.rowSpacing;
    const int rows = static_cast<int>(race.runners.size());
    std::vector<PrintPage> pages;
    int next = 1; // next runner row to place
    do {
        PrintPage page;
        int top = settings.headerSize;
        if (pages.empty()) {
            page.titleLines = PrintTitleLines(race);
            page.titleTop = top;
            top += settings.titleLineHeight * static_cast<int>(page.titleLines.size());
        }
        // Every page repeats nothing: the header row goes on the first page only, as the
        // grid prints its rows one after another.
        auto placeRow = [&](int row) {
            int left = settings.leftMargin;
            for (int c = 0; c < kGridColumns; ++c) {
                const int width = PrintColumnWidth(c);
                page.cells.push_back({left, top, width, rowHeight, row, c});
                left += width;
            }
            top += rowHeight;
        };
        if (pages.empty()) {
            placeRow(0);
        }
        const int room = std::max(1, (pageHeight - top) / rowHeight);
        const int last = std::min(rows, next + room - 1);
        for (int row = next; row <= last; ++row) {
            placeRow(row);
        }
        next = last + 1;
        pages.push_back(std::move(page));
    } while (next <= rows);
    return pages;
}

} // namespace furlox
