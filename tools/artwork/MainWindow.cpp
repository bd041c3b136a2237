#include "Pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "Motifs.h"
#include "Outline.h"
#include "Palette.h"
#include "Surfaces.h"
#include "Text.h"
#include "app/MainWindowLayout.h"

// The main window
namespace artwork {
namespace {

void ButtonTray(QPainter& p, const QRectF& tray)
{
    QPainterPath trayPath;
    trayPath.addRoundedRect(tray, 10, 10);
    QLinearGradient trayFill(0, tray.top(), 0, tray.bottom());
    trayFill.setColorAt(0.0, QColor(0x07, 0x09, 0x0B));
    trayFill.setColorAt(0.25, QColor(0x0D, 0x11, 0x14));
    trayFill.setColorAt(1.0, QColor(0x12, 0x17, 0x1B));
    p.fillPath(trayPath, trayFill);
    QLinearGradient trayRim(0, tray.top(), 0, tray.bottom());
    trayRim.setColorAt(0.0, QColor(0, 0, 0, 230));
    trayRim.setColorAt(0.6, QColor(0x40, 0x34, 0x14, 160));
    trayRim.setColorAt(1.0, WithAlpha(kGoldDeep, 200));
    p.strokePath(trayPath, QPen(QBrush(trayRim), 1.0));
}

} // namespace

QImage MainBackground(int scale)
{
    using furlox::app::kMainButtons;
    QImage img = Canvas(scale, 640, 500);
    {
        QPainter p(&img);
        Prepare(p);
        WindowBody(p, 640, 500, 28);
        WindowTitle(p, QStringLiteral("Furlox Plus"), Font(kSerif, 16, QFont::Bold), 40, 20, 0.6);
        // Quiet flourish after the title.
        const double end =
            40 + TextWidth(QStringLiteral("Furlox Plus"), Font(kSerif, 16, QFont::Bold), 0.6);
        Diamond(p, QPointF(end + 12, 14.5), 2.5, kGoldDeep);
        QLinearGradient tail(end + 18, 0, end + 150, 0);
        tail.setColorAt(0.0, WithAlpha(kGoldDeep, 200));
        tail.setColorAt(1.0, WithAlpha(kGoldDeep, 0));
        p.fillRect(QRectF(end + 18, 14, 132, 1), tail);

        for (const furlox::app::WindowPlace& r : furlox::app::kMainPanels)
            RecessFrame(p, QRect(r.left, r.top, r.width, r.height));

        // The tray the seven buttons sit in, a little larger than the row of buttons, and the
        // library button's own small one at its left.
        const furlox::app::WindowPlace& first = kMainButtons.front().place;
        const furlox::app::WindowPlace& last = kMainButtons.back().place;
        const furlox::app::WindowPlace& library = furlox::app::kLibraryButton.place;
        ButtonTray(p,
                   QRectF(first.left, first.top, last.left + last.width - first.left, first.height)
                       .adjusted(-8.5, -3.5, 8.5, 3.5));
        ButtonTray(p, QRectF(library.left, library.top, library.width, library.height)
                          .adjusted(-3.5, -3.5, 3.5, 3.5));

        // A horseshoe at the right end of the tray, faint.
        for (const double cx : {598.0}) {
            const QRectF box(cx - 13, 440, 26, 28);
            QPainterPath shoe = Horseshoe(box).subtracted(HorseshoeNails(box));
            p.fillPath(shoe.translated(0, 1), QColor(0, 0, 0, 150));
            QLinearGradient g(0, box.top(), 0, box.bottom());
            g.setColorAt(0.0, WithAlpha(kGoldPale, 120));
            g.setColorAt(1.0, WithAlpha(kGoldDeep, 90));
            p.fillPath(shoe, g);
        }
    }
    return Keyed(img, Shape::RoundedRect(scale, 640, 500, 14), WindowRings());
}

QImage SystemIcon(const QImage& mainBackground)
{
    const int scale = int(mainBackground.devicePixelRatio());
    QImage img = mainBackground.copy(15 * scale, 7 * scale, 16 * scale, 16 * scale)
                     .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    img.setDevicePixelRatio(scale);
    QPainter p(&img);
    Prepare(p);
    const QRectF box(1.5, 1, 13, 14);
    const QPainterPath shoe = Horseshoe(box).subtracted(HorseshoeNails(box));
    p.fillPath(shoe.translated(0.6, 0.8), QColor(0, 0, 0, 190));
    p.fillPath(shoe, GoldGradient(box.top(), box.bottom(), true));
    p.end();
    return img.convertToFormat(QImage::Format_RGB32);
}

} // namespace artwork
