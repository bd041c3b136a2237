#pragma once

#include <QColor>
#include <cstdint>

#include "base/CellStyle.h"

// The core's cell styles in Qt's terms, for every grid the windows and the printer draw.
namespace furlox::ui {

inline QColor RgbColour(std::uint32_t rgb)
{
    return QColor::fromRgb(static_cast<int>((rgb >> 16) & 0xFF),
                           static_cast<int>((rgb >> 8) & 0xFF), static_cast<int>(rgb & 0xFF));
}

inline Qt::Alignment QtAlignment(CellAlign align)
{
    switch (align) {
    case CellAlign::Centre:
        return Qt::AlignCenter;
    case CellAlign::Right:
        return Qt::AlignRight | Qt::AlignVCenter;
    case CellAlign::Left:
        break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

} // namespace furlox::ui
