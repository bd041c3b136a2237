#pragma once

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QString>

// Fonts and text: the two families of the artwork, display text as filled outlines in gold.
namespace artwork {

inline constexpr const char* kSans = "Noto Sans CJK JP";

inline constexpr const char* kSerif = "Noto Serif CJK JP";

QFont Font(const char* family, double pixelSize, QFont::Weight weight);

// Large display text as a filled outline, so it can take a gradient and a drop shadow.
QPainterPath TextPath(const QString& text, const QFont& font, QPointF baseline,
                      double letterSpacing = 0.0);

double TextWidth(const QString& text, const QFont& font, double letterSpacing = 0.0);

QLinearGradient GoldGradient(double top, double bottom, bool bright = false);

void FillGoldText(QPainter& p, const QPainterPath& path, bool bright = false);

} // namespace artwork
