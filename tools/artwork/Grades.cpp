#include "Pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "Motifs.h"
#include "Outline.h"
#include "Palette.h"
#include "Surfaces.h"
#include "Text.h"

// Confidence grade pictures
namespace artwork {

QImage GradePicture(int scale, const GradeDesign& g)
{
    const int w = 130, h = 48;
    QImage img = Surface(scale, w, h);
    QPainter p(&img);
    Prepare(p);
    const bool muted = g.letter.isEmpty();
    QLinearGradient paper(0, 0, 0, h);
    paper.setColorAt(0.0, QColor(0xFF, 0xFF, 0xFF));
    paper.setColorAt(1.0, muted ? QColor(0xEC, 0xEC, 0xEA) : QColor(0xF4, 0xF0, 0xE4));
    p.fillRect(Area(img), paper);

    // Medallion on the left carrying the letter.
    const QPointF c(25, 24);
    QRadialGradient disc(QPointF(c.x() - 6, c.y() - 8), 26);
    disc.setColorAt(0.0, g.top);
    disc.setColorAt(1.0, g.bottom);
    p.setPen(QPen(g.rim, 2.0));
    p.setBrush(disc);
    p.drawEllipse(c, 20, 20);
    p.setPen(QPen(QColor(255, 255, 255, 90), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, 17, 17);
    if (!muted) {
        const QFont f = Font(kSerif, 30, QFont::Black);
        QFontMetricsF fm(f);
        const QPainterPath letter = TextPath(
            g.letter, f, QPointF(c.x() - fm.horizontalAdvance(g.letter) / 2.0, c.y() + 11));
        p.fillPath(letter.translated(1, 1.2), QColor(0, 0, 0, 120));
        p.fillPath(letter, QColor(0xFF, 0xFC, 0xF0));
    } else {
        QPainterPath dash;
        dash.addRoundedRect(QRectF(c.x() - 9, c.y() - 2, 18, 4), 2, 2);
        p.fillPath(dash, QColor(0xF4, 0xF4, 0xF4));
    }

    // "勝負度" and the strength on the right.
    p.setFont(Font(kSans, 11, QFont::Bold));
    p.setPen(muted ? QColor(0x90, 0x90, 0x90) : QColor(0x4A, 0x44, 0x38));
    p.drawText(QRectF(52, 4, 74, 14), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("勝負度"));
    QLinearGradient rule(52, 0, 126, 0);
    rule.setColorAt(0.0, muted ? QColor(0xB0, 0xB0, 0xB0) : g.rim);
    rule.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillRect(QRectF(52, 19, 72, 1), rule);
    if (muted) {
        p.setFont(Font(kSans, 16, QFont::Bold));
        p.setPen(QColor(0x88, 0x88, 0x88));
        p.drawText(QRectF(52, 21, 76, 24), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("見送り"));
    } else {
        for (int i = 0; i < 3; ++i) {
            QPainterPath star;
            const QPointF sc(60 + i * 20, 33);
            for (int k = 0; k < 10; ++k) {
                const double a = -std::numbers::pi / 2 + k * std::numbers::pi / 5;
                const double r = (k % 2) ? 3.4 : 8.0;
                const QPointF pt(sc.x() + r * std::cos(a), sc.y() + r * std::sin(a));
                if (k == 0)
                    star.moveTo(pt);
                else
                    star.lineTo(pt);
            }
            star.closeSubpath();
            if (i < g.stars) {
                QLinearGradient sg(0, 25, 0, 41);
                sg.setColorAt(0.0, Mix(g.top, Qt::white, 0.25));
                sg.setColorAt(1.0, g.bottom);
                p.fillPath(star, sg);
                p.strokePath(star, QPen(g.rim, 0.8));
            } else {
                p.strokePath(star, QPen(QColor(0xC4, 0xC0, 0xB4), 1.0));
            }
        }
    }
    p.end();
    return img.convertToFormat(QImage::Format_RGB32);
}

} // namespace artwork
