#include "Motifs.h"

#include <QTransform>
#include <algorithm>
#include <cmath>

#include "Palette.h"

namespace artwork {

QPainterPath Horseshoe(QRectF box)
{
    const double w = box.width(), h = box.height();
    QPainterPath outer;
    outer.moveTo(box.left() + w * 0.08, box.top() + h * 0.98);
    outer.cubicTo(box.left() - w * 0.02, box.top() + h * 0.55, box.left() + w * 0.02,
                  box.top() + h * 0.02, box.left() + w * 0.5, box.top());
    outer.cubicTo(box.left() + w * 0.98, box.top() + h * 0.02, box.left() + w * 1.02,
                  box.top() + h * 0.55, box.left() + w * 0.92, box.top() + h * 0.98);
    outer.lineTo(box.left() + w * 0.66, box.top() + h * 0.98);
    outer.cubicTo(box.left() + w * 0.76, box.top() + h * 0.62, box.left() + w * 0.74,
                  box.top() + h * 0.30, box.left() + w * 0.5, box.top() + h * 0.28);
    outer.cubicTo(box.left() + w * 0.26, box.top() + h * 0.30, box.left() + w * 0.24,
                  box.top() + h * 0.62, box.left() + w * 0.34, box.top() + h * 0.98);
    outer.closeSubpath();
    return outer;
}

QPainterPath HorseshoeNails(QRectF box)
{
    const double w = box.width(), h = box.height();
    QPainterPath holes;
    const double r = std::max(0.5, w * 0.045);
    const double pts[][2] = {{0.14, 0.74}, {0.15, 0.48}, {0.24, 0.24},
                             {0.86, 0.74}, {0.85, 0.48}, {0.76, 0.24}};
    for (const auto& pt : pts)
        holes.addEllipse(QPointF(box.left() + w * pt[0], box.top() + h * pt[1]), r, r);
    return holes;
}

QPainterPath HorseBust()
{
    QPainterPath p;
    p.moveTo(55, 2);                      // tip of the near ear
    p.cubicTo(51, 9, 49, 15, 49, 22);     // front of the ear
    p.cubicTo(46, 25, 43, 28, 40, 32);    // forehead
    p.cubicTo(32, 45, 21, 61, 12, 75);    // face
    p.cubicTo(6, 83, 3, 90, 5, 97);       // muzzle
    p.cubicTo(7, 102, 12, 105, 18, 104);  // upper lip
    p.cubicTo(21, 108, 28, 109, 32, 105); // chin
    p.cubicTo(39, 101, 46, 100, 53, 99);  // under the jaw
    p.cubicTo(63, 99, 69, 91, 75, 86);    // round of the jowl
    p.cubicTo(76, 100, 66, 120, 55, 134); // throat and the front of the neck
    p.lineTo(100, 134);
    p.cubicTo(101, 98, 100, 64, 92, 43); // crest
    p.cubicTo(86, 30, 76, 20, 66, 15);   // behind the poll
    p.cubicTo(64, 9, 60, 4, 55, 2);      // back of the ear
    p.closeSubpath();
    return p;
}

QPainterPath HorseFarEar()
{
    QPainterPath p;
    p.moveTo(64, 0);
    p.cubicTo(61, 6, 60, 12, 61, 19);
    p.lineTo(68, 19);
    p.cubicTo(68, 11, 67, 5, 64, 0);
    p.closeSubpath();
    return p;
}

QPainterPath HorseMane()
{
    QPainterPath crest;
    crest.moveTo(100, 134);
    crest.cubicTo(101, 98, 100, 64, 92, 43);
    crest.cubicTo(86, 30, 76, 20, 66, 15);
    crest.cubicTo(64, 13, 62, 12, 60, 13);
    QPainterPath p;
    p.moveTo(crest.pointAtPercent(0));
    constexpr int kSteps = 24;
    for (int i = 0; i <= kSteps; ++i)
        p.lineTo(crest.pointAtPercent(double(i) / kSteps));
    // Back down along the inner edge, alternating the depth of the locks.
    for (int i = kSteps; i >= 0; --i) {
        const double t = double(i) / kSteps;
        const QPointF pt = crest.pointAtPercent(t);
        const double a = crest.angleAtPercent(t) * std::numbers::pi / 180.0;
        // Inward normal of a path running up the crest: to its left.
        const QPointF n(-std::sin(a), -std::cos(a));
        const double depth = (i % 2 ? 13.0 : 8.0) * (0.6 + 0.4 * std::sin(t * std::numbers::pi));
        p.lineTo(pt + n * depth);
    }
    p.closeSubpath();
    // Forelock falling over the forehead.
    QPainterPath lock;
    lock.moveTo(57, 17);
    lock.cubicTo(52, 21, 46, 26, 43, 35);
    lock.cubicTo(48, 31, 51, 30, 54, 30);
    lock.cubicTo(52, 33, 51, 36, 51, 40);
    lock.cubicTo(55, 33, 59, 27, 63, 22);
    lock.closeSubpath();
    return p.united(lock);
}

QPainterPath HorseEye()
{
    QPainterPath eye;
    eye.moveTo(-5, 0);
    eye.cubicTo(-2, -3.6, 2.5, -3.6, 5, 0);
    eye.cubicTo(2.5, 2.6, -2, 2.6, -5, 0);
    QTransform t;
    t.translate(44, 43);
    t.rotate(-40);
    return t.map(eye);
}

void PaintHorse(QPainter& p, const Coat& coat, std::uint32_t seed)
{
    const QPainterPath bust = HorseBust();
    const QPainterPath farEar = HorseFarEar();

    // Far ear sits behind, in shadow.
    p.fillPath(farEar, coat.shade);
    p.strokePath(farEar, QPen(coat.outline, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));

    // Coat: lit from the upper left, the neck turning into shadow.
    QLinearGradient coatGrad(20, 40, 95, 120);
    coatGrad.setColorAt(0.0, Mix(coat.body, Qt::white, 0.12));
    coatGrad.setColorAt(0.45, coat.body);
    coatGrad.setColorAt(1.0, coat.shade);
    p.fillPath(bust, coatGrad);

    p.save();
    p.setClipPath(bust);
    if (coat.pattern == Coat::Roan) {
        // Roans are flecked with white over the body while the head keeps its colour.
        Lcg rng(seed);
        for (int i = 0; i < 900; ++i) {
            const double x = 40 + rng.next() * 62;
            const double y = 30 + rng.next() * 106;
            const double r = 0.9 + rng.next() * 1.1;
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(255, 255, 255, int(70 + rng.next() * 90)));
            p.drawEllipse(QPointF(x, y), r, r);
        }
        QRadialGradient headGrad(QPointF(30, 70), 46);
        headGrad.setColorAt(0.0, coat.head);
        headGrad.setColorAt(0.62, WithAlpha(coat.head, 235));
        headGrad.setColorAt(1.0, WithAlpha(coat.head, 0));
        p.fillRect(QRectF(0, 0, 100, 134), headGrad);
    } else if (coat.pattern == Coat::Dapple) {
        // Dapples: soft darker rings with light centres over the neck and cheek.
        Lcg rng(seed);
        p.setPen(Qt::NoPen);
        for (int i = 0; i < 60; ++i) {
            const QPointF c(48 + rng.next() * 54, 52 + rng.next() * 84);
            const double r = 3.2 + rng.next() * 2.4;
            QRadialGradient dapple(c, r);
            dapple.setColorAt(0.0, QColor(255, 255, 255, 70));
            dapple.setColorAt(0.55, QColor(255, 255, 255, 30));
            dapple.setColorAt(0.8, WithAlpha(coat.shade, 90));
            dapple.setColorAt(1.0, WithAlpha(coat.shade, 0));
            p.setBrush(dapple);
            p.drawEllipse(c, r, r);
        }
        // Greys darken toward the muzzle.
        QRadialGradient noseGrad(QPointF(10, 95), 34);
        noseGrad.setColorAt(0.0, WithAlpha(coat.shade, 200));
        noseGrad.setColorAt(1.0, WithAlpha(coat.shade, 0));
        p.fillRect(QRectF(0, 0, 100, 134), noseGrad);
    }

