#include "Outline.h"

#include <algorithm>
#include <cmath>

namespace artwork {

Shape::Shape(int scale, int designedWidth, int designedHeight,
             const std::function<bool(double, double)>& inside)
    : m_scale(scale), m_width(designedWidth * scale), m_height(designedHeight * scale),
      m_depth(std::size_t(m_width) * m_height, 0)
{
    const int width = m_width;
    const int height = m_height;
    constexpr int kFar = 1 << 20;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            m_depth[index(x, y)] = inside((x + 0.5) / m_scale, (y + 0.5) / m_scale) ? kFar : 0;
    // Chessboard distance to the nearest cut pixel (the picture's border counts as cut),
    // by the usual two passes.
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (m_depth[index(x, y)] != 0) {
                int d = kFar;
                d = std::min(d, at(x - 1, y) + 1);
                d = std::min(d, at(x - 1, y - 1) + 1);
                d = std::min(d, at(x, y - 1) + 1);
                d = std::min(d, at(x + 1, y - 1) + 1);
                m_depth[index(x, y)] = d;
            }
    for (int y = height - 1; y >= 0; --y)
        for (int x = width - 1; x >= 0; --x)
            if (m_depth[index(x, y)] != 0) {
                int d = m_depth[index(x, y)];
                d = std::min(d, at(x + 1, y) + 1);
                d = std::min(d, at(x + 1, y + 1) + 1);
                d = std::min(d, at(x, y + 1) + 1);
                d = std::min(d, at(x - 1, y + 1) + 1);
                m_depth[index(x, y)] = d;
            }
}

Shape Shape::RoundedRect(int scale, int width, int height, double radius)
{
    return Shape(scale, width, height, [=](double px, double py) {
        const double cx = std::clamp(px, radius, width - radius);
        const double cy = std::clamp(py, radius, height - radius);
        return (px - cx) * (px - cx) + (py - cy) * (py - cy) <= radius * radius;
    });
}

Shape Shape::Ellipse(int scale, int width, int height)
{
    return Shape(scale, width, height, [=](double px, double py) {
        const double nx = (px - width / 2.0) / (width / 2.0);
        const double ny = (py - height / 2.0) / (height / 2.0);
        return nx * nx + ny * ny <= 1.0;
    });
}

double Shape::lightAt(int x, int y) const
{
    double vx = 0, vy = 0;
    const int reach = 3 * m_scale;
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx)
            if (at(x + dx, y + dy) == 0) {
                vx += dx;
                vy += dy;
            }
    const double len = std::hypot(vx, vy);
    if (len < 1e-9)
        return 0.5;
    const double lx = -0.55, ly = -0.835;
    return std::clamp((vx / len * lx + vy / len * ly + 1.0) / 2.0, 0.0, 1.0);
}

QImage Keyed(const QImage& painted, const Shape& shape, const std::vector<Ring>& rings,
             const QColor& base)
{
    const QImage src = painted.convertToFormat(QImage::Format_ARGB32);
    QImage out(src.size(), QImage::Format_RGB32);
    out.setDevicePixelRatio(src.devicePixelRatio());
    for (int y = 0; y < src.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < src.width(); ++x) {
            const int d = shape.depth(x, y);
            if (d == 0) {
                dst[x] = kKey;
                continue;
            }
            QColor c =
                Mix(base, QColor(qRed(in[x]), qGreen(in[x]), qBlue(in[x])), qAlpha(in[x]) / 255.0);
            if (d <= int(rings.size())) {
                const Ring& ring = rings[std::size_t(d - 1)];
                const QColor rc = Mix(ring.shaded, ring.lit, shape.lightAt(x, y));
                c = Mix(c, rc, ring.cover * rc.alphaF());
            }
            QRgb rgb = c.rgb() | 0xFF000000u;
            // The key colour must never occur inside by accident.
            if (rgb == kKey)
                rgb = qRgb(0xFE, 0x00, 0xFF);
            dst[x] = rgb;
        }
    }
    return out;
}

QImage Surface(int scale, int width, int height)
{
    QImage image(width * scale, height * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    return image;
}

QRect Area(const QImage& image)
{
    return QRect(QPoint(0, 0), image.deviceIndependentSize().toSize());
}

QImage Canvas(int scale, int width, int height)
{
    QImage image = Surface(scale, width, height);
    image.fill(Qt::transparent);
    return image;
}

void Prepare(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

} // namespace artwork
