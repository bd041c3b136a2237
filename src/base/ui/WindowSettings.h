#pragma once

#include <QPoint>
#include <QSettings>
#include <QString>

// The settings kept between runs, through QSettings (organisation "Morvane", application
// "GLX"): the registry on Windows, ~/.config/Morvane/GLX.conf on Linux. Every value is
// stored as text.
namespace furlox::ui {

QSettings ProgramSettings();

// Section/Left and Section/Top ("Main", "Uma"); a value that is missing or not a whole
// number gives the centred place of a 640 × 500 window on the primary screen.
QPoint StoredWindowPosition(const QString& section);
void StoreWindowPosition(QSettings& settings, const QString& section, QPoint position);

} // namespace furlox::ui
