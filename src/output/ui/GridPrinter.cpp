#include "output/ui/GridPrinter.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrinter>

#include "analysis/GridRules.h"
#include "analysis/RaceFormat.h"
#include "base/ui/CellStyleQt.h"
#include "base/ui/QtText.h"

namespace furlox::ui {
QSize PrintablePageSize(const QPrinter& printer)
{
    return PrintablePageSize(printer.pageLayout());
}

QSize PrintablePageSize(const QPageLayout& layout)
{
    const QRectF mm = layout.paintRect(QPageLayout::Millimeter);
    return {static_cast<int>(mm.width() * 10), static_cast<int>(mm.height() * 10)};
}

void DrawPrintPage(QPainter& painter, const AnalysedRace& race, const PrintPage& page,
                   const PrintSettings& settings)
{
    QFont font = PrintFixedFont(settings.fontHeight);
    painter.setPen(Qt::black);
    painter.setFont(font);
    int top = page.titleTop;
    for (const std::string& line : page.titleLines) {
        painter.drawText(QRect(settings.leftMargin, top, 3000, settings.titleLineHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, Q(line));
        top += settings.titleLineHeight;
    }
    QPen border(Qt::black);
    border.setWidth(settings.borderWidth);
    const std::vector<GridRow> rows = GridRows(race);
    for (const PrintCell& cell : page.cells) {
        const QRect rect(cell.left, cell.top, cell.width, cell.height);
        const CellStyle style = Grid1CellStyle(race, cell.row, cell.column);
        const GridRow& cells =
            cell.row == 0 ? GridHeader() : rows[static_cast<std::size_t>(cell.row - 1)];
        const std::string& text = cells[static_cast<std::size_t>(cell.column)];
        painter.fillRect(rect, RgbColour(style.background));
        painter.setPen(border);
        painter.drawRect(rect);
        QFont cellFont = font;
        cellFont.setBold(style.bold);
        painter.setFont(cellFont);
        painter.setPen(RgbColour(style.font));
        painter.drawText(rect.adjusted(8, 0, -8, 0), static_cast<int>(QtAlignment(style.align)),
                         Q(text));
    }
}

void DrawPageInto(QPainter& painter, const QRect& target, QSize pageSize, const AnalysedRace& race,
                  const PrintPage& page, const PrintSettings& settings)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QSize fitted = pageSize.scaled(target.size(), Qt::KeepAspectRatio);
    const QRect viewport(target.topLeft(), fitted);
    painter.setViewport(viewport);
    painter.setWindow(0, 0, pageSize.width(), pageSize.height());
    painter.fillRect(QRect(QPoint(0, 0), pageSize), Qt::white);
    DrawPrintPage(painter, race, page, settings);
    painter.restore();
}

bool PrintPages(QPrinter& printer, const AnalysedRace& race, const PrintSettings& settings,
                int from, int to)
{
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(QStringLiteral("Furlox"));
    const QSize pageSize = PrintablePageSize(printer);
    const std::vector<PrintPage> pages =
        LayoutPrintPages(race, pageSize.width(), pageSize.height(), settings);
    QPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }
    bool first = true;
    for (int index = std::max(1, from); index <= std::min<int>(to, static_cast<int>(pages.size()));
         ++index) {
        if (!first) {
            printer.newPage();
        }
        first = false;
        const QRect device = printer.pageLayout().paintRectPixels(printer.resolution());
        painter.setViewport(0, 0, device.width(), device.height());
        painter.setWindow(0, 0, pageSize.width(), pageSize.height());
        DrawPrintPage(painter, race, pages[static_cast<std::size_t>(index - 1)], settings);
    }
    return painter.end();
}

} // namespace furlox::ui
