#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>

namespace furlox::ui {

// A picture of the program's artwork (compiled-in resources), by file name, at its design
// size: window outlines, button outlines and sizes are taken from it. A missing picture gives
// a plain stand-in of a neutral colour rather than nothing.
QImage Picture(const QString& name);

// The same picture for drawing on a screen of the given device pixel ratio: above 1 the
// artwork's twice-as-large rendering ("name@2x.png"), carrying a device pixel ratio of 2 so
// that it covers the same logical size; at 1, or when there is none, Picture(name).
QImage Picture(const QString& name, qreal devicePixelRatio);

// For the screens of this session (QGuiApplication::devicePixelRatio, the highest of them).
QImage ScreenPicture(const QString& name);
QPixmap ScreenPixmap(const QString& name);

} // namespace furlox::ui
