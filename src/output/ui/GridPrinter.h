#pragma once

#include <QSize>
#include <vector>

#include "analysis/AnalysedRace.h"
#include "output/PrintLayout.h"

class QPageLayout;
class QPainter;
class QPrinter;
class QRect;

// Printing the race grid under its title lines, with the screen's cell colours.
namespace furlox::ui {

// The printable area of a landscape page, in tenths of a millimetre.
QSize PrintablePageSize(const QPrinter& printer);
QSize PrintablePageSize(const QPageLayout& layout);

// Draws one laid-out page; the painter's coordinates are tenths of a millimetre.
void DrawPrintPage(QPainter& painter, const AnalysedRace& race, const PrintPage& page,
                   const PrintSettings& settings);

// Draws one page scaled into `target` (device pixels), keeping the page's proportions.
void DrawPageInto(QPainter& painter, const QRect& target, QSize pageSize, const AnalysedRace& race,
                  const PrintPage& page, const PrintSettings& settings);

// Prints pages `from` to `to` (1-based) as the job "Furlox". False when the printer cannot
// start; nothing is printed then.
bool PrintPages(QPrinter& printer, const AnalysedRace& race, const PrintSettings& settings,
                int from, int to);

} // namespace furlox::ui
