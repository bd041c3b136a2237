#include "Pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "Motifs.h"
#include "Outline.h"
#include "Palette.h"
#include "Surfaces.h"
#include "Text.h"

// Close button
namespace artwork {

QImage CloseButton(int scale, ButtonState state)
{
    const int w = 14, h = 13;
    QImage img = Canvas(scale, w, h);
    QColor top, bottom, cross;
    std::vector<Ring> rings;
    double shift = 0.0;
    switch (state) {
    case ButtonState::Hover:
        top = QColor(0xD8, 0x3A, 0x2A);
        bottom = QColor(0x7A, 0x12, 0x0C);
        cross = QColor(0xFF, 0xF8, 0xE8);
        rings = {{QColor(0xFF, 0xE0, 0x70), QColor(0x9A, 0x72, 0x12)}};
        break;
    case ButtonState::Down:
        top = QColor(0x4A, 0x0A, 0x06);
        bottom = QColor(0x8A, 0x1C, 0x12);
        cross = QColor(0xE8, 0xD8, 0xC0);
        rings = {{QColor(0x5A, 0x40, 0x08), QColor(0xD8, 0xB0, 0x30)}};
        shift = 0.6;
        break;
    default:
        top = QColor(0x2A, 0x4E, 0x54);
        bottom = QColor(0x0C, 0x1E, 0x22);
        cross = kGold;
        rings = {{QColor(0xF2, 0xC8, 0x40), QColor(0x6A, 0x4C, 0x0A)}};
        break;
    }
    {
        QPainter p(&img);
        Prepare(p);
        QLinearGradient face(0, 0, 0, h);
        face.setColorAt(0.0, top);
        face.setColorAt(1.0, bottom);
        p.fillRect(QRect(0, 0, w, h), face);
        QPainterPath x;
        x.moveTo(4.6 + shift, 4.2 + shift);
        x.lineTo(9.4 + shift, 8.8 + shift);
        x.moveTo(9.4 + shift, 4.2 + shift);
        x.lineTo(4.6 + shift, 8.8 + shift);
        p.strokePath(x.translated(0, 0.7),
                     QPen(QColor(0, 0, 0, 160), 1.7, Qt::SolidLine, Qt::RoundCap));
        p.strokePath(x, QPen(cross, 1.7, Qt::SolidLine, Qt::RoundCap));
    }
    return Keyed(img, Shape::Ellipse(scale, w, h), rings);
}

} // namespace artwork
