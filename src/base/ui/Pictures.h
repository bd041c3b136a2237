#pragma once

#include <QImage>
#include <QString>

namespace furlox::ui {

// A picture of the program's artwork (compiled-in resources), by file name. A missing
// picture gives a plain stand-in of a neutral colour rather than nothing.
QImage Picture(const QString& name);

} // namespace furlox::ui
