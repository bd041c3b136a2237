#include "Pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "Motifs.h"
#include "Outline.h"
#include "Palette.h"
#include "Surfaces.h"
#include "Text.h"

// Detail window
namespace artwork {

QImage DetailBackground(int scale)
{
    QImage img = Canvas(scale, 640, 500);
    {
        QPainter p(&img);
        Prepare(p);
        WindowBody(p, 640, 500, 28);
        const QRectF emblem(16, 7, 14, 15);
        const QPainterPath shoe = Horseshoe(emblem).subtracted(HorseshoeNails(emblem));
        p.fillPath(shoe.translated(0.6, 0.8), QColor(0, 0, 0, 190));
        p.fillPath(shoe, GoldGradient(emblem.top(), emblem.bottom(), true));
        WindowTitle(p, QStringLiteral("馬データ詳細"), Font(kSans, 14, QFont::Bold), 40, 19.5, 1.0);
        const double end =
            40 + TextWidth(QStringLiteral("馬データ詳細"), Font(kSans, 14, QFont::Bold), 1.0);
        Diamond(p, QPointF(end + 12, 14.5), 2.5, kGoldDeep);
        QLinearGradient tail(end + 18, 0, end + 150, 0);
        tail.setColorAt(0.0, WithAlpha(kGoldDeep, 200));
        tail.setColorAt(1.0, WithAlpha(kGoldDeep, 0));
        p.fillRect(QRectF(end + 18, 14, 132, 1), tail);

        for (const QRect& r :
             {QRect(9, 32, 299, 316), QRect(314, 32, 316, 316), QRect(9, 354, 621, 128)})
            RecessFrame(p, r);
    }
    return Keyed(img, Shape::RoundedRect(scale, 640, 500, 14), WindowRings());
}

QImage DetailPanel(int scale)
{
    const int w = 295, h = 312;
    QImage img = Surface(scale, w, h);
    QPainter p(&img);
    Prepare(p);
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0.0, QColor(0xFF, 0xFE, 0xFA));
    g.setColorAt(1.0, QColor(0xF3, 0xEF, 0xE4));
    p.fillRect(Area(img), g);
    // Watermark: the horse, very faint, in the lower right.
    p.save();
    p.translate(w - 122, h - 150);
    p.scale(1.12, 1.12);
    p.fillPath(HorseBust().united(HorseFarEar()), QColor(0xB8, 0x96, 0x3A, 20));
    p.strokePath(HorseBust(), QPen(QColor(0xB8, 0x96, 0x3A, 34), 1.0));
    p.restore();
    // Thin gold band along the top edge.
    QLinearGradient band(0, 0, w, 0);
    band.setColorAt(0.0, WithAlpha(kGoldDeep, 140));
    band.setColorAt(1.0, WithAlpha(kGoldDeep, 0));
    p.fillRect(QRectF(0, 0, w, 2), band);
    p.end();
    return img.convertToFormat(QImage::Format_RGB32);
}

QImage CoatPicture(int scale, int index)
{
    QImage img = Surface(scale, 50, 67);
    img.fill(Qt::transparent);
    QPainter p(&img);
    Prepare(p);
    p.scale(0.5, 0.5);
    PaintHorse(p, kCoats[index], 0x9E3779B9u + std::uint32_t(index) * 7919u);
    p.end();
    return img.convertToFormat(QImage::Format_ARGB32);
}

} // namespace artwork