    // Muzzle and ear tips in the points colour.
    QRadialGradient muzzleGrad(QPointF(9, 94), 20);
    muzzleGrad.setColorAt(0.0, coat.muzzle);
    muzzleGrad.setColorAt(0.55, WithAlpha(coat.muzzle, 200));
    muzzleGrad.setColorAt(1.0, WithAlpha(coat.muzzle, 0));
    p.fillRect(QRectF(0, 70, 50, 40), muzzleGrad);
    QRadialGradient earGrad(QPointF(55, 4), 12);
    earGrad.setColorAt(0.0, coat.muzzle);
    earGrad.setColorAt(1.0, WithAlpha(coat.muzzle, 0));
    p.fillRect(QRectF(40, 0, 30, 22), earGrad);

    // Jowl: a soft highlight on the round of the cheek and its shadowed rim.
    QRadialGradient cheek(QPointF(54, 72), 20);
    cheek.setColorAt(0.0, QColor(255, 255, 255, 46));
    cheek.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillRect(QRectF(25, 45, 50, 50), cheek);
    QPainterPath jowl;
    jowl.moveTo(44, 60);
    jowl.cubicTo(60, 58, 70, 68, 68, 80);
    jowl.cubicTo(66, 90, 60, 95, 52, 97);
    p.strokePath(jowl, QPen(WithAlpha(coat.outline, 120), 1.6, Qt::SolidLine, Qt::RoundCap));

