#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QRect>
#include <QRectF>
#include <QString>
#include <vector>

#include "Outline.h"

// Shared surfaces: the body, title and frames every skinned window is drawn with.
namespace artwork {

// Broad mown stripes, as on a turf course, laid faintly over a surface.
void TurfStripes(QPainter& p, const QRectF& area, double stripe, int alpha);

// A frame sunk into the surface around a widget's rectangle, which draws its own bevel inside.
void RecessFrame(QPainter& p, const QRect& r);

// The rings of a window's outline: a bevelled gold rim, then a dark line that sets it off.
std::vector<Ring> WindowRings();

// Body of a skinned window: the title strip with its gold rule, and the turf below it.
void WindowBody(QPainter& p, int width, int height, int stripHeight);

void WindowTitle(QPainter& p, const QString& text, const QFont& font, double x, double baseline,
                 double letterSpacing);

// A small diamond ornament in gold.
void Diamond(QPainter& p, QPointF c, double r, const QColor& colour);

} // namespace artwork
