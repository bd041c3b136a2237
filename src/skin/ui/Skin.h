#pragma once

#include <QImage>
#include <QObject>
#include <QPoint>
#include <QRegion>
#include <vector>

#include "skin/SkinRegion.h"

class QWidget;

// Shaped windows: the outline follows the background picture, and the window is moved by
// dragging that picture.
namespace furlox::ui {

QRegion ToQRegion(const std::vector<RegionRect>& rects);

// The picture's pixels for the core's region routines (converted to 32 bits when needed).
class PixelBuffer
{
public:
    explicit PixelBuffer(const QImage& image);
    PixelView view() const;

private:
    QImage m_image;
};

// Sets the window's outline from its background picture; false when the picture gives no
// region (empty picture, or every pixel of the key colour).
bool ApplySkin(QWidget* window, const QImage& background);

// The creation step of every skinned window: ApplySkin, and when it refuses, the window
// keeps its full rectangle (an outline of nothing would make the window invisible).
void SkinWindow(QWidget* window, const QImage& background);

// Lets the user move a window by dragging `handle` with any button but the right one. The
// move starts once the pointer moves with the button held: a press and release in place (a
// tap on a touchpad) is no drag, and a system move begun on the press would leave the
// window stuck to the pointer until the next click.
class BackgroundDrag final : public QObject
{
    Q_OBJECT
public:
    BackgroundDrag(QWidget* handle, QWidget* window);

signals:
    // The window began to move: the window manager took it over, or it follows the pointer.
    void moveStarted();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void StartMove(const QPoint& globalPos);

    QWidget* m_window;
    bool m_pressed = false;  // a button other than the right one is held on the handle
    bool m_dragging = false; // the window follows the pointer itself
    QPoint m_pressedAt;      // global position of the press
    QPoint m_grabOffset;
};

} // namespace furlox::ui