    // Mane.
    p.fillPath(HorseMane(), coat.mane);
    // A sheen along the crest.
    QPainterPath sheen;
    sheen.moveTo(97, 120);
    sheen.cubicTo(97, 92, 95, 66, 88, 46);
    sheen.cubicTo(83, 35, 76, 27, 68, 21);
    p.strokePath(sheen, QPen(WithAlpha(Mix(coat.mane, Qt::white, 0.3), 80), 1.4, Qt::SolidLine,
                             Qt::RoundCap));
    p.restore();

    // White star on the forehead.
    if (coat.star) {
        QPainterPath star;
        star.moveTo(37, 35);
        star.cubicTo(40, 32, 44, 34, 43, 38);
        star.cubicTo(42, 42, 37, 42, 35, 39);
        star.closeSubpath();
        p.fillPath(star, QColor(0xF8, 0xF4, 0xEA));
    }

    // Eye, nostril and mouth.
    p.fillPath(HorseEye(), QColor(0x14, 0x0C, 0x08));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 200));
    p.drawEllipse(QPointF(42.6, 41.6), 1.0, 1.0);
    const QColor feature = coat.pattern == Coat::Plain && coat.body.lightness() > 200
                               ? QColor(0x8A, 0x5C, 0x58)
                               : QColor(0x0C, 0x08, 0x06, 200);
    QPainterPath nostril;
    nostril.moveTo(10, 85);
    nostril.cubicTo(13, 82, 17, 85, 15, 90);
    p.strokePath(nostril, QPen(feature, 2.2, Qt::SolidLine, Qt::RoundCap));
    QPainterPath mouth;
    mouth.moveTo(8, 100);
    mouth.cubicTo(12, 101, 17, 101, 21, 100);
    p.strokePath(mouth, QPen(feature, 1.4, Qt::SolidLine, Qt::RoundCap));

    // Contour last, so every coat reads on a white panel.
    p.strokePath(bust, QPen(coat.outline, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

const Coat kCoats[kCoatCount] = {
    // 栗毛 chestnut
    {QColor(0xC0, 0x5E, 0x22),
     QColor(0x7E, 0x34, 0x10),
     QColor(0xD2, 0x7C, 0x38),
     QColor(0x8E, 0x44, 0x1E),
     QColor(0x4A, 0x1C, 0x06),
     Coat::Plain,
     {},
     true},
    // 栃栗毛 dark chestnut
    {QColor(0x78, 0x34, 0x18),
     QColor(0x44, 0x1A, 0x0A),
     QColor(0xA8, 0x78, 0x46),
     QColor(0x50, 0x22, 0x10),
     QColor(0x26, 0x0C, 0x04),
     Coat::Plain,
     {},
     false},
    // 鹿毛 bay
    {QColor(0x9A, 0x4E, 0x22),
     QColor(0x5A, 0x28, 0x10),
     QColor(0x1A, 0x12, 0x0E),
     QColor(0x24, 0x16, 0x10),
     QColor(0x24, 0x10, 0x06),
     Coat::Plain,
     {},
     true},
    // 黒鹿毛 dark bay
    {QColor(0x56, 0x30, 0x1A),
     QColor(0x2A, 0x15, 0x0A),
     QColor(0x12, 0x0C, 0x0A),
     QColor(0x74, 0x50, 0x32),
     QColor(0x14, 0x08, 0x04),
     Coat::Plain,
     {},
     false},
    // 青鹿毛 brown-black
    {QColor(0x34, 0x24, 0x1E),
     QColor(0x16, 0x0F, 0x0D),
     QColor(0x0C, 0x0A, 0x0A),
     QColor(0x5E, 0x40, 0x2C),
     QColor(0x06, 0x04, 0x04),
     Coat::Plain,
     {},
     false},
    // 青毛 black
    {QColor(0x2C, 0x2E, 0x36),
     QColor(0x0C, 0x0C, 0x10),
     QColor(0x08, 0x08, 0x0A),
     QColor(0x24, 0x24, 0x2A),
     QColor(0x00, 0x00, 0x00),
     Coat::Plain,
     {},
     false},
    // 芦毛 grey
    {QColor(0xC8, 0xC8, 0xC6),
     QColor(0x80, 0x80, 0x84),
     QColor(0x5A, 0x5A, 0x5E),
     QColor(0x44, 0x44, 0x4A),
     QColor(0x38, 0x38, 0x3C),
     Coat::Dapple,
     {},
     false},
    // 栗粕毛 chestnut roan
    {QColor(0xC2, 0x82, 0x62), QColor(0x82, 0x4A, 0x30), QColor(0xA8, 0x50, 0x1E),
     QColor(0x7A, 0x38, 0x1A), QColor(0x3A, 0x18, 0x08), Coat::Roan, QColor(0xA4, 0x4E, 0x1E),
     false},
    // 鹿粕毛 bay roan
    {QColor(0x9E, 0x74, 0x64), QColor(0x5E, 0x3E, 0x34), QColor(0x1A, 0x12, 0x0E),
     QColor(0x24, 0x16, 0x10), QColor(0x24, 0x10, 0x08), Coat::Roan, QColor(0x7C, 0x40, 0x1E),
     false},
    // 青粕毛 blue roan
    {QColor(0x7C, 0x80, 0x8A), QColor(0x40, 0x42, 0x4A), QColor(0x10, 0x10, 0x12),
     QColor(0x1E, 0x1E, 0x22), QColor(0x10, 0x10, 0x14), Coat::Roan, QColor(0x2A, 0x2A, 0x30),
     false},
    // 白毛 white
    {QColor(0xFA, 0xF8, 0xF2),
     QColor(0xCC, 0xC8, 0xBE),
     QColor(0xEE, 0xEA, 0xE0),
     QColor(0xE8, 0xBE, 0xB4),
     QColor(0x9A, 0x96, 0x8E),
     Coat::Plain,
     {},
     false},
};

} // namespace artwork
