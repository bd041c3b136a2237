#include "skin/ui/EzRgnBtn.h"

#include <QMouseEvent>
#include <QPainter>

#include "skin/ui/Skin.h"

namespace furlox::ui {
namespace {

// A picture may be a high-density rendering (device pixel ratio 2): the button takes its
// logical size, and its outline from it sampled down to that size.
QSize LogicalSize(const QImage& picture)
{
    return picture.deviceIndependentSize().toSize();
}

QImage AtLogicalSize(const QImage& picture)
{
    if (picture.devicePixelRatio() <= 1.0) {
        return picture;
    }
    QImage small =
        picture.scaled(LogicalSize(picture), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    small.setDevicePixelRatio(1.0);
    return small;
}

} // namespace

TEzRgnBtn::TEzRgnBtn(QWidget* parent) : QWidget(parent)
{
    resize(15, 15);
    setMouseTracking(true);
    m_repeatTimer.setInterval(300);
    connect(&m_repeatTimer, &QTimer::timeout, this, &TEzRgnBtn::Click);
}

void TEzRgnBtn::SetAutoRepeat(bool on)
{
    m_autoRepeat = on;
    UpdateRepeatTimer();
}

void TEzRgnBtn::SetEnabled(bool on)
{
    if (on != m_enabled) {
        m_enabled = on;
        Refresh();
    }
}

void TEzRgnBtn::SetPicIdle(const QImage& picture)
{
    m_picIdle = picture;
    Refresh();
    if (m_cropped) {
        RemoveCrop();
        ApplyCrop();
    } else {
        ApplyCrop();
    }
}

void TEzRgnBtn::SetPicDown(const QImage& picture)
{
    m_picDown = picture;
    Refresh();
}

void TEzRgnBtn::SetPicUp(const QImage& picture)
{
    m_picUp = picture;
    Refresh();
}

void TEzRgnBtn::SetPicDsbld(const QImage& picture)
{
    m_picDsbld = picture;
    Refresh();
}

void TEzRgnBtn::SetPaintMode(TPaintMode mode)
{
    if (mode == m_paintMode) {
        return;
    }
    if (m_paintMode == TPaintMode::pmCrop) {
        RemoveCrop();
    }
    m_paintMode = mode;
    if (mode == TPaintMode::pmCrop) {
        ApplyCrop();
    }
    Refresh();
}

const QImage& TEzRgnBtn::CurrentPicture() const
{
    const QImage& normal = m_enabled || m_picDsbld.isNull() ? m_picIdle : m_picDsbld;
    if (m_buttonDown && m_mouseInside && m_enabled) {
        return m_picDown.isNull() ? normal : m_picDown;
    }
    if (m_mouseInside && !m_buttonDown && m_enabled) {
        return m_picUp.isNull() ? normal : m_picUp;
    }
    return normal;
}

void TEzRgnBtn::Refresh()
{
    const QImage& picture = CurrentPicture();
    if (!picture.isNull() && size() != LogicalSize(picture)) {
        resize(LogicalSize(picture));
    }
    update();
}

void TEzRgnBtn::paintEvent(QPaintEvent*)
{
    const QImage& picture = CurrentPicture();
    if (picture.isNull()) {
        return;
    }
    QPainter painter(this);
    if (m_paintMode == TPaintMode::pmTransparent) {
        // Pixels of the top-left pixel's colour are left out.
        QImage keyed = picture.convertToFormat(QImage::Format_ARGB32);
        const QRgb key = keyed.pixel(0, 0) & 0xFFFFFF;
        for (int y = 0; y < keyed.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(keyed.scanLine(y));
            for (int x = 0; x < keyed.width(); ++x) {
                if ((line[x] & 0xFFFFFF) == key) {
                    line[x] = 0;
                }
            }
        }
        painter.drawImage(QPointF(0, 0), keyed);
    } else {
        painter.drawImage(QPointF(0, 0), picture);
    }
}

void TEzRgnBtn::ApplyCrop()
{
    if (m_paintMode != TPaintMode::pmCrop || m_cropped || m_picIdle.isNull()) {
        return;
    }
    const PixelBuffer buffer(AtLogicalSize(m_picIdle));
    setMask(ToQRegion(CropRegionFromPicture(buffer.view())));
    m_cropped = true;
}

void TEzRgnBtn::RemoveCrop()
{
    const QSize size = LogicalSize(m_picIdle);
    setMask(QRegion(0, 0, size.width(), size.height()));
    m_cropped = false;
}

void TEzRgnBtn::SetMouseInside(bool inside)
{
    if (inside == m_mouseInside) {
        return;
    }
    m_mouseInside = inside;
    Refresh();
    UpdateRepeatTimer();
}

void TEzRgnBtn::UpdateRepeatTimer()
{
    const bool run = m_autoRepeat && m_mouseInside && m_buttonDown;
    if (run && !m_repeatTimer.isActive()) {
        m_repeatTimer.start();
    } else if (!run) {
        m_repeatTimer.stop();
    }
}

void TEzRgnBtn::Click()
{
    if (m_enabled) {
        emit clicked();
    }
}

void TEzRgnBtn::enterEvent(QEnterEvent*)
{
    SetMouseInside(true);
}

void TEzRgnBtn::leaveEvent(QEvent*)
{
    SetMouseInside(false);
}

void TEzRgnBtn::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_mouseInside = true;
    m_buttonDown = true;
    Refresh();
    UpdateRepeatTimer();
}

void TEzRgnBtn::mouseMoveEvent(QMouseEvent* event)
{
    // While the button is held the mouse is grabbed and no enter or leave arrives.
    if (m_buttonDown) {
        const QPoint p = event->position().toPoint();
        SetMouseInside(rect().contains(p) && (mask().isEmpty() || mask().contains(p)));
    }
}

void TEzRgnBtn::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const bool wasDown = m_buttonDown;
    m_buttonDown = false;
    const QPoint p = event->position().toPoint();
    const bool over = rect().contains(p) && (mask().isEmpty() || mask().contains(p));
    m_mouseInside = over;
    Refresh();
    UpdateRepeatTimer();
    if (wasDown && over) {
        Click();
    }
}

void TEzRgnBtn::mouseDoubleClickEvent(QMouseEvent*)
{
    // The second press of a fast double-click is ignored: no down picture, no click.
}

} // namespace furlox::ui
