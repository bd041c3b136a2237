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

// Lets the user move a window by dragging `handle` with any button but the right one.
class BackgroundDrag final : public QObject
{
    Q_OBJECT
public:
    BackgroundDrag(QWidget* handle, QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_window;
    bool m_dragging = false;
    QPoint m_grabOffset;
};

} // namespace furlox::ui
