#include "Pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "Motifs.h"
#include "Outline.h"
#include "Palette.h"
#include "Surfaces.h"
#include "Text.h"

// About window
namespace artwork {

QImage AboutPicture(int scale)
{
    // The window writes its version and edition along the top and its platform and notice
    // lines near the bottom; the picture keeps its motif in the band between.
    const int w = 392, h = 270;
    QImage img = Surface(scale, w, h);
    QPainter p(&img);
    Prepare(p);
    QRadialGradient bg(QPointF(w * 0.42, h * 0.42), 270);
    bg.setColorAt(0.0, QColor(0x18, 0x3C, 0x42));
    bg.setColorAt(0.55, QColor(0x0E, 0x22, 0x27));
    bg.setColorAt(1.0, QColor(0x07, 0x0B, 0x0D));
    p.fillRect(Area(img), bg);
    TurfStripes(p, QRectF(Area(img)), 30, 6);

    // The horse, faint, looking in from the right.
    p.save();
    p.translate(w - 118, 40);
    p.scale(1.12, 1.12);
    const QPainterPath horse = HorseBust().united(HorseFarEar());
    QLinearGradient horseFill(0, 0, 60, 134);
    horseFill.setColorAt(0.0, WithAlpha(kGoldPale, 54));
    horseFill.setColorAt(1.0, WithAlpha(kGoldDeep, 0));
    p.fillPath(horse, horseFill);
    QLinearGradient horseLine(0, 0, 40, 134);
    horseLine.setColorAt(0.0, WithAlpha(kGoldPale, 150));
    horseLine.setColorAt(1.0, WithAlpha(kGoldPale, 0));
    p.strokePath(horse, QPen(QBrush(horseLine), 0.9));
    p.fillPath(HorseEye(), WithAlpha(kGoldPale, 90));
    p.restore();

    // Rails of the home straight sweeping in under the name.
    for (int i = 0; i < 2; ++i) {
        QPainterPath rail;
        const double y0 = 188 + i * 9;
        rail.moveTo(-10, y0 + 4);
        rail.cubicTo(110, y0 - 6, 230, y0 - 26, 300, y0 - 48 - i * 4);
        QLinearGradient rg(0, 0, 300, 0);
        rg.setColorAt(0.0, WithAlpha(kGoldDeep, 0));
        rg.setColorAt(0.3, WithAlpha(kGoldDeep, i == 0 ? 120 : 60));
        rg.setColorAt(1.0, WithAlpha(kGoldDeep, 0));
        p.strokePath(rail, QPen(QBrush(rg), i == 0 ? 1.4 : 0.9));
    }

    // Name, with a rule and the program's subject under it.
    const QFont f = Font(kSerif, 36, QFont::Black);
    const QString name = QStringLiteral("Furlox Plus");
    const double x = 30;
    const double tw = TextWidth(name, f, 1.2);
    const QPainterPath text = TextPath(name, f, QPointF(x, 116), 1.2);
    p.fillPath(text.translated(2, 2.5), QColor(0, 0, 0, 190));
    FillGoldText(p, text, true);
    p.strokePath(text, QPen(QColor(0x7A, 0x5A, 0x0A, 160), 0.6));

    QLinearGradient rule(x, 0, x + tw + 40, 0);
    rule.setColorAt(0.0, kGold);
    rule.setColorAt(1.0, WithAlpha(kGoldDeep, 0));
    p.fillRect(QRectF(x + 10, 131, tw + 30, 1), rule);
    Diamond(p, QPointF(x + 4, 131.5), 3.5, kGold);
    p.setFont(Font(kSans, 12, QFont::Bold));
    p.setPen(WithAlpha(kCream, 225));
    p.drawText(QRectF(x + 2, 138, 260, 18), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("FX値 レース分析"));

    // Double gold frame.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(WithAlpha(kGoldDeep, 220));
    p.drawRect(QRect(3, 3, w - 7, h - 7));
    p.setPen(WithAlpha(kGoldDeep, 90));
    p.drawRect(QRect(6, 6, w - 13, h - 13));
    p.setPen(QColor(0x02, 0x03, 0x04));
    p.drawRect(QRect(0, 0, w - 1, h - 1));
    p.setPen(QColor(0x30, 0x28, 0x10));
    p.drawRect(QRect(1, 1, w - 3, h - 3));
    p.end();
    return img.convertToFormat(QImage::Format_RGB32);
}

} // namespace artwork
