#include "Pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "Motifs.h"
#include "Outline.h"
#include "Palette.h"
#include "Surfaces.h"
#include "Text.h"

// Program icon
namespace artwork {

QImage AppIcon(int size)
{
    QImage img = Surface(1, size, size);
    img.fill(Qt::transparent);
    QPainter p(&img);
    Prepare(p);
    p.scale(size / 256.0, size / 256.0);

    QPainterPath plate;
    plate.addRoundedRect(QRectF(8, 8, 240, 240), 48, 48);
    p.fillPath(plate.translated(0, 4), QColor(0, 0, 0, 90));
    QLinearGradient bg(0, 8, 0, 248);
    bg.setColorAt(0.0, QColor(0x24, 0x52, 0x58));
    bg.setColorAt(1.0, QColor(0x08, 0x16, 0x1A));
    p.fillPath(plate, bg);
    p.save();
    p.setClipPath(plate);
    TurfStripes(p, QRectF(8, 8, 240, 240), 28, 14);
    p.restore();
    QPainterPath inner;
    inner.addRoundedRect(QRectF(18, 18, 220, 220), 40, 40);

    // The horse in gold, over a horseshoe.
    const QRectF shoeBox(46, 34, 164, 176);
    const QPainterPath shoe = Horseshoe(shoeBox).subtracted(HorseshoeNails(shoeBox));
    p.fillPath(shoe, WithAlpha(kGoldDeep, 70));
    p.save();
    p.setClipPath(inner);
    p.translate(66, 56);
    p.scale(1.42, 1.42);
    const QPainterPath horse = HorseBust().united(HorseFarEar());
    p.fillPath(horse.translated(2, 3), QColor(0, 0, 0, 140));
    QLinearGradient gold(10, 0, 90, 134);
    gold.setColorAt(0.0, QColor(0xFF, 0xF0, 0xB0));
    gold.setColorAt(0.5, kGold);
    gold.setColorAt(1.0, QColor(0xA8, 0x78, 0x08));
    p.fillPath(horse, gold);
    p.fillPath(HorseMane(), QColor(0x8A, 0x62, 0x06, 170));
    p.fillPath(HorseEye(), QColor(0x3A, 0x28, 0x04));
    p.strokePath(HorseBust(), QPen(QColor(0x5A, 0x40, 0x04), 1.2));
    p.restore();
    // Rims last, so the neck runs into the frame.
    p.strokePath(inner, QPen(WithAlpha(kGoldDeep, 190), 2));
    p.strokePath(plate, QPen(GoldGradient(8, 248), 7));
    p.end();
    return img.convertToFormat(QImage::Format_ARGB32);
}

} // namespace artwork
