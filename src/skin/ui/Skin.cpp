#include "skin/ui/Skin.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace furlox::ui {

QRegion ToQRegion(const std::vector<RegionRect>& rects)
{
    QRegion region;
    // Merge row by row: adding thousands of one-row rectangles one at a time is slow.
    std::vector<QRect> qrects;
    qrects.reserve(rects.size());
    for (const RegionRect& r : rects) {
        qrects.emplace_back(r.left, r.top, r.right - r.left, r.bottom - r.top);
    }
    region.setRects(qrects.data(), static_cast<int>(qrects.size()));
    return region;
}

PixelBuffer::PixelBuffer(const QImage& image)
    : m_image(image.format() == QImage::Format_ARGB32 || image.format() == QImage::Format_RGB32
                  ? image
                  : image.convertToFormat(QImage::Format_ARGB32))
{}

PixelView PixelBuffer::view() const
{
    if (m_image.isNull()) {
        return {};
    }
    return {reinterpret_cast<const std::uint32_t*>(m_image.constBits()), m_image.width(),
            m_image.height(), static_cast<int>(m_image.bytesPerLine() / 4)};
}

bool ApplySkin(QWidget* window, const QImage& background)
{
    const PixelBuffer buffer(background);
    const std::vector<RegionRect> rects = RegionFromBitmap(buffer.view());
    if (rects.empty()) {
        return false;
    }
    window->setMask(ToQRegion(rects));
    return true;
}

void SkinWindow(QWidget* window, const QImage& background)
{
    if (!ApplySkin(window, background)) {
        window->clearMask();
    }
}

BackgroundDrag::BackgroundDrag(QWidget* handle, QWidget* window) : QObject(handle), m_window(window)
{
    handle->installEventFilter(this);
}

bool BackgroundDrag::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            return false;
        }
        m_pressed = true;
        m_pressedAt = mouse->globalPosition().toPoint();
        return true;
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint at = mouse->globalPosition().toPoint();
        if (m_dragging) {
            m_window->move(at - m_grabOffset);
            return true;
        }
        if (m_pressed && (mouse->buttons() & ~Qt::RightButton) &&
            (at - m_pressedAt).manhattanLength() >= QApplication::startDragDistance()) {
            StartMove(at);
            return true;
        }
        return m_pressed;
    }
    case QEvent::MouseButtonRelease: {
        const bool handled = m_pressed || m_dragging;
        m_pressed = false;
        m_dragging = false;
        return handled;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

void BackgroundDrag::StartMove(const QPoint& globalPos)
{
    m_pressed = false;
    emit moveStarted();
    // The window manager moves the window when it can; otherwise we follow the pointer, from
    // where the button went down so the window does not jump by the distance moved.
    QWindow* handle = m_window->windowHandle();
    if (handle && handle->startSystemMove()) {
        return;
    }
    m_dragging = true;
    m_grabOffset = m_pressedAt - m_window->frameGeometry().topLeft();
    m_window->move(globalPos - m_grabOffset);
}

} // namespace furlox::ui
