#include "Pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "Motifs.h"
#include "Outline.h"
#include "Palette.h"
#include "Surfaces.h"
#include "Text.h"
#include "app/MainWindowLayout.h"

// Buttons
namespace artwork {
namespace {

struct ButtonLook
{
    QColor faceTop, faceBottom;
    QColor inkTop, inkMid, inkBottom; // icon gradient
    QColor caption;
    std::vector<Ring> rings;
    double offset; // content shift when pressed
    bool glow;
};

ButtonLook LookFor(ButtonState state)
{
    switch (state) {
    case ButtonState::Hover:
        return {QColor(0x2E, 0x66, 0x6C),
                QColor(0x12, 0x34, 0x3A),
                QColor(0xFF, 0xF6, 0xD0),
                QColor(0xFF, 0xDC, 0x40),
                QColor(0xF0, 0xB0, 0x18),
                QColor(0xFF, 0xFB, 0xEE),
                {{QColor(0xFF, 0xE8, 0x80), QColor(0x9A, 0x74, 0x14)},
                 {QColor(0xC0, 0x94, 0x20), QColor(0x4A, 0x38, 0x0A)},
                 {QColor(0x05, 0x06, 0x07), QColor(0x05, 0x06, 0x07)},
                 {QColor(0xFF, 0xE0, 0x70, 90), QColor(0xFF, 0xE0, 0x70, 40)}},
                0.0,
                true};
    case ButtonState::Down:
        return {QColor(0x08, 0x18, 0x1C),
                QColor(0x16, 0x34, 0x3A),
                QColor(0xE8, 0xC8, 0x60),
                QColor(0xD4, 0xA0, 0x17),
                QColor(0xA0, 0x76, 0x10),
                QColor(0xDC, 0xD2, 0xB8),
                {{QColor(0x6A, 0x4C, 0x0A), QColor(0xE8, 0xC0, 0x40)},
                 {QColor(0x2A, 0x20, 0x08), QColor(0x8A, 0x6A, 0x18)},
                 {QColor(0x02, 0x03, 0x03), QColor(0x05, 0x06, 0x07)},
                 {QColor(0x00, 0x00, 0x00, 110), QColor(0x00, 0x00, 0x00, 0)}},
                1.0,
                false};
    case ButtonState::Disabled:
        return {QColor(0x2A, 0x2D, 0x31),
                QColor(0x1A, 0x1C, 0x1F),
                QColor(0x86, 0x86, 0x86),
                QColor(0x6E, 0x6E, 0x6E),
                QColor(0x58, 0x58, 0x58),
                QColor(0x7C, 0x7C, 0x7C),
                {{QColor(0x8A, 0x8A, 0x8A), QColor(0x3A, 0x3A, 0x3A)},
                 {QColor(0x50, 0x50, 0x50), QColor(0x22, 0x22, 0x22)},
                 {QColor(0x06, 0x06, 0x06), QColor(0x06, 0x06, 0x06)},
                 {QColor(0xFF, 0xFF, 0xFF, 18), QColor(0, 0, 0, 0)}},
                0.0,
                false};
    case ButtonState::Idle:
        break;
    }
    return {QColor(0x22, 0x4C, 0x52),
            QColor(0x0C, 0x22, 0x27),
            QColor(0xFF, 0xEC, 0xA0),
            QColor(0xFF, 0xCC, 0x00),
            QColor(0xC8, 0x90, 0x10),
            QColor(0xF5, 0xEC, 0xD4),
            {{QColor(0xF2, 0xC8, 0x40), QColor(0x6A, 0x4C, 0x0A)},
             {QColor(0x8A, 0x6A, 0x18), QColor(0x2A, 0x20, 0x08)},
             {QColor(0x05, 0x06, 0x07), QColor(0x05, 0x06, 0x07)},
             {QColor(0xFF, 0xFF, 0xFF, 46), QColor(0xFF, 0xFF, 0xFF, 0)}},
            0.0,
            false};
}

// Each icon is built as one filled outline in a 32 x 32 box (holes and cut lines are part of
// the outline), so every state can paint it with its own gradient, glow and shadow.
QPainterPath Stroke(const QPainterPath& path, double width)
{
    QPainterPathStroker s;
    s.setWidth(width);
    s.setCapStyle(Qt::RoundCap);
    s.setJoinStyle(Qt::RoundJoin);
    return s.createStroke(path);
}

QPainterPath IconOpen()
{
    QPainterPath back;
    back.moveTo(3, 9);
    back.quadTo(3, 6, 6, 6);
    back.lineTo(12, 6);
    back.lineTo(15, 9);
    back.lineTo(25, 9);
    back.quadTo(28, 9, 28, 12);
    back.lineTo(28, 14);
    back.lineTo(8, 14);
    back.lineTo(3, 26);
    back.closeSubpath();
    QPainterPath front;
    front.moveTo(9, 16);
    front.lineTo(31, 16);
    front.lineTo(25.5, 27);
    front.lineTo(3.5, 27);
    front.closeSubpath();
    QPainterPath all = back.united(front);
    // Gap between the flap and the back, so the two read as separate leaves.
    QPainterPath gap;
    gap.moveTo(8.6, 14.8);
    gap.lineTo(30, 14.8);
    return all.subtracted(Stroke(gap, 1.4)).simplified();
}

QPainterPath IconRaces()
{
    QPainterPath p;
    for (int i = 0; i < 3; ++i) {
        const double y = 6 + i * 8.5;
        p.addRoundedRect(QRectF(3, y, 5.5, 5.5), 1.2, 1.2);
        p.addRoundedRect(QRectF(11, y + 0.5, 18, 4.5), 2.2, 2.2);
    }
    return p;
}

QPainterPath IconArrow(bool left)
{
    QPainterPath p;
    p.moveTo(4, 16);
    p.lineTo(15, 5);
    p.lineTo(15, 11.5);
    p.lineTo(28, 11.5);
    p.lineTo(28, 20.5);
    p.lineTo(15, 20.5);
    p.lineTo(15, 27);
    p.closeSubpath();
    QPainterPath rounded = p.united(Stroke(p, 2.2)).simplified();
    if (left)
        return rounded;
    QTransform mirror(-1, 0, 0, 1, 32, 0);
    return mirror.map(rounded);
}

QPainterPath IconOutput()
{
    QPainterPath body;
    body.addRoundedRect(QRectF(2, 11, 28, 13), 3, 3);
    QPainterPath paperBack;
    paperBack.addRect(QRectF(9, 3, 14, 9.5));
    QPainterPath paperOut;
    paperOut.addRect(QRectF(8.5, 18.5, 15, 11.5));
    // The paper coming out stands apart from the body by a thin gap.
    QPainterPath gap;
    gap.addRect(QRectF(7, 17, 18, 14));
    QPainterPath all = body.subtracted(gap).united(paperBack).united(paperOut);
    QPainterPath cuts;
    cuts.addRect(QRectF(11, 22, 10, 1.4));
    cuts.addRect(QRectF(11, 25.2, 10, 1.4));
    cuts.addRect(QRectF(11, 28.2, 6, 1.4));
    cuts.addEllipse(QPointF(26, 14.6), 1.4, 1.4);
    return all.subtracted(cuts).simplified();
}

QPainterPath IconPlot()
{
    QPainterPath axes;
    axes.moveTo(4, 4);
    axes.lineTo(4, 28);
    axes.lineTo(29, 28);
    QPainterPath line;
    const QPointF pts[] = {{8, 23}, {13, 16}, {18, 19.5}, {23, 10}, {28, 6}};
    line.moveTo(pts[0]);
    for (std::size_t i = 1; i < std::size(pts); ++i)
        line.lineTo(pts[i]);
    QPainterPath all = Stroke(axes, 2.2).united(Stroke(line, 2.2));
    for (const QPointF& pt : pts) {
        QPainterPath dot;
        dot.addEllipse(pt, 2.5, 2.5);
        all = all.united(dot);
    }
    return all.simplified();
}

QPainterPath IconHelp()
{
    QPainterPath ring;
    ring.addEllipse(QPointF(16, 16), 13.5, 13.5);
    QPainterPath inner;
    inner.addEllipse(QPointF(16, 16), 11, 11);
    QPainterPath mark;
    const QFont f = Font(kSans, 19, QFont::Black);
    const QString q = QStringLiteral("?");
    QFontMetricsF fm(f);
    mark.addText(QPointF(16 - fm.horizontalAdvance(q) / 2.0, 23), f, q);
    return ring.subtracted(inner).united(mark).simplified();
}

// Books standing on a shelf, each spine with two bands.
QPainterPath IconLibrary()
{
    struct Book
    {
        QRectF spine;
        double bandTop, bandBottom;
    };
    const Book books[] = {
        {{3, 8, 6, 18}, 11, 22},
        {{10, 4, 7, 22}, 8, 22},
        {{18, 10, 5, 16}, 13, 22},
        {{24, 6, 6, 20}, 9.5, 22},
    };
    QPainterPath all;
    for (const Book& b : books) {
        QPainterPath spine;
        spine.addRoundedRect(b.spine, 1.2, 1.2);
        QPainterPath bands;
        bands.addRect(QRectF(b.spine.left(), b.bandTop, b.spine.width(), 1.3));
        bands.addRect(QRectF(b.spine.left(), b.bandBottom, b.spine.width(), 1.3));
        all = all.united(spine.subtracted(bands));
    }
    QPainterPath shelf;
    shelf.addRoundedRect(QRectF(1, 27.2, 30, 2.8), 1.2, 1.2);
    return all.united(shelf).simplified();
}

} // namespace

std::vector<ButtonDesign> ButtonDesigns()
{
    using furlox::app::kMainButtons;
    return {
        {kMainButtons[0].picture, QStringLiteral("開く"), IconOpen, false},
        {kMainButtons[1].picture, QStringLiteral("レース"), IconRaces, false},
        {kMainButtons[2].picture, QStringLiteral("前"), [] { return IconArrow(true); }, false},
        {kMainButtons[3].picture, QStringLiteral("次"), [] { return IconArrow(false); }, false},
        {kMainButtons[4].picture, QStringLiteral("出力"), IconOutput, false},
        {kMainButtons[5].picture, QStringLiteral("P.L.O.T"), IconPlot, true},
        {kMainButtons[6].picture, QStringLiteral("ヘルプ"), IconHelp, false},
    };
}

ButtonDesign LibraryButtonDesign()
{
    using furlox::app::kLibraryButton;
    return {kLibraryButton.picture, QStringLiteral("ライブラリ"), IconLibrary, false,
            QSize(kLibraryButton.place.width, kLibraryButton.place.height)};
}

QImage RegionButton(int scale, const ButtonDesign& design, ButtonState state)
{
    const ButtonLook look = LookFor(state);
    const int w = design.size.width();
    const int h = design.size.height();
    QImage img = Canvas(scale, w, h);
    {
        QPainter p(&img);
        Prepare(p);
        QLinearGradient face(0, 0, 0, h);
        face.setColorAt(0.0, look.faceTop);
        face.setColorAt(1.0, look.faceBottom);
        p.fillRect(QRect(0, 0, w, h), face);
        if (state != ButtonState::Down) {
            // Gloss over the upper half.
            QPainterPath gloss;
            gloss.addRoundedRect(QRectF(4, 3, w - 8, 26), 9, 9);
            QLinearGradient gl(0, 3, 0, 29);
            gl.setColorAt(0.0, QColor(255, 255, 255, state == ButtonState::Disabled ? 14 : 34));
            gl.setColorAt(1.0, QColor(255, 255, 255, 0));
            p.fillPath(gloss, gl);
        } else {
            // Shadow cast into the pressed button from its upper rim.
            QLinearGradient sh(0, 0, 0, 14);
            sh.setColorAt(0.0, QColor(0, 0, 0, 150));
            sh.setColorAt(1.0, QColor(0, 0, 0, 0));
            p.fillRect(QRect(0, 0, w, 14), sh);
        }
        if (look.glow) {
            QRadialGradient halo(QPointF(32, 22), 24);
            halo.setColorAt(0.0, QColor(0xFF, 0xD8, 0x50, 90));
            halo.setColorAt(1.0, QColor(0xFF, 0xD8, 0x50, 0));
            p.fillRect(QRect(0, 0, w, h), halo);
        }

        p.translate(look.offset, look.offset);
        // Icon, centred in the upper part.
        const QPainterPath icon = design.icon().translated((w - 32) / 2.0, 5);
        if (look.glow)
            p.strokePath(icon, QPen(QColor(0xFF, 0xD0, 0x40, 70), 3.0, Qt::SolidLine, Qt::RoundCap,
                                    Qt::RoundJoin));
        p.fillPath(icon.translated(0.8, 1.2), QColor(0, 0, 0, 170));
        QLinearGradient ink(0, 5, 0, 37);
        ink.setColorAt(0.0, look.inkTop);
        ink.setColorAt(0.5, look.inkMid);
        ink.setColorAt(1.0, look.inkBottom);
        p.fillPath(icon, ink);

        // Hairline between icon and caption.
        const double hairInset = w * 12.0 / 64.0;
        QLinearGradient hair(hairInset, 0, w - hairInset, 0);
        const QColor hairColour =
            state == ButtonState::Disabled ? QColor(0x70, 0x70, 0x70) : kGoldDeep;
        hair.setColorAt(0.0, WithAlpha(hairColour, 0));
        hair.setColorAt(0.5, WithAlpha(hairColour, 170));
        hair.setColorAt(1.0, WithAlpha(hairColour, 0));
        p.fillRect(QRectF(hairInset, 39, w - 2 * hairInset, 1), hair);

        // Caption; one wider than its button (the narrow library button's) is set smaller and
        // drawn a little narrower to fit.
        QFont font =
            design.latinCaption ? Font(kSans, 11, QFont::Bold) : Font(kSans, 12, QFont::Bold);
        const double room = w - 6;
        if (TextWidth(design.caption, font) <= room) {
            const QRectF captionBox(0, 41, w, 17);
            p.setFont(font);
            p.setPen(QColor(0, 0, 0, 200));
            p.drawText(captionBox.translated(1, 1), Qt::AlignCenter, design.caption);
            p.setPen(look.caption);
            p.drawText(captionBox, Qt::AlignCenter, design.caption);
        } else {
            font = Font(kSans, 10.5, QFont::Bold);
            const double natural = TextWidth(design.caption, font);
            const double squeeze = std::min(1.0, room / natural);
            QPainterPath caption = TextPath(design.caption, font, QPointF(0, 0));
            QTransform fit;
            fit.translate((w - natural * squeeze) / 2.0, 53.5);
            fit.scale(squeeze, 1.0);
            caption = fit.map(caption);
            p.fillPath(caption.translated(1, 1), QColor(0, 0, 0, 200));
            p.fillPath(caption, look.caption);
        }
    }
    return Keyed(img, Shape::RoundedRect(scale, w, h, 12), look.rings);
}

} // namespace artwork
