#include "Text.h"

#include <QFontMetricsF>
#include <algorithm>
#include <cmath>

#include "Palette.h"

namespace artwork {

QFont Font(const char* family, double pixelSize, QFont::Weight weight)
{
    QFont f(QString::fromLatin1(family));
    f.setPixelSize(int(std::lround(pixelSize)));
    f.setWeight(weight);
    f.setStyleStrategy(QFont::PreferAntialias);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

QPainterPath TextPath(const QString& text, const QFont& font, QPointF baseline,
                      double letterSpacing)
{
    QPainterPath path;
    if (letterSpacing == 0.0) {
        path.addText(baseline, font, text);
        return path;
    }
    QFontMetricsF fm(font);
    double x = baseline.x();
    for (const QChar ch : text) {
        path.addText(QPointF(x, baseline.y()), font, QString(ch));
        x += fm.horizontalAdvance(ch) + letterSpacing;
    }
    return path;
}

double TextWidth(const QString& text, const QFont& font, double letterSpacing)
{
    QFontMetricsF fm(font);
    return fm.horizontalAdvance(text) + letterSpacing * std::max<qsizetype>(0, text.size() - 1);
}

QLinearGradient GoldGradient(double top, double bottom, bool bright)
{
    QLinearGradient g(0, top, 0, bottom);
    g.setColorAt(0.0, bright ? QColor(0xFF, 0xF4, 0xC0) : kGoldPale);
    g.setColorAt(0.45, bright ? QColor(0xFF, 0xD8, 0x30) : kGold);
    g.setColorAt(1.0, bright ? kGold : kGoldDeep);
    return g;
}

void FillGoldText(QPainter& p, const QPainterPath& path, bool bright)
{
    const QRectF r = path.boundingRect();
    p.fillPath(path.translated(1, 1), QColor(0, 0, 0, 200));
    p.fillPath(path, GoldGradient(r.top(), r.bottom(), bright));
}

} // namespace artwork
