#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <functional>
#include <vector>

#include "Palette.h"

// Outlines cut by the key colour: which pixels belong to a window or button, the bevel rings
// along the cut, and the surfaces every picture is painted on. Every drawing works in designed
// pixels; a surface made at `scale` 2 carries it as its device pixel ratio, so QPainter scales
// the drawing, and the per-pixel outline work here scales by it.
namespace artwork {

// Which pixels of a picture belong to the window or button, decided per pixel centre with no
// blending, so the cut by exact colour match is clean. Also knows each pixel's depth from the
// edge and the outward direction there, from which the bevel rings are shaded.
class Shape
{
public:
    // `inside` is asked in designed pixels; the shape itself is kept per device pixel, at
    // `scale` device pixels per designed pixel.
    Shape(int scale, int designedWidth, int designedHeight,
          const std::function<bool(double, double)>& inside);

    static Shape RoundedRect(int scale, int width, int height, double radius);
    static Shape Ellipse(int scale, int width, int height);

    int width() const { return m_width; }
    int height() const { return m_height; }
    // Depth from the edge in designed pixels (each ring of the bevel is one designed pixel
    // wide, so m_scale device pixels), 0 outside.
    int depth(int x, int y) const { return (at(x, y) + m_scale - 1) / m_scale; }

    // Light falls from the top left: 1 on edges facing it, 0 on edges facing away.
    double lightAt(int x, int y) const;

private:
    std::size_t index(int x, int y) const { return std::size_t(y) * m_width + x; }
    int at(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= m_width || y >= m_height)
            return 0;
        return m_depth[index(x, y)];
    }

    int m_scale;
    int m_width;
    int m_height;
    std::vector<int> m_depth;
};

// One ring of the bevel along a keyed outline: the lit and the shaded colour, and how strongly
// the ring covers what was painted beneath it.
struct Ring
{
    QColor lit;
    QColor shaded;
    double cover = 1.0;
};

// Turns a painted picture into its final keyed form: pixels outside the shape become exactly
// the key colour, the rings along the edge are laid over the painting, and everything inside
// is opaque.
QImage Keyed(const QImage& painted, const Shape& shape, const std::vector<Ring>& rings,
             const QColor& base = kInk);

// A picture of the designed size, `scale` device pixels per designed pixel.
QImage Surface(int scale, int width, int height);
// The same, transparent.
QImage Canvas(int scale, int width, int height);
// A picture's rectangle in designed pixels.
QRect Area(const QImage& image);

void Prepare(QPainter& p);

} // namespace artwork
