#include "output/ui/RaceCardPrinter.h"

#include <QBuffer>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <limits>
#include <map>

#include "base/Encoding.h"
#include "base/Error.h"
#include "base/ui/CellStyleQt.h"
#include "base/ui/QtText.h"
#include "output/TextExport.h"
#include "output/ui/GridPrinter.h"

namespace furlox::ui {
namespace {

constexpr int kTextInset = 12; // between a box's border and its text

// The card's texts use few sizes; a font is made once per size and weight.
class FontCache
{
public:
    const QFont& Get(int height, bool bold)
    {
        auto [it, added] = m_fonts.try_emplace({height, bold});
        if (added) {
            it->second = PrintProportionalFont(height);
            it->second.setBold(bold);
        }
        return it->second;
    }

private:
    std::map<std::pair<int, bool>, QFont> m_fonts;
};

void DrawCardText(QPainter& painter, const CardText& text, FontCache& fonts, int borderWidth)
{
    const QRect rect(text.left, text.top, text.width, text.height);
    if (text.background != 0xFFFFFF) {
        painter.fillRect(rect, RgbColour(text.background));
    }
    if (text.border) {
        QPen pen(Qt::black);
        pen.setWidth(borderWidth);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect);
    }
    if (text.text.empty()) {
        return;
    }
    painter.setFont(fonts.Get(text.fontHeight, text.bold));
    painter.setPen(RgbColour(text.font));
    const int inset = text.border || text.background != 0xFFFFFF ? kTextInset : 0;
    const QRect inner = rect.adjusted(inset, 0, -inset, 0);
    // A text too long for its place is cut short with an ellipsis, never drawn over the next.
    const QString shown =
        painter.fontMetrics().elidedText(Q(text.text), Qt::ElideRight, inner.width());
    painter.drawText(inner, static_cast<int>(QtAlignment(text.align)) | Qt::TextSingleLine, shown);
}

} // namespace

QPageLayout RaceCardPageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Millimeter);
}

QSize PrintableTenths(const QPageLayout& layout)
{
    const QRectF mm = layout.paintRect(QPageLayout::Millimeter);
    return {static_cast<int>(mm.width() * 10), static_cast<int>(mm.height() * 10)};
}

void DrawRaceCardPage(QPainter& painter, const std::vector<RaceCardRace>& races,
                      const RaceCardPage& page, const RaceCardSettings& settings)
{
    const AnalysedRace& race = races.at(static_cast<std::size_t>(page.race)).race;
    // The title lines and the grid exactly as the one-race print draws them.
    DrawPrintPage(painter, race, page.grid, settings.grid);
    FontCache fonts;
    for (const CardText& text : page.texts) {
        DrawCardText(painter, text, fonts, settings.grid.borderWidth);
    }
}

void DrawRaceCardPageInto(QPainter& painter, const QRect& target, QSize pageSize,
                          const std::vector<RaceCardRace>& races, const RaceCardPage& page,
                          const RaceCardSettings& settings)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QSize fitted = pageSize.scaled(target.size(), Qt::KeepAspectRatio);
    painter.setViewport(QRect(target.topLeft(), fitted));
    painter.setWindow(0, 0, pageSize.width(), pageSize.height());
    painter.fillRect(QRect(QPoint(0, 0), pageSize), Qt::white);
    DrawRaceCardPage(painter, races, page, settings);
    painter.restore();
}

bool PaintRaceCard(QPagedPaintDevice& device, const std::vector<RaceCardRace>& races,
                   const RaceCardSettings& settings, int from, int to)
{
    const QPageLayout layout = device.pageLayout();
    const QSize pageSize = PrintableTenths(layout);
    const std::vector<RaceCardPage> pages =
        LayoutRaceCard(races, pageSize.width(), pageSize.height(), settings);
    QPainter painter;
    if (!painter.begin(&device)) {
        return false;
    }
    const QRect paintRect = layout.paintRectPixels(device.logicalDpiX());
    bool first = true;
    const int last = std::min(to, static_cast<int>(pages.size()));
    for (int index = std::max(1, from); index <= last; ++index) {
        if (!first) {
            device.newPage();
        }
        first = false;
        painter.setViewport(0, 0, paintRect.width(), paintRect.height());
        painter.setWindow(0, 0, pageSize.width(), pageSize.height());
        DrawRaceCardPage(painter, races, pages[static_cast<std::size_t>(index - 1)], settings);
    }
    return painter.end();
}

void WriteRaceCardPdf(const std::filesystem::path& path, const std::vector<RaceCardRace>& races,
                      const RaceCardSettings& settings)
{
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&buffer);
        pdf.setPageLayout(RaceCardPageLayout());
        pdf.setResolution(600);
        pdf.setCreator(QStringLiteral("Furlox Plus"));
        pdf.setTitle(QStringLiteral("出馬表"));
        if (!PaintRaceCard(pdf, races, settings, 1, std::numeric_limits<int>::max())) {
            throw Error("ファイル "_sj + PathText(path) + " を作成できません"_sj);
        }
    }
    WriteExportFile(path,
                    std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

} // namespace furlox::ui
