#include "Pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "Motifs.h"
#include "Outline.h"
#include "Palette.h"
#include "Surfaces.h"
#include "Text.h"

// Panels of the main window
namespace artwork {

QImage TitlePanel(int scale)
{
    QImage img = Surface(scale, 480, 46);
    QPainter p(&img);
    Prepare(p);
    QLinearGradient g(0, 0, 0, 46);
    g.setColorAt(0.0, QColor(0x0E, 0x12, 0x15));
    g.setColorAt(1.0, QColor(0x08, 0x0A, 0x0C));
    p.fillRect(Area(img), g);
    // A dark green-navy wash from the right, where the race texts do not reach.
    QLinearGradient wash(260, 0, 480, 0);
    wash.setColorAt(0.0, WithAlpha(kNavyGreen, 0));
    wash.setColorAt(1.0, WithAlpha(kNavyGreen, 200));
    p.fillRect(Area(img), wash);
    const QRectF box(440, 8, 26, 29);
    const QPainterPath shoe = Horseshoe(box).subtracted(HorseshoeNails(box));
    p.fillPath(shoe, WithAlpha(kGoldDeep, 46));
    QLinearGradient rule(0, 0, 480, 0);
    rule.setColorAt(0.0, WithAlpha(kGoldDeep, 0));
    rule.setColorAt(0.5, WithAlpha(kGoldDeep, 60));
    rule.setColorAt(1.0, WithAlpha(kGoldDeep, 0));
    p.fillRect(QRect(0, 45, 480, 1), rule);
    p.end();
    return img.convertToFormat(QImage::Format_RGB32);
}

QImage GridPanel(int scale)
{
    QImage img = Surface(scale, 480, 327);
    QPainter p(&img);
    Prepare(p);
    QLinearGradient g(0, 0, 0, 327);
    g.setColorAt(0.0, QColor(0x30, 0x35, 0x3A));
    g.setColorAt(1.0, QColor(0x1E, 0x22, 0x26));
    p.fillRect(Area(img), g);
    TurfStripes(p, QRectF(Area(img)), 30, 10);
    // Fine diagonal hatching for a woven texture.
    p.setPen(QPen(QColor(255, 255, 255, 7), 1.0));
    for (int x = -327; x < 480; x += 4)
        p.drawLine(QPointF(x, 327), QPointF(x + 327, 0));
    // The program's name in a quiet watermark where short fields leave the grid short.
    const QFont f = Font(kSerif, 30, QFont::Bold);
    const QString name = QStringLiteral("Furlox Plus");
    const double w = TextWidth(name, f, 1.0);
    const QPainterPath text = TextPath(name, f, QPointF(480 - 24 - w, 300), 1.0);
    p.fillPath(text.translated(1, 1), QColor(0, 0, 0, 60));
    p.fillPath(text, WithAlpha(kGoldDeep, 40));
    const QRectF box(480 - 24 - w - 40, 270, 30, 33);
    p.fillPath(Horseshoe(box).subtracted(HorseshoeNails(box)), WithAlpha(kGoldDeep, 36));
    // Vignette.
    QRadialGradient v(QPointF(240, 160), 330);
    v.setColorAt(0.6, QColor(0, 0, 0, 0));
    v.setColorAt(1.0, QColor(0, 0, 0, 90));
    p.fillRect(Area(img), v);
    p.end();
    return img.convertToFormat(QImage::Format_RGB32);
}

QImage BetsPanel(int scale)
{
    QImage img = Surface(scale, 128, 327);
    QPainter p(&img);
    Prepare(p);
    QLinearGradient g(0, 0, 0, 327);
    g.setColorAt(0.0, QColor(0x0C, 0x10, 0x13));
    g.setColorAt(0.6, QColor(0x0A, 0x14, 0x17));
    g.setColorAt(1.0, QColor(0x0C, 0x1E, 0x22));
    p.fillRect(Area(img), g);
    TurfStripes(p, QRectF(Area(img)), 22, 6);
    const QRectF box(44, 258, 40, 44);
    p.fillPath(Horseshoe(box).subtracted(HorseshoeNails(box)), WithAlpha(kGoldDeep, 34));
    QLinearGradient rule(0, 0, 128, 0);
    rule.setColorAt(0.0, WithAlpha(kGoldDeep, 0));
    rule.setColorAt(0.5, WithAlpha(kGoldDeep, 50));
    rule.setColorAt(1.0, WithAlpha(kGoldDeep, 0));
    p.fillRect(QRect(8, 246, 112, 1), rule);
    p.end();
    return img.convertToFormat(QImage::Format_RGB32);
}

} // namespace artwork
