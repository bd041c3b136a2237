#pragma once

#include <QPoint>
#include <QSettings>
#include <QString>

class QWidget;

// The settings kept between runs, through QSettings (organisation "Morvane", application
// "GLX"): the registry on Windows, ~/.config/Morvane/GLX.conf on Linux. Every value is
// stored as text.
namespace furlox::ui {

QSettings ProgramSettings();

// Section/Left and Section/Top ("Main", "Uma"); a value that is missing or not a whole
// number gives the centred place of a 640 × 500 window on the primary screen. Positions are
// Qt's device-independent pixels, so a scaled screen (QT_SCALE_FACTOR, a high-density
// display) reads them back as they were written.
QPoint StoredWindowPosition(const QString& section);
void StoreWindowPosition(QSettings& settings, const QString& section, QPoint position);

// Moves a top-level window so that it lies wholly on the available area of the screen that
// holds its centre (the primary screen when none does); a window larger than that area keeps
// its top-left corner on it.
void ClampToScreen(QWidget* window);

// Clamps the window now and again whenever it is shown, moves to another screen, or a
// screen's available area changes, is added or goes away.
void KeepOnScreen(QWidget* window);

} // namespace furlox::ui
