#include "Surfaces.h"

#include <QLinearGradient>
#include <QPainterPath>

#include "Palette.h"
#include "Text.h"

namespace artwork {

void TurfStripes(QPainter& p, const QRectF& area, double stripe, int alpha)
{
    p.save();
    p.setClipRect(area);
    p.setPen(Qt::NoPen);
    int i = 0;
    for (double x = area.left() - area.height(); x < area.right(); x += stripe, ++i) {
        if (i % 2)
            continue;
        QPainterPath band;
        band.moveTo(x, area.bottom());
        band.lineTo(x + stripe, area.bottom());
        band.lineTo(x + stripe + area.height() * 0.35, area.top());
        band.lineTo(x + area.height() * 0.35, area.top());
        band.closeSubpath();
        p.fillPath(band, QColor(0x6A, 0xA0, 0x7A, alpha));
    }
    p.restore();
}

void RecessFrame(QPainter& p, const QRect& r)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    const QRect a = r.adjusted(-1, -1, 0, 0); // shadow line hugging the widget
    const QRect b = r.adjusted(-2, -2, 1, 1); // gold hairline rim
    p.setPen(QColor(0x03, 0x04, 0x05));
    p.drawRect(a);
    p.setPen(QColor(0x0A, 0x0C, 0x0E));
    p.drawLine(b.topLeft(), b.topRight());
    p.drawLine(b.topLeft(), b.bottomLeft());
    p.setPen(WithAlpha(kGoldDeep, 150));
    p.drawLine(b.bottomLeft() + QPoint(1, 0), b.bottomRight());
    p.drawLine(b.topRight() + QPoint(0, 1), b.bottomRight());
    p.restore();
}

std::vector<Ring> WindowRings()
{
    return {
        {QColor(0xF2, 0xC8, 0x40), QColor(0x6A, 0x4C, 0x0A)},
        {QColor(0x8A, 0x6A, 0x18), QColor(0x2A, 0x20, 0x08)},
        {QColor(0x05, 0x06, 0x07), QColor(0x05, 0x06, 0x07)},
        {QColor(0xFF, 0xFF, 0xFF, 40), QColor(0x00, 0x00, 0x00, 0), 1.0},
    };
}

void WindowBody(QPainter& p, int width, int height, int stripHeight)
{
    QLinearGradient body(0, stripHeight, 0, height);
    body.setColorAt(0.0, QColor(0x1C, 0x21, 0x27));
    body.setColorAt(1.0, QColor(0x0F, 0x12, 0x15));
    p.fillRect(QRect(0, 0, width, height), body);
    TurfStripes(p, QRectF(0, stripHeight, width, height - stripHeight), 34, 6);

    QLinearGradient strip(0, 0, 0, stripHeight);
    strip.setColorAt(0.0, QColor(0x23, 0x4A, 0x50));
    strip.setColorAt(0.5, QColor(0x14, 0x33, 0x39));
    strip.setColorAt(1.0, QColor(0x0B, 0x20, 0x25));
    p.fillRect(QRect(0, 0, width, stripHeight), strip);
    // Soft sheen across the top of the strip.
    QLinearGradient sheen(0, 0, 0, stripHeight / 2.0);
    sheen.setColorAt(0.0, QColor(255, 255, 255, 26));
    sheen.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillRect(QRect(0, 0, width, stripHeight / 2), sheen);

    // Gold rule under the title, fading out toward the ends.
    QLinearGradient rule(10, 0, width - 10, 0);
    rule.setColorAt(0.0, WithAlpha(kGoldDeep, 0));
    rule.setColorAt(0.08, kGoldDeep);
    rule.setColorAt(0.5, kGold);
    rule.setColorAt(0.92, kGoldDeep);
    rule.setColorAt(1.0, WithAlpha(kGoldDeep, 0));
    p.fillRect(QRect(4, stripHeight, width - 8, 1), rule);
    p.fillRect(QRect(4, stripHeight + 1, width - 8, 1), QColor(0, 0, 0, 170));
}

void WindowTitle(QPainter& p, const QString& text, const QFont& font, double x, double baseline,
                 double letterSpacing)
{
    const QPainterPath path = TextPath(text, font, QPointF(x, baseline), letterSpacing);
    FillGoldText(p, path);
}

void Diamond(QPainter& p, QPointF c, double r, const QColor& colour)
{
    QPainterPath d;
    d.moveTo(c.x(), c.y() - r);
    d.lineTo(c.x() + r, c.y());
    d.lineTo(c.x(), c.y() + r);
    d.lineTo(c.x() - r, c.y());
    d.closeSubpath();
    p.fillPath(d, colour);
}

} // namespace artwork
