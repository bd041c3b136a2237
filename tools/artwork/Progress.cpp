#include "Pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "Motifs.h"
#include "Outline.h"
#include "Palette.h"
#include "Surfaces.h"
#include "Text.h"

// Progress dialog
namespace artwork {

QImage ProgressBackground(int scale)
{
    const int w = 240, h = 104;
    QImage img = Canvas(scale, w, h);
    {
        QPainter p(&img);
        Prepare(p);
        QLinearGradient body(0, 0, 0, h);
        body.setColorAt(0.0, QColor(0x1E, 0x40, 0x46));
        body.setColorAt(1.0, QColor(0x0C, 0x18, 0x1C));
        p.fillRect(QRect(0, 0, w, h), body);

        // Light plate for the dialog's dark texts.
        QPainterPath plate;
        plate.addRoundedRect(QRectF(6.5, 6.5, w - 13, h - 13), 5, 5);
        QLinearGradient pg(0, 6, 0, h - 6);
        pg.setColorAt(0.0, QColor(0xFB, 0xF8, 0xEE));
        pg.setColorAt(1.0, QColor(0xE2, 0xDC, 0xCC));
        p.fillPath(plate, pg);
        p.strokePath(plate, QPen(QColor(0x8A, 0x6A, 0x18), 1.0));

        // Medallion with a horseshoe at the left of the caption.
        const QPointF c(38, 32);
        QRadialGradient disc(QPointF(c.x() - 5, c.y() - 6), 24);
        disc.setColorAt(0.0, kNavyGreenLight);
        disc.setColorAt(1.0, kNavyGreen);
        p.setPen(QPen(kGoldDeep, 1.6));
        p.setBrush(disc);
        p.drawEllipse(c, 19, 19);
        const QRectF box(c.x() - 10, c.y() - 11, 20, 22);
        const QPainterPath shoe = Horseshoe(box).subtracted(HorseshoeNails(box));
        p.fillPath(shoe.translated(0.6, 0.8), QColor(0, 0, 0, 160));
        p.fillPath(shoe, GoldGradient(box.top(), box.bottom(), true));

        // Slot for the progress bar.
        p.setRenderHint(QPainter::Antialiasing, false);
        const QRect bar(11, 61, 217, 20);
        p.setPen(QColor(0x9C, 0x94, 0x80));
        p.drawLine(bar.left() - 1, bar.top() - 1, bar.right() + 1, bar.top() - 1);
        p.drawLine(bar.left() - 1, bar.top() - 1, bar.left() - 1, bar.bottom() + 1);
        p.setPen(QColor(0xFF, 0xFF, 0xFF));
        p.drawLine(bar.left() - 1, bar.bottom() + 1, bar.right() + 1, bar.bottom() + 1);
        p.drawLine(bar.right() + 1, bar.top() - 1, bar.right() + 1, bar.bottom() + 1);
        p.setRenderHint(QPainter::Antialiasing, true);
        // A gold hairline under the caption line.
        QLinearGradient rule(72, 0, 226, 0);
        rule.setColorAt(0.0, WithAlpha(kGoldDeep, 160));
        rule.setColorAt(1.0, WithAlpha(kGoldDeep, 0));
        p.fillRect(QRectF(72, 31, 154, 1), rule);
    }
    return Keyed(img, Shape::RoundedRect(scale, w, h, 10), WindowRings());
}

} // namespace artwork
