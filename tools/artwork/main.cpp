// Draws every picture of the program's skin and writes them, with the resource list that
// names them, into one folder: once at the designed size and once twice as large
// ("name@2x.png") for high-density screens, from the same drawing code. Nothing here depends on the
// clock or on chance (the flecks of the roan coats come from a fixed-seed generator), so two runs
// give the same bytes.
//
//   furlox-artwork OUTDIR [--preview FILE]
//
// Run it with QT_QPA_PLATFORM=offscreen; it needs the Noto CJK fonts (Debian fonts-noto-cjk).

#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QRadialGradient>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <numbers>
#include <vector>

namespace {

// Device pixels per designed pixel of the pictures being drawn: 1, then 2 for the @2x set.
// Every drawing works in designed pixels; the surfaces carry this as their device pixel
// ratio, so QPainter scales it, and the per-pixel outline work below scales by it.
int g_scale = 1;

// ---------------------------------------------------------------------------------------------
// Palette

// The windows and the cropped buttons lose every pixel of exactly this colour.
constexpr QRgb kKey = 0xFFFF00FF;

const QColor kInk(0x0A, 0x0C, 0x0F);
const QColor kNavyGreen(0x10, 0x2C, 0x32);
const QColor kNavyGreenLight(0x1E, 0x48, 0x4E);
const QColor kGold(0xFF, 0xCC, 0x00);
const QColor kGoldDeep(0xD4, 0xA0, 0x17);
const QColor kGoldPale(0xFF, 0xE4, 0x8A);
const QColor kCream(0xF5, 0xEC, 0xD4);

QColor Mix(const QColor& a, const QColor& b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
                            float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t),
                            float(a.alphaF() + (b.alphaF() - a.alphaF()) * t));
}

QColor WithAlpha(QColor c, int alpha)
{
    c.setAlpha(alpha);
    return c;
}

// A small linear congruential generator: the same sequence on every machine.
class Lcg
{
public:
    explicit Lcg(std::uint32_t seed) : m_state(seed) {}
    double next()
    {
        m_state = m_state * 1664525u + 1013904223u;
        return double(m_state >> 8) / double(1u << 24);
    }

private:
    std::uint32_t m_state;
};

// ---------------------------------------------------------------------------------------------
// Outlines cut by the key colour

// Which pixels of a picture belong to the window or button, decided per pixel centre with no
// blending, so the cut by exact colour match is clean. Also knows each pixel's depth from the
// edge and the outward direction there, from which the bevel rings are shaded.
class Shape
{
public:
    // `inside` is asked in designed pixels; the shape itself is kept per device pixel.
    Shape(int designedWidth, int designedHeight, const std::function<bool(double, double)>& inside)
        : m_scale(g_scale), m_width(designedWidth * g_scale), m_height(designedHeight * g_scale),
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

    static Shape RoundedRect(int width, int height, double radius)
    {
        return Shape(width, height, [=](double px, double py) {
            const double cx = std::clamp(px, radius, width - radius);
            const double cy = std::clamp(py, radius, height - radius);
            return (px - cx) * (px - cx) + (py - cy) * (py - cy) <= radius * radius;
        });
    }

    static Shape Ellipse(int width, int height)
    {
        return Shape(width, height, [=](double px, double py) {
            const double nx = (px - width / 2.0) / (width / 2.0);
            const double ny = (py - height / 2.0) / (height / 2.0);
            return nx * nx + ny * ny <= 1.0;
        });
    }

    int width() const { return m_width; }
    int height() const { return m_height; }
    // Depth from the edge in designed pixels (each ring of the bevel is one designed pixel
    // wide, so m_scale device pixels), 0 outside.
    int depth(int x, int y) const { return (at(x, y) + m_scale - 1) / m_scale; }

    // Light falls from the top left: 1 on edges facing it, 0 on edges facing away.
    double lightAt(int x, int y) const
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
             const QColor& base = kInk)
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

// A picture of the designed size at the current scale.
QImage Surface(int width, int height)
{
    QImage image(width * g_scale, height * g_scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(g_scale);
    return image;
}

// A picture's rectangle in designed pixels.
QRect Area(const QImage& image)
{
    return QRect(QPoint(0, 0), image.deviceIndependentSize().toSize());
}

QImage Canvas(int width, int height)
{
    QImage image = Surface(width, height);
    image.fill(Qt::transparent);
    return image;
}

void Prepare(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

// ---------------------------------------------------------------------------------------------
// Fonts and text

const char* const kSans = "Noto Sans CJK JP";
const char* const kSerif = "Noto Serif CJK JP";

QFont Font(const char* family, double pixelSize, QFont::Weight weight)
{
    QFont f(QString::fromLatin1(family));
    f.setPixelSize(int(std::lround(pixelSize)));
    f.setWeight(weight);
    f.setStyleStrategy(QFont::PreferAntialias);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

// Large display text as a filled outline, so it can take a gradient and a drop shadow.
QPainterPath TextPath(const QString& text, const QFont& font, QPointF baseline,
                      double letterSpacing = 0.0)
{
    QPainterPath path;
    if (letterSpacing == 0.0) {
        path.addText(baseline, font, text);
        return path;
    }
    QFontMetricsF fm(font);
    double x = baseline.x();
    for (const QChar ch : text) {
        path.addText(QPointF(x, baseline.y()), font, QString(ch));
        x += fm.horizontalAdvance(ch) + letterSpacing;
    }
    return path;
}

double TextWidth(const QString& text, const QFont& font, double letterSpacing = 0.0)
{
    QFontMetricsF fm(font);
    return fm.horizontalAdvance(text) + letterSpacing * std::max<qsizetype>(0, text.size() - 1);
}

QLinearGradient GoldGradient(double top, double bottom, bool bright = false)
{
    QLinearGradient g(0, top, 0, bottom);
    g.setColorAt(0.0, bright ? QColor(0xFF, 0xF4, 0xC0) : kGoldPale);
    g.setColorAt(0.45, bright ? QColor(0xFF, 0xD8, 0x30) : kGold);
    g.setColorAt(1.0, bright ? kGold : kGoldDeep);
    return g;
}

void FillGoldText(QPainter& p, const QPainterPath& path, bool bright = false)
{
    const QRectF r = path.boundingRect();
    p.fillPath(path.translated(1, 1), QColor(0, 0, 0, 200));
    p.fillPath(path, GoldGradient(r.top(), r.bottom(), bright));
}

// ---------------------------------------------------------------------------------------------
// Motifs

// A horseshoe, toe up, in a box of the given size.
QPainterPath Horseshoe(QRectF box)
{
    const double w = box.width(), h = box.height();
    QPainterPath outer;
    outer.moveTo(box.left() + w * 0.08, box.top() + h * 0.98);
    outer.cubicTo(box.left() - w * 0.02, box.top() + h * 0.55, box.left() + w * 0.02,
                  box.top() + h * 0.02, box.left() + w * 0.5, box.top());
    outer.cubicTo(box.left() + w * 0.98, box.top() + h * 0.02, box.left() + w * 1.02,
                  box.top() + h * 0.55, box.left() + w * 0.92, box.top() + h * 0.98);
    outer.lineTo(box.left() + w * 0.66, box.top() + h * 0.98);
    outer.cubicTo(box.left() + w * 0.76, box.top() + h * 0.62, box.left() + w * 0.74,
                  box.top() + h * 0.30, box.left() + w * 0.5, box.top() + h * 0.28);
    outer.cubicTo(box.left() + w * 0.26, box.top() + h * 0.30, box.left() + w * 0.24,
                  box.top() + h * 0.62, box.left() + w * 0.34, box.top() + h * 0.98);
    outer.closeSubpath();
    return outer;
}

// The nail holes of the horseshoe above.
QPainterPath HorseshoeNails(QRectF box)
{
    const double w = box.width(), h = box.height();
    QPainterPath holes;
    const double r = std::max(0.5, w * 0.045);
    const double pts[][2] = {{0.14, 0.74}, {0.15, 0.48}, {0.24, 0.24},
                             {0.86, 0.74}, {0.85, 0.48}, {0.76, 0.24}};
    for (const auto& pt : pts)
        holes.addEllipse(QPointF(box.left() + w * pt[0], box.top() + h * pt[1]), r, r);
    return holes;
}

// A horse's head and neck in profile, facing left, in a 100 x 134 box.
QPainterPath HorseBust()
{
    QPainterPath p;
    p.moveTo(55, 2);                      // tip of the near ear
    p.cubicTo(51, 9, 49, 15, 49, 22);     // front of the ear
    p.cubicTo(46, 25, 43, 28, 40, 32);    // forehead
    p.cubicTo(32, 45, 21, 61, 12, 75);    // face
    p.cubicTo(6, 83, 3, 90, 5, 97);       // muzzle
    p.cubicTo(7, 102, 12, 105, 18, 104);  // upper lip
    p.cubicTo(21, 108, 28, 109, 32, 105); // chin
    p.cubicTo(39, 101, 46, 100, 53, 99);  // under the jaw
    p.cubicTo(63, 99, 69, 91, 75, 86);    // round of the jowl
    p.cubicTo(76, 100, 66, 120, 55, 134); // throat and the front of the neck
    p.lineTo(100, 134);
    p.cubicTo(101, 98, 100, 64, 92, 43); // crest
    p.cubicTo(86, 30, 76, 20, 66, 15);   // behind the poll
    p.cubicTo(64, 9, 60, 4, 55, 2);      // back of the ear
    p.closeSubpath();
    return p;
}

QPainterPath HorseFarEar()
{
    QPainterPath p;
    p.moveTo(64, 0);
    p.cubicTo(61, 6, 60, 12, 61, 19);
    p.lineTo(68, 19);
    p.cubicTo(68, 11, 67, 5, 64, 0);
    p.closeSubpath();
    return p;
}

// Mane along the crest: a band whose inner edge is ragged.
QPainterPath HorseMane()
{
    QPainterPath crest;
    crest.moveTo(100, 134);
    crest.cubicTo(101, 98, 100, 64, 92, 43);
    crest.cubicTo(86, 30, 76, 20, 66, 15);
    crest.cubicTo(64, 13, 62, 12, 60, 13);
    QPainterPath p;
    p.moveTo(crest.pointAtPercent(0));
    constexpr int kSteps = 24;
    for (int i = 0; i <= kSteps; ++i)
        p.lineTo(crest.pointAtPercent(double(i) / kSteps));
    // Back down along the inner edge, alternating the depth of the locks.
    for (int i = kSteps; i >= 0; --i) {
        const double t = double(i) / kSteps;
        const QPointF pt = crest.pointAtPercent(t);
        const double a = crest.angleAtPercent(t) * std::numbers::pi / 180.0;
        // Inward normal of a path running up the crest: to its left.
        const QPointF n(-std::sin(a), -std::cos(a));
        const double depth = (i % 2 ? 13.0 : 8.0) * (0.6 + 0.4 * std::sin(t * std::numbers::pi));
        p.lineTo(pt + n * depth);
    }
    p.closeSubpath();
    // Forelock falling over the forehead.
    QPainterPath lock;
    lock.moveTo(57, 17);
    lock.cubicTo(52, 21, 46, 26, 43, 35);
    lock.cubicTo(48, 31, 51, 30, 54, 30);
    lock.cubicTo(52, 33, 51, 36, 51, 40);
    lock.cubicTo(55, 33, 59, 27, 63, 22);
    lock.closeSubpath();
    return p.united(lock);
}

// The eye, an almond tilted along the face.
QPainterPath HorseEye()
{
    QPainterPath eye;
    eye.moveTo(-5, 0);
    eye.cubicTo(-2, -3.6, 2.5, -3.6, 5, 0);
    eye.cubicTo(2.5, 2.6, -2, 2.6, -5, 0);
    QTransform t;
    t.translate(44, 43);
    t.rotate(-40);
    return t.map(eye);
}

struct Coat
{
    QColor body;    // the lit side of the coat
    QColor shade;   // the coat in shadow
    QColor mane;    // mane and forelock
    QColor muzzle;  // muzzle and ear tips
    QColor outline; // contour, so the picture stands on a white panel
    enum Pattern
    {
        Plain,
        Roan,
        Dapple
    } pattern = Plain;
    QColor head; // roans keep a solid-coloured head
    bool star = false;
};

// The coats in the order the detail window numbers its pictures.
const Coat kCoats[] = {
    // 栗毛 chestnut
    {QColor(0xC0, 0x5E, 0x22),
     QColor(0x7E, 0x34, 0x10),
     QColor(0xD2, 0x7C, 0x38),
     QColor(0x8E, 0x44, 0x1E),
     QColor(0x4A, 0x1C, 0x06),
     Coat::Plain,
     {},
     true},
    // 栃栗毛 dark chestnut
    {QColor(0x78, 0x34, 0x18),
     QColor(0x44, 0x1A, 0x0A),
     QColor(0xA8, 0x78, 0x46),
     QColor(0x50, 0x22, 0x10),
     QColor(0x26, 0x0C, 0x04),
     Coat::Plain,
     {},
     false},
    // 鹿毛 bay
    {QColor(0x9A, 0x4E, 0x22),
     QColor(0x5A, 0x28, 0x10),
     QColor(0x1A, 0x12, 0x0E),
     QColor(0x24, 0x16, 0x10),
     QColor(0x24, 0x10, 0x06),
     Coat::Plain,
     {},
     true},
    // 黒鹿毛 dark bay
    {QColor(0x56, 0x30, 0x1A),
     QColor(0x2A, 0x15, 0x0A),
     QColor(0x12, 0x0C, 0x0A),
     QColor(0x74, 0x50, 0x32),
     QColor(0x14, 0x08, 0x04),
     Coat::Plain,
     {},
     false},
    // 青鹿毛 brown-black
    {QColor(0x34, 0x24, 0x1E),
     QColor(0x16, 0x0F, 0x0D),
     QColor(0x0C, 0x0A, 0x0A),
     QColor(0x5E, 0x40, 0x2C),
     QColor(0x06, 0x04, 0x04),
     Coat::Plain,
     {},
     false},
    // 青毛 black
    {QColor(0x2C, 0x2E, 0x36),
     QColor(0x0C, 0x0C, 0x10),
     QColor(0x08, 0x08, 0x0A),
     QColor(0x24, 0x24, 0x2A),
     QColor(0x00, 0x00, 0x00),
     Coat::Plain,
     {},
     false},
    // 芦毛 grey
    {QColor(0xC8, 0xC8, 0xC6),
     QColor(0x80, 0x80, 0x84),
     QColor(0x5A, 0x5A, 0x5E),
     QColor(0x44, 0x44, 0x4A),
     QColor(0x38, 0x38, 0x3C),
     Coat::Dapple,
     {},
     false},
    // 栗粕毛 chestnut roan
    {QColor(0xC2, 0x82, 0x62), QColor(0x82, 0x4A, 0x30), QColor(0xA8, 0x50, 0x1E),
     QColor(0x7A, 0x38, 0x1A), QColor(0x3A, 0x18, 0x08), Coat::Roan, QColor(0xA4, 0x4E, 0x1E),
     false},
    // 鹿粕毛 bay roan
    {QColor(0x9E, 0x74, 0x64), QColor(0x5E, 0x3E, 0x34), QColor(0x1A, 0x12, 0x0E),
     QColor(0x24, 0x16, 0x10), QColor(0x24, 0x10, 0x08), Coat::Roan, QColor(0x7C, 0x40, 0x1E),
     false},
    // 青粕毛 blue roan
    {QColor(0x7C, 0x80, 0x8A), QColor(0x40, 0x42, 0x4A), QColor(0x10, 0x10, 0x12),
     QColor(0x1E, 0x1E, 0x22), QColor(0x10, 0x10, 0x14), Coat::Roan, QColor(0x2A, 0x2A, 0x30),
     false},
    // 白毛 white
    {QColor(0xFA, 0xF8, 0xF2),
     QColor(0xCC, 0xC8, 0xBE),
     QColor(0xEE, 0xEA, 0xE0),
     QColor(0xE8, 0xBE, 0xB4),
     QColor(0x9A, 0x96, 0x8E),
     Coat::Plain,
     {},
     false},
};

// Paints the bust into a 100 x 134 coordinate box (the caller scales).
void PaintHorse(QPainter& p, const Coat& coat, std::uint32_t seed)
{
    const QPainterPath bust = HorseBust();
    const QPainterPath farEar = HorseFarEar();

    // Far ear sits behind, in shadow.
    p.fillPath(farEar, coat.shade);
    p.strokePath(farEar, QPen(coat.outline, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));

    // Coat: lit from the upper left, the neck turning into shadow.
    QLinearGradient coatGrad(20, 40, 95, 120);
    coatGrad.setColorAt(0.0, Mix(coat.body, Qt::white, 0.12));
    coatGrad.setColorAt(0.45, coat.body);
    coatGrad.setColorAt(1.0, coat.shade);
    p.fillPath(bust, coatGrad);

    p.save();
    p.setClipPath(bust);
    if (coat.pattern == Coat::Roan) {
        // Roans are flecked with white over the body while the head keeps its colour.
        Lcg rng(seed);
        for (int i = 0; i < 900; ++i) {
            const double x = 40 + rng.next() * 62;
            const double y = 30 + rng.next() * 106;
            const double r = 0.9 + rng.next() * 1.1;
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(255, 255, 255, int(70 + rng.next() * 90)));
            p.drawEllipse(QPointF(x, y), r, r);
        }
        QRadialGradient headGrad(QPointF(30, 70), 46);
        headGrad.setColorAt(0.0, coat.head);
        headGrad.setColorAt(0.62, WithAlpha(coat.head, 235));
        headGrad.setColorAt(1.0, WithAlpha(coat.head, 0));
        p.fillRect(QRectF(0, 0, 100, 134), headGrad);
    } else if (coat.pattern == Coat::Dapple) {
        // Dapples: soft darker rings with light centres over the neck and cheek.
        Lcg rng(seed);
        p.setPen(Qt::NoPen);
        for (int i = 0; i < 60; ++i) {
            const QPointF c(48 + rng.next() * 54, 52 + rng.next() * 84);
            const double r = 3.2 + rng.next() * 2.4;
            QRadialGradient dapple(c, r);
            dapple.setColorAt(0.0, QColor(255, 255, 255, 70));
            dapple.setColorAt(0.55, QColor(255, 255, 255, 30));
            dapple.setColorAt(0.8, WithAlpha(coat.shade, 90));
            dapple.setColorAt(1.0, WithAlpha(coat.shade, 0));
            p.setBrush(dapple);
            p.drawEllipse(c, r, r);
        }
        // Greys darken toward the muzzle.
        QRadialGradient noseGrad(QPointF(10, 95), 34);
        noseGrad.setColorAt(0.0, WithAlpha(coat.shade, 200));
        noseGrad.setColorAt(1.0, WithAlpha(coat.shade, 0));
        p.fillRect(QRectF(0, 0, 100, 134), noseGrad);
    }

    // Muzzle and ear tips in the points colour.
    QRadialGradient muzzleGrad(QPointF(9, 94), 20);
    muzzleGrad.setColorAt(0.0, coat.muzzle);
    muzzleGrad.setColorAt(0.55, WithAlpha(coat.muzzle, 200));
    muzzleGrad.setColorAt(1.0, WithAlpha(coat.muzzle, 0));
    p.fillRect(QRectF(0, 70, 50, 40), muzzleGrad);
    QRadialGradient earGrad(QPointF(55, 4), 12);
    earGrad.setColorAt(0.0, coat.muzzle);
    earGrad.setColorAt(1.0, WithAlpha(coat.muzzle, 0));
    p.fillRect(QRectF(40, 0, 30, 22), earGrad);

    // Jowl: a soft highlight on the round of the cheek and its shadowed rim.
    QRadialGradient cheek(QPointF(54, 72), 20);
    cheek.setColorAt(0.0, QColor(255, 255, 255, 46));
    cheek.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillRect(QRectF(25, 45, 50, 50), cheek);
    QPainterPath jowl;
    jowl.moveTo(44, 60);
    jowl.cubicTo(60, 58, 70, 68, 68, 80);
    jowl.cubicTo(66, 90, 60, 95, 52, 97);
    p.strokePath(jowl, QPen(WithAlpha(coat.outline, 120), 1.6, Qt::SolidLine, Qt::RoundCap));

    // Mane.
    p.fillPath(HorseMane(), coat.mane);
    // A sheen along the crest.
    QPainterPath sheen;
    sheen.moveTo(97, 120);
    sheen.cubicTo(97, 92, 95, 66, 88, 46);
    sheen.cubicTo(83, 35, 76, 27, 68, 21);
    p.strokePath(sheen, QPen(WithAlpha(Mix(coat.mane, Qt::white, 0.3), 80), 1.4, Qt::SolidLine,
                             Qt::RoundCap));
    p.restore();

    // White star on the forehead.
    if (coat.star) {
        QPainterPath star;
        star.moveTo(37, 35);
        star.cubicTo(40, 32, 44, 34, 43, 38);
        star.cubicTo(42, 42, 37, 42, 35, 39);
        star.closeSubpath();
        p.fillPath(star, QColor(0xF8, 0xF4, 0xEA));
    }

    // Eye, nostril and mouth.
    p.fillPath(HorseEye(), QColor(0x14, 0x0C, 0x08));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 200));
    p.drawEllipse(QPointF(42.6, 41.6), 1.0, 1.0);
    const QColor feature = coat.pattern == Coat::Plain && coat.body.lightness() > 200
                               ? QColor(0x8A, 0x5C, 0x58)
                               : QColor(0x0C, 0x08, 0x06, 200);
    QPainterPath nostril;
    nostril.moveTo(10, 85);
    nostril.cubicTo(13, 82, 17, 85, 15, 90);
    p.strokePath(nostril, QPen(feature, 2.2, Qt::SolidLine, Qt::RoundCap));
    QPainterPath mouth;
    mouth.moveTo(8, 100);
    mouth.cubicTo(12, 101, 17, 101, 21, 100);
    p.strokePath(mouth, QPen(feature, 1.4, Qt::SolidLine, Qt::RoundCap));

    // Contour last, so every coat reads on a white panel.
    p.strokePath(bust, QPen(coat.outline, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

// ---------------------------------------------------------------------------------------------
// Shared surfaces

// Broad mown stripes, as on a turf course, laid faintly over a surface.
void TurfStripes(QPainter& p, const QRectF& area, double stripe, int alpha)
{
    p.save();
    p.setClipRect(area);
    p.setPen(Qt::NoPen);
    int i = 0;
    for (double x = area.left() - area.height(); x < area.right(); x += stripe, ++i) {
        if (i % 2)
            continue;
        QPainterPath band;
        band.moveTo(x, area.bottom());
        band.lineTo(x + stripe, area.bottom());
        band.lineTo(x + stripe + area.height() * 0.35, area.top());
        band.lineTo(x + area.height() * 0.35, area.top());
        band.closeSubpath();
        p.fillPath(band, QColor(0x6A, 0xA0, 0x7A, alpha));
    }
    p.restore();
}

// A frame sunk into the surface around a widget's rectangle, which draws its own bevel inside.
void RecessFrame(QPainter& p, const QRect& r)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    const QRect a = r.adjusted(-1, -1, 0, 0); // shadow line hugging the widget
    const QRect b = r.adjusted(-2, -2, 1, 1); // gold hairline rim
    p.setPen(QColor(0x03, 0x04, 0x05));
    p.drawRect(a);
    p.setPen(QColor(0x0A, 0x0C, 0x0E));
    p.drawLine(b.topLeft(), b.topRight());
    p.drawLine(b.topLeft(), b.bottomLeft());
    p.setPen(WithAlpha(kGoldDeep, 150));
    p.drawLine(b.bottomLeft() + QPoint(1, 0), b.bottomRight());
    p.drawLine(b.topRight() + QPoint(0, 1), b.bottomRight());
    p.restore();
}

// The rings of a window's outline: a bevelled gold rim, then a dark line that sets it off.
std::vector<Ring> WindowRings()
{
    return {
        {QColor(0xF2, 0xC8, 0x40), QColor(0x6A, 0x4C, 0x0A)},
        {QColor(0x8A, 0x6A, 0x18), QColor(0x2A, 0x20, 0x08)},
        {QColor(0x05, 0x06, 0x07), QColor(0x05, 0x06, 0x07)},
        {QColor(0xFF, 0xFF, 0xFF, 40), QColor(0x00, 0x00, 0x00, 0), 1.0},
    };
}

// Body of a skinned window: the title strip with its gold rule, and the turf below it.
void WindowBody(QPainter& p, int width, int height, int stripHeight)
{
    QLinearGradient body(0, stripHeight, 0, height);
    body.setColorAt(0.0, QColor(0x1C, 0x21, 0x27));
    body.setColorAt(1.0, QColor(0x0F, 0x12, 0x15));
    p.fillRect(QRect(0, 0, width, height), body);
    TurfStripes(p, QRectF(0, stripHeight, width, height - stripHeight), 34, 6);

    QLinearGradient strip(0, 0, 0, stripHeight);
    strip.setColorAt(0.0, QColor(0x23, 0x4A, 0x50));
    strip.setColorAt(0.5, QColor(0x14, 0x33, 0x39));
    strip.setColorAt(1.0, QColor(0x0B, 0x20, 0x25));
    p.fillRect(QRect(0, 0, width, stripHeight), strip);
    // Soft sheen across the top of the strip.
    QLinearGradient sheen(0, 0, 0, stripHeight / 2.0);
    sheen.setColorAt(0.0, QColor(255, 255, 255, 26));
    sheen.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillRect(QRect(0, 0, width, stripHeight / 2), sheen);

    // Gold rule under the title, fading out toward the ends.
    QLinearGradient rule(10, 0, width - 10, 0);
    rule.setColorAt(0.0, WithAlpha(kGoldDeep, 0));
    rule.setColorAt(0.08, kGoldDeep);
    rule.setColorAt(0.5, kGold);
    rule.setColorAt(0.92, kGoldDeep);
    rule.setColorAt(1.0, WithAlpha(kGoldDeep, 0));
    p.fillRect(QRect(4, stripHeight, width - 8, 1), rule);
    p.fillRect(QRect(4, stripHeight + 1, width - 8, 1), QColor(0, 0, 0, 170));
}

void WindowTitle(QPainter& p, const QString& text, const QFont& font, double x, double baseline,
                 double letterSpacing)
{
    const QPainterPath path = TextPath(text, font, QPointF(x, baseline), letterSpacing);
    FillGoldText(p, path);
}

// A small diamond ornament in gold.
void Diamond(QPainter& p, QPointF c, double r, const QColor& colour)
{
    QPainterPath d;
    d.moveTo(c.x(), c.y() - r);
    d.lineTo(c.x() + r, c.y());
    d.lineTo(c.x(), c.y() + r);
    d.lineTo(c.x() - r, c.y());
    d.closeSubpath();
    p.fillPath(d, colour);
}

// ---------------------------------------------------------------------------------------------
// The main window

const QRect kMainPanels[] = {
    {8, 30, 484, 50}, {8, 86, 484, 331}, {497, 30, 132, 331}, {497, 367, 133, 50}};
constexpr int kButtonLefts[] = {71, 141, 211, 281, 351, 421, 491};
constexpr int kButtonTop = 423;

QImage MainBackground()
{
    QImage img = Canvas(640, 500);
    {
        QPainter p(&img);
        Prepare(p);
        WindowBody(p, 640, 500, 28);
        WindowTitle(p, QStringLiteral("Furlox Plus"), Font(kSerif, 16, QFont::Bold), 40, 20, 0.6);
        // Quiet flourish after the title.
        const double end =
            40 + TextWidth(QStringLiteral("Furlox Plus"), Font(kSerif, 16, QFont::Bold), 0.6);
        Diamond(p, QPointF(end + 12, 14.5), 2.5, kGoldDeep);
        QLinearGradient tail(end + 18, 0, end + 150, 0);
        tail.setColorAt(0.0, WithAlpha(kGoldDeep, 200));
        tail.setColorAt(1.0, WithAlpha(kGoldDeep, 0));
        p.fillRect(QRectF(end + 18, 14, 132, 1), tail);

        for (const QRect& r : kMainPanels)
            RecessFrame(p, r);

        // The tray the seven buttons sit in.
        const QRectF tray(62.5, 419.5, 501, 72);
        QPainterPath trayPath;
        trayPath.addRoundedRect(tray, 10, 10);
        QLinearGradient trayFill(0, tray.top(), 0, tray.bottom());
        trayFill.setColorAt(0.0, QColor(0x07, 0x09, 0x0B));
        trayFill.setColorAt(0.25, QColor(0x0D, 0x11, 0x14));
        trayFill.setColorAt(1.0, QColor(0x12, 0x17, 0x1B));
        p.fillPath(trayPath, trayFill);
        QLinearGradient trayRim(0, tray.top(), 0, tray.bottom());
        trayRim.setColorAt(0.0, QColor(0, 0, 0, 230));
        trayRim.setColorAt(0.6, QColor(0x40, 0x34, 0x14, 160));
        trayRim.setColorAt(1.0, WithAlpha(kGoldDeep, 200));
        p.strokePath(trayPath, QPen(QBrush(trayRim), 1.0));

        // Horseshoes at either end of the tray, faint.
        for (const double cx : {34.0, 598.0}) {
            const QRectF box(cx - 13, 440, 26, 28);
            QPainterPath shoe = Horseshoe(box).subtracted(HorseshoeNails(box));
            p.fillPath(shoe.translated(0, 1), QColor(0, 0, 0, 150));
            QLinearGradient g(0, box.top(), 0, box.bottom());
            g.setColorAt(0.0, WithAlpha(kGoldPale, 120));
            g.setColorAt(1.0, WithAlpha(kGoldDeep, 90));
            p.fillPath(shoe, g);
        }
    }
    return Keyed(img, Shape::RoundedRect(640, 500, 14), WindowRings());
}

// The system icon is cut from the finished background so it sits seamlessly on the strip.
QImage SystemIcon(const QImage& mainBackground)
{
    QImage img = mainBackground.copy(15 * g_scale, 7 * g_scale, 16 * g_scale, 16 * g_scale)
                     .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    img.setDevicePixelRatio(g_scale);
    QPainter p(&img);
    Prepare(p);
    const QRectF box(1.5, 1, 13, 14);
    const QPainterPath shoe = Horseshoe(box).subtracted(HorseshoeNails(box));
    p.fillPath(shoe.translated(0.6, 0.8), QColor(0, 0, 0, 190));
    p.fillPath(shoe, GoldGradient(box.top(), box.bottom(), true));
    p.end();
    return img.convertToFormat(QImage::Format_RGB32);
}

// ---------------------------------------------------------------------------------------------
// Buttons

enum class ButtonState
{
    Idle,
    Hover,
    Down,
    Disabled
};

struct ButtonLook
{
    QColor faceTop, faceBottom;
    QColor inkTop, inkMid, inkBottom; // icon gradient
    QColor caption;
    std::vector<Ring> rings;
    double offset; // content shift when pressed
    bool glow;
};

ButtonLook LookFor(ButtonState state)
{
    switch (state) {
    case ButtonState::Hover:
        return {QColor(0x2E, 0x66, 0x6C),
                QColor(0x12, 0x34, 0x3A),
                QColor(0xFF, 0xF6, 0xD0),
                QColor(0xFF, 0xDC, 0x40),
                QColor(0xF0, 0xB0, 0x18),
                QColor(0xFF, 0xFB, 0xEE),
                {{QColor(0xFF, 0xE8, 0x80), QColor(0x9A, 0x74, 0x14)},
                 {QColor(0xC0, 0x94, 0x20), QColor(0x4A, 0x38, 0x0A)},
                 {QColor(0x05, 0x06, 0x07), QColor(0x05, 0x06, 0x07)},
                 {QColor(0xFF, 0xE0, 0x70, 90), QColor(0xFF, 0xE0, 0x70, 40)}},
                0.0,
                true};
    case ButtonState::Down:
        return {QColor(0x08, 0x18, 0x1C),
                QColor(0x16, 0x34, 0x3A),
                QColor(0xE8, 0xC8, 0x60),
                QColor(0xD4, 0xA0, 0x17),
                QColor(0xA0, 0x76, 0x10),
                QColor(0xDC, 0xD2, 0xB8),
                {{QColor(0x6A, 0x4C, 0x0A), QColor(0xE8, 0xC0, 0x40)},
                 {QColor(0x2A, 0x20, 0x08), QColor(0x8A, 0x6A, 0x18)},
                 {QColor(0x02, 0x03, 0x03), QColor(0x05, 0x06, 0x07)},
                 {QColor(0x00, 0x00, 0x00, 110), QColor(0x00, 0x00, 0x00, 0)}},
                1.0,
                false};
    case ButtonState::Disabled:
        return {QColor(0x2A, 0x2D, 0x31),
                QColor(0x1A, 0x1C, 0x1F),
                QColor(0x86, 0x86, 0x86),
                QColor(0x6E, 0x6E, 0x6E),
                QColor(0x58, 0x58, 0x58),
                QColor(0x7C, 0x7C, 0x7C),
                {{QColor(0x8A, 0x8A, 0x8A), QColor(0x3A, 0x3A, 0x3A)},
                 {QColor(0x50, 0x50, 0x50), QColor(0x22, 0x22, 0x22)},
                 {QColor(0x06, 0x06, 0x06), QColor(0x06, 0x06, 0x06)},
                 {QColor(0xFF, 0xFF, 0xFF, 18), QColor(0, 0, 0, 0)}},
                0.0,
                false};
    case ButtonState::Idle:
        break;
    }
    return {QColor(0x22, 0x4C, 0x52),
            QColor(0x0C, 0x22, 0x27),
            QColor(0xFF, 0xEC, 0xA0),
            QColor(0xFF, 0xCC, 0x00),
            QColor(0xC8, 0x90, 0x10),
            QColor(0xF5, 0xEC, 0xD4),
            {{QColor(0xF2, 0xC8, 0x40), QColor(0x6A, 0x4C, 0x0A)},
             {QColor(0x8A, 0x6A, 0x18), QColor(0x2A, 0x20, 0x08)},
             {QColor(0x05, 0x06, 0x07), QColor(0x05, 0x06, 0x07)},
             {QColor(0xFF, 0xFF, 0xFF, 46), QColor(0xFF, 0xFF, 0xFF, 0)}},
            0.0,
            false};
}

// Each icon is built as one filled outline in a 32 x 32 box (holes and cut lines are part of
// the outline), so every state can paint it with its own gradient, glow and shadow.
QPainterPath Stroke(const QPainterPath& path, double width)
{
    QPainterPathStroker s;
    s.setWidth(width);
    s.setCapStyle(Qt::RoundCap);
    s.setJoinStyle(Qt::RoundJoin);
    return s.createStroke(path);
}

QPainterPath IconOpen()
{
    QPainterPath back;
    back.moveTo(3, 9);
    back.quadTo(3, 6, 6, 6);
    back.lineTo(12, 6);
    back.lineTo(15, 9);
    back.lineTo(25, 9);
    back.quadTo(28, 9, 28, 12);
    back.lineTo(28, 14);
    back.lineTo(8, 14);
    back.lineTo(3, 26);
    back.closeSubpath();
    QPainterPath front;
    front.moveTo(9, 16);
    front.lineTo(31, 16);
    front.lineTo(25.5, 27);
    front.lineTo(3.5, 27);
    front.closeSubpath();
    QPainterPath all = back.united(front);
    // Gap between the flap and the back, so the two read as separate leaves.
    QPainterPath gap;
    gap.moveTo(8.6, 14.8);
    gap.lineTo(30, 14.8);
    return all.subtracted(Stroke(gap, 1.4)).simplified();
}

QPainterPath IconRaces()
{
    QPainterPath p;
    for (int i = 0; i < 3; ++i) {
        const double y = 6 + i * 8.5;
        p.addRoundedRect(QRectF(3, y, 5.5, 5.5), 1.2, 1.2);
        p.addRoundedRect(QRectF(11, y + 0.5, 18, 4.5), 2.2, 2.2);
    }
    return p;
}

QPainterPath IconArrow(bool left)
{
    QPainterPath p;
    p.moveTo(4, 16);
    p.lineTo(15, 5);
    p.lineTo(15, 11.5);
    p.lineTo(28, 11.5);
    p.lineTo(28, 20.5);
    p.lineTo(15, 20.5);
    p.lineTo(15, 27);
    p.closeSubpath();
    QPainterPath rounded = p.united(Stroke(p, 2.2)).simplified();
    if (left)
        return rounded;
    QTransform mirror(-1, 0, 0, 1, 32, 0);
    return mirror.map(rounded);
}

QPainterPath IconOutput()
{
    QPainterPath body;
    body.addRoundedRect(QRectF(2, 11, 28, 13), 3, 3);
    QPainterPath paperBack;
    paperBack.addRect(QRectF(9, 3, 14, 9.5));
    QPainterPath paperOut;
    paperOut.addRect(QRectF(8.5, 18.5, 15, 11.5));
    // The paper coming out stands apart from the body by a thin gap.
    QPainterPath gap;
    gap.addRect(QRectF(7, 17, 18, 14));
    QPainterPath all = body.subtracted(gap).united(paperBack).united(paperOut);
    QPainterPath cuts;
    cuts.addRect(QRectF(11, 22, 10, 1.4));
    cuts.addRect(QRectF(11, 25.2, 10, 1.4));
    cuts.addRect(QRectF(11, 28.2, 6, 1.4));
    cuts.addEllipse(QPointF(26, 14.6), 1.4, 1.4);
    return all.subtracted(cuts).simplified();
}

QPainterPath IconPlot()
{
    QPainterPath axes;
    axes.moveTo(4, 4);
    axes.lineTo(4, 28);
    axes.lineTo(29, 28);
    QPainterPath line;
    const QPointF pts[] = {{8, 23}, {13, 16}, {18, 19.5}, {23, 10}, {28, 6}};
    line.moveTo(pts[0]);
    for (std::size_t i = 1; i < std::size(pts); ++i)
        line.lineTo(pts[i]);
    QPainterPath all = Stroke(axes, 2.2).united(Stroke(line, 2.2));
    for (const QPointF& pt : pts) {
        QPainterPath dot;
        dot.addEllipse(pt, 2.5, 2.5);
        all = all.united(dot);
    }
    return all.simplified();
}

QPainterPath IconHelp()
{
    QPainterPath ring;
    ring.addEllipse(QPointF(16, 16), 13.5, 13.5);
    QPainterPath inner;
    inner.addEllipse(QPointF(16, 16), 11, 11);
    QPainterPath mark;
    const QFont f = Font(kSans, 19, QFont::Black);
    const QString q = QStringLiteral("?");
    QFontMetricsF fm(f);
    mark.addText(QPointF(16 - fm.horizontalAdvance(q) / 2.0, 23), f, q);
    return ring.subtracted(inner).united(mark).simplified();
}

struct ButtonDesign
{
    const char* name;
    QString caption;
    std::function<QPainterPath()> icon;
    bool latinCaption;
};

std::vector<ButtonDesign> ButtonDesigns()
{
    return {
        {"btn1", QStringLiteral("開く"), IconOpen, false},
        {"btn2", QStringLiteral("レース"), IconRaces, false},
        {"btn3", QStringLiteral("前"), [] { return IconArrow(true); }, false},
        {"btn4", QStringLiteral("次"), [] { return IconArrow(false); }, false},
        {"btn5", QStringLiteral("出力"), IconOutput, false},
        {"btn6", QStringLiteral("P.L.O.T"), IconPlot, true},
        {"btn7", QStringLiteral("ヘルプ"), IconHelp, false},
    };
}

QImage RegionButton(const ButtonDesign& design, ButtonState state)
{
    const ButtonLook look = LookFor(state);
    const int w = 64, h = 65;
    QImage img = Canvas(w, h);
    {
        QPainter p(&img);
        Prepare(p);
        QLinearGradient face(0, 0, 0, h);
        face.setColorAt(0.0, look.faceTop);
        face.setColorAt(1.0, look.faceBottom);
        p.fillRect(QRect(0, 0, w, h), face);
        if (state != ButtonState::Down) {
            // Gloss over the upper half.
            QPainterPath gloss;
            gloss.addRoundedRect(QRectF(4, 3, w - 8, 26), 9, 9);
            QLinearGradient gl(0, 3, 0, 29);
            gl.setColorAt(0.0, QColor(255, 255, 255, state == ButtonState::Disabled ? 14 : 34));
            gl.setColorAt(1.0, QColor(255, 255, 255, 0));
            p.fillPath(gloss, gl);
        } else {
            // Shadow cast into the pressed button from its upper rim.
            QLinearGradient sh(0, 0, 0, 14);
            sh.setColorAt(0.0, QColor(0, 0, 0, 150));
            sh.setColorAt(1.0, QColor(0, 0, 0, 0));
            p.fillRect(QRect(0, 0, w, 14), sh);
        }
        if (look.glow) {
            QRadialGradient halo(QPointF(32, 22), 24);
            halo.setColorAt(0.0, QColor(0xFF, 0xD8, 0x50, 90));
            halo.setColorAt(1.0, QColor(0xFF, 0xD8, 0x50, 0));
            p.fillRect(QRect(0, 0, w, h), halo);
        }

        p.translate(look.offset, look.offset);
        // Icon, centred in the upper part.
        const QPainterPath icon = design.icon().translated(16, 5);
        if (look.glow)
            p.strokePath(icon, QPen(QColor(0xFF, 0xD0, 0x40, 70), 3.0, Qt::SolidLine, Qt::RoundCap,
                                    Qt::RoundJoin));
        p.fillPath(icon.translated(0.8, 1.2), QColor(0, 0, 0, 170));
        QLinearGradient ink(0, 5, 0, 37);
        ink.setColorAt(0.0, look.inkTop);
        ink.setColorAt(0.5, look.inkMid);
        ink.setColorAt(1.0, look.inkBottom);
        p.fillPath(icon, ink);

        // Hairline between icon and caption.
        QLinearGradient hair(12, 0, 52, 0);
        const QColor hairColour =
            state == ButtonState::Disabled ? QColor(0x70, 0x70, 0x70) : kGoldDeep;
        hair.setColorAt(0.0, WithAlpha(hairColour, 0));
        hair.setColorAt(0.5, WithAlpha(hairColour, 170));
        hair.setColorAt(1.0, WithAlpha(hairColour, 0));
        p.fillRect(QRectF(12, 39, 40, 1), hair);

        // Caption.
        const QFont font =
            design.latinCaption ? Font(kSans, 11, QFont::Bold) : Font(kSans, 12, QFont::Bold);
        const QRectF captionBox(0, 41, w, 17);
        p.setFont(font);
        p.setPen(QColor(0, 0, 0, 200));
        p.drawText(captionBox.translated(1, 1), Qt::AlignCenter, design.caption);
        p.setPen(look.caption);
        p.drawText(captionBox, Qt::AlignCenter, design.caption);
    }
    return Keyed(img, Shape::RoundedRect(w, h, 12), look.rings);
}

// ---------------------------------------------------------------------------------------------
// Close button

QImage CloseButton(ButtonState state)
{
    const int w = 14, h = 13;
    QImage img = Canvas(w, h);
    QColor top, bottom, cross;
    std::vector<Ring> rings;
    double shift = 0.0;
    switch (state) {
    case ButtonState::Hover:
        top = QColor(0xD8, 0x3A, 0x2A);
        bottom = QColor(0x7A, 0x12, 0x0C);
        cross = QColor(0xFF, 0xF8, 0xE8);
        rings = {{QColor(0xFF, 0xE0, 0x70), QColor(0x9A, 0x72, 0x12)}};
        break;
    case ButtonState::Down:
        top = QColor(0x4A, 0x0A, 0x06);
        bottom = QColor(0x8A, 0x1C, 0x12);
        cross = QColor(0xE8, 0xD8, 0xC0);
        rings = {{QColor(0x5A, 0x40, 0x08), QColor(0xD8, 0xB0, 0x30)}};
        shift = 0.6;
        break;
    default:
        top = QColor(0x2A, 0x4E, 0x54);
        bottom = QColor(0x0C, 0x1E, 0x22);
        cross = kGold;
        rings = {{QColor(0xF2, 0xC8, 0x40), QColor(0x6A, 0x4C, 0x0A)}};
        break;
    }
    {
        QPainter p(&img);
        Prepare(p);
        QLinearGradient face(0, 0, 0, h);
        face.setColorAt(0.0, top);
        face.setColorAt(1.0, bottom);
        p.fillRect(QRect(0, 0, w, h), face);
        QPainterPath x;
        x.moveTo(4.6 + shift, 4.2 + shift);
        x.lineTo(9.4 + shift, 8.8 + shift);
        x.moveTo(9.4 + shift, 4.2 + shift);
        x.lineTo(4.6 + shift, 8.8 + shift);
        p.strokePath(x.translated(0, 0.7),
                     QPen(QColor(0, 0, 0, 160), 1.7, Qt::SolidLine, Qt::RoundCap));
        p.strokePath(x, QPen(cross, 1.7, Qt::SolidLine, Qt::RoundCap));
    }
    return Keyed(img, Shape::Ellipse(w, h), rings);
}

// ---------------------------------------------------------------------------------------------
// Panels of the main window

QImage TitlePanel()
{
    QImage img = Surface(480, 46);
    QPainter p(&img);
    Prepare(p);
    QLinearGradient g(0, 0, 0, 46);
    g.setColorAt(0.0, QColor(0x0E, 0x12, 0x15));
    g.setColorAt(1.0, QColor(0x08, 0x0A, 0x0C));
    p.fillRect(Area(img), g);
    // A dark green-navy wash from the right, where the race texts do not reach.
    QLinearGradient wash(260, 0, 480, 0);
    wash.setColorAt(0.0, WithAlpha(kNavyGreen, 0));
    wash.setColorAt(1.0, WithAlpha(kNavyGreen, 200));
    p.fillRect(Area(img), wash);
    const QRectF box(440, 8, 26, 29);
    const QPainterPath shoe = Horseshoe(box).subtracted(HorseshoeNails(box));
    p.fillPath(shoe, WithAlpha(kGoldDeep, 46));
    QLinearGradient rule(0, 0, 480, 0);
    rule.setColorAt(0.0, WithAlpha(kGoldDeep, 0));
    rule.setColorAt(0.5, WithAlpha(kGoldDeep, 60));
    rule.setColorAt(1.0, WithAlpha(kGoldDeep, 0));
    p.fillRect(QRect(0, 45, 480, 1), rule);
    p.end();
    return img.convertToFormat(QImage::Format_RGB32);
}

QImage GridPanel()
{
    QImage img = Surface(480, 327);
    QPainter p(&img);
    Prepare(p);
    QLinearGradient g(0, 0, 0, 327);
    g.setColorAt(0.0, QColor(0x30, 0x35, 0x3A));
    g.setColorAt(1.0, QColor(0x1E, 0x22, 0x26));
    p.fillRect(Area(img), g);
    TurfStripes(p, QRectF(Area(img)), 30, 10);
    // Fine diagonal hatching for a woven texture.
    p.setPen(QPen(QColor(255, 255, 255, 7), 1.0));
    for (int x = -327; x < 480; x += 4)
        p.drawLine(QPointF(x, 327), QPointF(x + 327, 0));
    // The program's name in a quiet watermark where short fields leave the grid short.
    const QFont f = Font(kSerif, 30, QFont::Bold);
    const QString name = QStringLiteral("Furlox Plus");
    const double w = TextWidth(name, f, 1.0);
    const QPainterPath text = TextPath(name, f, QPointF(480 - 24 - w, 300), 1.0);
    p.fillPath(text.translated(1, 1), QColor(0, 0, 0, 60));
    p.fillPath(text, WithAlpha(kGoldDeep, 40));
    const QRectF box(480 - 24 - w - 40, 270, 30, 33);
    p.fillPath(Horseshoe(box).subtracted(HorseshoeNails(box)), WithAlpha(kGoldDeep, 36));
    // Vignette.
    QRadialGradient v(QPointF(240, 160), 330);
    v.setColorAt(0.6, QColor(0, 0, 0, 0));
    v.setColorAt(1.0, QColor(0, 0, 0, 90));
    p.fillRect(Area(img), v);
    p.end();
    return img.convertToFormat(QImage::Format_RGB32);
}

QImage BetsPanel()
{
    QImage img = Surface(128, 327);
    QPainter p(&img);
    Prepare(p);
    QLinearGradient g(0, 0, 0, 327);
    g.setColorAt(0.0, QColor(0x0C, 0x10, 0x13));
    g.setColorAt(0.6, QColor(0x0A, 0x14, 0x17));
    g.setColorAt(1.0, QColor(0x0C, 0x1E, 0x22));
    p.fillRect(Area(img), g);
    TurfStripes(p, QRectF(Area(img)), 22, 6);
    const QRectF box(44, 258, 40, 44);
    p.fillPath(Horseshoe(box).subtracted(HorseshoeNails(box)), WithAlpha(kGoldDeep, 34));
    QLinearGradient rule(0, 0, 128, 0);
    rule.setColorAt(0.0, WithAlpha(kGoldDeep, 0));
    rule.setColorAt(0.5, WithAlpha(kGoldDeep, 50));
    rule.setColorAt(1.0, WithAlpha(kGoldDeep, 0));
    p.fillRect(QRect(8, 246, 112, 1), rule);
    p.end();
    return img.convertToFormat(QImage::Format_RGB32);
}

// ---------------------------------------------------------------------------------------------
// Confidence grade pictures

struct GradeDesign
{
    const char* name;
    QString letter; // empty for the no-bet picture
    QColor top, bottom, rim;
    int stars;
};

QImage GradePicture(const GradeDesign& g)
{
    const int w = 130, h = 48;
    QImage img = Surface(w, h);
    QPainter p(&img);
    Prepare(p);
    const bool muted = g.letter.isEmpty();
    QLinearGradient paper(0, 0, 0, h);
    paper.setColorAt(0.0, QColor(0xFF, 0xFF, 0xFF));
    paper.setColorAt(1.0, muted ? QColor(0xEC, 0xEC, 0xEA) : QColor(0xF4, 0xF0, 0xE4));
    p.fillRect(Area(img), paper);

    // Medallion on the left carrying the letter.
    const QPointF c(25, 24);
    QRadialGradient disc(QPointF(c.x() - 6, c.y() - 8), 26);
    disc.setColorAt(0.0, g.top);
    disc.setColorAt(1.0, g.bottom);
    p.setPen(QPen(g.rim, 2.0));
    p.setBrush(disc);
    p.drawEllipse(c, 20, 20);
    p.setPen(QPen(QColor(255, 255, 255, 90), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, 17, 17);
    if (!muted) {
        const QFont f = Font(kSerif, 30, QFont::Black);
        QFontMetricsF fm(f);
        const QPainterPath letter = TextPath(
            g.letter, f, QPointF(c.x() - fm.horizontalAdvance(g.letter) / 2.0, c.y() + 11));
        p.fillPath(letter.translated(1, 1.2), QColor(0, 0, 0, 120));
        p.fillPath(letter, QColor(0xFF, 0xFC, 0xF0));
    } else {
        QPainterPath dash;
        dash.addRoundedRect(QRectF(c.x() - 9, c.y() - 2, 18, 4), 2, 2);
        p.fillPath(dash, QColor(0xF4, 0xF4, 0xF4));
    }

    // "勝負度" and the strength on the right.
    p.setFont(Font(kSans, 11, QFont::Bold));
    p.setPen(muted ? QColor(0x90, 0x90, 0x90) : QColor(0x4A, 0x44, 0x38));
    p.drawText(QRectF(52, 4, 74, 14), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("勝負度"));
    QLinearGradient rule(52, 0, 126, 0);
    rule.setColorAt(0.0, muted ? QColor(0xB0, 0xB0, 0xB0) : g.rim);
    rule.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillRect(QRectF(52, 19, 72, 1), rule);
    if (muted) {
        p.setFont(Font(kSans, 16, QFont::Bold));
        p.setPen(QColor(0x88, 0x88, 0x88));
        p.drawText(QRectF(52, 21, 76, 24), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("見送り"));
    } else {
        for (int i = 0; i < 3; ++i) {
            QPainterPath star;
            const QPointF sc(60 + i * 20, 33);
            for (int k = 0; k < 10; ++k) {
                const double a = -std::numbers::pi / 2 + k * std::numbers::pi / 5;
                const double r = (k % 2) ? 3.4 : 8.0;
                const QPointF pt(sc.x() + r * std::cos(a), sc.y() + r * std::sin(a));
                if (k == 0)
                    star.moveTo(pt);
                else
                    star.lineTo(pt);
            }
            star.closeSubpath();
            if (i < g.stars) {
                QLinearGradient sg(0, 25, 0, 41);
                sg.setColorAt(0.0, Mix(g.top, Qt::white, 0.25));
                sg.setColorAt(1.0, g.bottom);
                p.fillPath(star, sg);
                p.strokePath(star, QPen(g.rim, 0.8));
            } else {
                p.strokePath(star, QPen(QColor(0xC4, 0xC0, 0xB4), 1.0));
            }
        }
    }
    p.end();
    return img.convertToFormat(QImage::Format_RGB32);
}

// ---------------------------------------------------------------------------------------------
// About window

QImage AboutPicture()
{
    // The window writes its version and edition along the top and its platform and notice
    // lines near the bottom; the picture keeps its motif in the band between.
    const int w = 392, h = 270;
    QImage img = Surface(w, h);
    QPainter p(&img);
    Prepare(p);
    QRadialGradient bg(QPointF(w * 0.42, h * 0.42), 270);
    bg.setColorAt(0.0, QColor(0x18, 0x3C, 0x42));
    bg.setColorAt(0.55, QColor(0x0E, 0x22, 0x27));
    bg.setColorAt(1.0, QColor(0x07, 0x0B, 0x0D));
    p.fillRect(Area(img), bg);
    TurfStripes(p, QRectF(Area(img)), 30, 6);

    // The horse, faint, looking in from the right.
    p.save();
    p.translate(w - 118, 40);
    p.scale(1.12, 1.12);
    const QPainterPath horse = HorseBust().united(HorseFarEar());
    QLinearGradient horseFill(0, 0, 60, 134);
    horseFill.setColorAt(0.0, WithAlpha(kGoldPale, 54));
    horseFill.setColorAt(1.0, WithAlpha(kGoldDeep, 0));
    p.fillPath(horse, horseFill);
    QLinearGradient horseLine(0, 0, 40, 134);
    horseLine.setColorAt(0.0, WithAlpha(kGoldPale, 150));
    horseLine.setColorAt(1.0, WithAlpha(kGoldPale, 0));
    p.strokePath(horse, QPen(QBrush(horseLine), 0.9));
    p.fillPath(HorseEye(), WithAlpha(kGoldPale, 90));
    p.restore();

    // Rails of the home straight sweeping in under the name.
    for (int i = 0; i < 2; ++i) {
        QPainterPath rail;
        const double y0 = 188 + i * 9;
        rail.moveTo(-10, y0 + 4);
        rail.cubicTo(110, y0 - 6, 230, y0 - 26, 300, y0 - 48 - i * 4);
        QLinearGradient rg(0, 0, 300, 0);
        rg.setColorAt(0.0, WithAlpha(kGoldDeep, 0));
        rg.setColorAt(0.3, WithAlpha(kGoldDeep, i == 0 ? 120 : 60));
        rg.setColorAt(1.0, WithAlpha(kGoldDeep, 0));
        p.strokePath(rail, QPen(QBrush(rg), i == 0 ? 1.4 : 0.9));
    }

    // Name, with a rule and the program's subject under it.
    const QFont f = Font(kSerif, 36, QFont::Black);
    const QString name = QStringLiteral("Furlox Plus");
    const double x = 30;
    const double tw = TextWidth(name, f, 1.2);
    const QPainterPath text = TextPath(name, f, QPointF(x, 116), 1.2);
    p.fillPath(text.translated(2, 2.5), QColor(0, 0, 0, 190));
    FillGoldText(p, text, true);
    p.strokePath(text, QPen(QColor(0x7A, 0x5A, 0x0A, 160), 0.6));

    QLinearGradient rule(x, 0, x + tw + 40, 0);
    rule.setColorAt(0.0, kGold);
    rule.setColorAt(1.0, WithAlpha(kGoldDeep, 0));
    p.fillRect(QRectF(x + 10, 131, tw + 30, 1), rule);
    Diamond(p, QPointF(x + 4, 131.5), 3.5, kGold);
    p.setFont(Font(kSans, 12, QFont::Bold));
    p.setPen(WithAlpha(kCream, 225));
    p.drawText(QRectF(x + 2, 138, 260, 18), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("FX値 レース分析"));

    // Double gold frame.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(WithAlpha(kGoldDeep, 220));
    p.drawRect(QRect(3, 3, w - 7, h - 7));
    p.setPen(WithAlpha(kGoldDeep, 90));
    p.drawRect(QRect(6, 6, w - 13, h - 13));
    p.setPen(QColor(0x02, 0x03, 0x04));
    p.drawRect(QRect(0, 0, w - 1, h - 1));
    p.setPen(QColor(0x30, 0x28, 0x10));
    p.drawRect(QRect(1, 1, w - 3, h - 3));
    p.end();
    return img.convertToFormat(QImage::Format_RGB32);
}

// ---------------------------------------------------------------------------------------------
// Detail window

QImage DetailBackground()
{
    QImage img = Canvas(640, 500);
    {
        QPainter p(&img);
        Prepare(p);
        WindowBody(p, 640, 500, 28);
        const QRectF emblem(16, 7, 14, 15);
        const QPainterPath shoe = Horseshoe(emblem).subtracted(HorseshoeNails(emblem));
        p.fillPath(shoe.translated(0.6, 0.8), QColor(0, 0, 0, 190));
        p.fillPath(shoe, GoldGradient(emblem.top(), emblem.bottom(), true));
        WindowTitle(p, QStringLiteral("馬データ詳細"), Font(kSans, 14, QFont::Bold), 40, 19.5, 1.0);
        const double end =
            40 + TextWidth(QStringLiteral("馬データ詳細"), Font(kSans, 14, QFont::Bold), 1.0);
        Diamond(p, QPointF(end + 12, 14.5), 2.5, kGoldDeep);
        QLinearGradient tail(end + 18, 0, end + 150, 0);
        tail.setColorAt(0.0, WithAlpha(kGoldDeep, 200));
        tail.setColorAt(1.0, WithAlpha(kGoldDeep, 0));
        p.fillRect(QRectF(end + 18, 14, 132, 1), tail);

        for (const QRect& r :
             {QRect(9, 32, 299, 316), QRect(314, 32, 316, 316), QRect(9, 354, 621, 128)})
            RecessFrame(p, r);
    }
    return Keyed(img, Shape::RoundedRect(640, 500, 14), WindowRings());
}

QImage DetailPanel()
{
    const int w = 295, h = 312;
    QImage img = Surface(w, h);
    QPainter p(&img);
    Prepare(p);
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0.0, QColor(0xFF, 0xFE, 0xFA));
    g.setColorAt(1.0, QColor(0xF3, 0xEF, 0xE4));
    p.fillRect(Area(img), g);
    // Watermark: the horse, very faint, in the lower right.
    p.save();
    p.translate(w - 122, h - 150);
    p.scale(1.12, 1.12);
    p.fillPath(HorseBust().united(HorseFarEar()), QColor(0xB8, 0x96, 0x3A, 20));
    p.strokePath(HorseBust(), QPen(QColor(0xB8, 0x96, 0x3A, 34), 1.0));
    p.restore();
    // Thin gold band along the top edge.
    QLinearGradient band(0, 0, w, 0);
    band.setColorAt(0.0, WithAlpha(kGoldDeep, 140));
    band.setColorAt(1.0, WithAlpha(kGoldDeep, 0));
    p.fillRect(QRectF(0, 0, w, 2), band);
    p.end();
    return img.convertToFormat(QImage::Format_RGB32);
}

QImage CoatPicture(int index)
{
    QImage img = Surface(50, 67);
    img.fill(Qt::transparent);
    QPainter p(&img);
    Prepare(p);
    p.scale(0.5, 0.5);
    PaintHorse(p, kCoats[index], 0x9E3779B9u + std::uint32_t(index) * 7919u);
    p.end();
    return img.convertToFormat(QImage::Format_ARGB32);
}

// ---------------------------------------------------------------------------------------------
// Progress dialog

QImage ProgressBackground()
{
    const int w = 240, h = 104;
    QImage img = Canvas(w, h);
    {
        QPainter p(&img);
        Prepare(p);
        QLinearGradient body(0, 0, 0, h);
        body.setColorAt(0.0, QColor(0x1E, 0x40, 0x46));
        body.setColorAt(1.0, QColor(0x0C, 0x18, 0x1C));
        p.fillRect(QRect(0, 0, w, h), body);

        // Light plate for the dialog's dark texts.
        QPainterPath plate;
        plate.addRoundedRect(QRectF(6.5, 6.5, w - 13, h - 13), 5, 5);
        QLinearGradient pg(0, 6, 0, h - 6);
        pg.setColorAt(0.0, QColor(0xFB, 0xF8, 0xEE));
        pg.setColorAt(1.0, QColor(0xE2, 0xDC, 0xCC));
        p.fillPath(plate, pg);
        p.strokePath(plate, QPen(QColor(0x8A, 0x6A, 0x18), 1.0));

        // Medallion with a horseshoe at the left of the caption.
        const QPointF c(38, 32);
        QRadialGradient disc(QPointF(c.x() - 5, c.y() - 6), 24);
        disc.setColorAt(0.0, kNavyGreenLight);
        disc.setColorAt(1.0, kNavyGreen);
        p.setPen(QPen(kGoldDeep, 1.6));
        p.setBrush(disc);
        p.drawEllipse(c, 19, 19);
        const QRectF box(c.x() - 10, c.y() - 11, 20, 22);
        const QPainterPath shoe = Horseshoe(box).subtracted(HorseshoeNails(box));
        p.fillPath(shoe.translated(0.6, 0.8), QColor(0, 0, 0, 160));
        p.fillPath(shoe, GoldGradient(box.top(), box.bottom(), true));

        // Slot for the progress bar.
        p.setRenderHint(QPainter::Antialiasing, false);
        const QRect bar(11, 61, 217, 20);
        p.setPen(QColor(0x9C, 0x94, 0x80));
        p.drawLine(bar.left() - 1, bar.top() - 1, bar.right() + 1, bar.top() - 1);
        p.drawLine(bar.left() - 1, bar.top() - 1, bar.left() - 1, bar.bottom() + 1);
        p.setPen(QColor(0xFF, 0xFF, 0xFF));
        p.drawLine(bar.left() - 1, bar.bottom() + 1, bar.right() + 1, bar.bottom() + 1);
        p.drawLine(bar.right() + 1, bar.top() - 1, bar.right() + 1, bar.bottom() + 1);
        p.setRenderHint(QPainter::Antialiasing, true);
        // A gold hairline under the caption line.
        QLinearGradient rule(72, 0, 226, 0);
        rule.setColorAt(0.0, WithAlpha(kGoldDeep, 160));
        rule.setColorAt(1.0, WithAlpha(kGoldDeep, 0));
        p.fillRect(QRectF(72, 31, 154, 1), rule);
    }
    return Keyed(img, Shape::RoundedRect(w, h, 10), WindowRings());
}

// ---------------------------------------------------------------------------------------------
// Program icon

QImage AppIcon(int size)
{
    QImage img = Surface(size, size);
    img.fill(Qt::transparent);
    QPainter p(&img);
    Prepare(p);
    p.scale(size / 256.0, size / 256.0);

    QPainterPath plate;
    plate.addRoundedRect(QRectF(8, 8, 240, 240), 48, 48);
    p.fillPath(plate.translated(0, 4), QColor(0, 0, 0, 90));
    QLinearGradient bg(0, 8, 0, 248);
    bg.setColorAt(0.0, QColor(0x24, 0x52, 0x58));
    bg.setColorAt(1.0, QColor(0x08, 0x16, 0x1A));
    p.fillPath(plate, bg);
    p.save();
    p.setClipPath(plate);
    TurfStripes(p, QRectF(8, 8, 240, 240), 28, 14);
    p.restore();
    QPainterPath inner;
    inner.addRoundedRect(QRectF(18, 18, 220, 220), 40, 40);

    // The horse in gold, over a horseshoe.
    const QRectF shoeBox(46, 34, 164, 176);
    const QPainterPath shoe = Horseshoe(shoeBox).subtracted(HorseshoeNails(shoeBox));
    p.fillPath(shoe, WithAlpha(kGoldDeep, 70));
    p.save();
    p.setClipPath(inner);
    p.translate(66, 56);
    p.scale(1.42, 1.42);
    const QPainterPath horse = HorseBust().united(HorseFarEar());
    p.fillPath(horse.translated(2, 3), QColor(0, 0, 0, 140));
    QLinearGradient gold(10, 0, 90, 134);
    gold.setColorAt(0.0, QColor(0xFF, 0xF0, 0xB0));
    gold.setColorAt(0.5, kGold);
    gold.setColorAt(1.0, QColor(0xA8, 0x78, 0x08));
    p.fillPath(horse, gold);
    p.fillPath(HorseMane(), QColor(0x8A, 0x62, 0x06, 170));
    p.fillPath(HorseEye(), QColor(0x3A, 0x28, 0x04));
    p.strokePath(HorseBust(), QPen(QColor(0x5A, 0x40, 0x04), 1.2));
    p.restore();
    // Rims last, so the neck runs into the frame.
    p.strokePath(inner, QPen(WithAlpha(kGoldDeep, 190), 2));
    p.strokePath(plate, QPen(GoldGradient(8, 248), 7));
    p.end();
    return img.convertToFormat(QImage::Format_ARGB32);
}

// ---------------------------------------------------------------------------------------------
// Output

class Writer
{
public:
    explicit Writer(QString dir) : m_dir(std::move(dir)) {}

    // At scale 2 "name.png" is written as "name@2x.png".
    bool write(const QString& designedName, const QImage& image)
    {
        QString file = designedName;
        if (g_scale > 1)
            file.replace(QStringLiteral(".png"), QStringLiteral("@%1x.png").arg(g_scale));
        const QString path = QDir(m_dir).filePath(file);
        if (!image.save(path, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return false;
        }
        m_files.push_back(file);
        return true;
    }

    // The resource list: every picture at the root of the resources under its own short file
    // name, so the windows ask for ":/main-bg.png" and the like.
    bool writeResourceList() const
    {
        QFile f(QDir(m_dir).filePath(QStringLiteral("artwork.qrc")));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        QTextStream out(&f);
        out << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/\">\n";
        for (const QString& file : m_files)
            out << "    <file alias=\"" << file << "\">" << file << "</file>\n";
        out << "</qresource>\n</RCC>\n";
        return out.status() == QTextStream::Ok;
    }

private:
    QString m_dir;
    std::vector<QString> m_files;
};

// The skin finds a window's key in its bottom-left pixel and a cropped button's in its top-left
// one; a picture that broke this would come out as a plain rectangle.
bool KeyAt(const QImage& image, int x, int y, const char* name)
{
    if (image.pixel(x, y) == kKey)
        return true;
    std::fprintf(stderr, "%s: pixel %d,%d is not the key colour\n", name, x, y);
    return false;
}

bool LoadFonts()
{
    const char* const files[] = {
        "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc",
        "/usr/share/fonts/opentype/noto/NotoSansCJK-Bold.ttc",
        "/usr/share/fonts/opentype/noto/NotoSerifCJK-Bold.ttc",
    };
    for (const char* file : files)
        QFontDatabase::addApplicationFont(QString::fromLatin1(file));
    for (const char* family : {kSans, kSerif}) {
        const QFontInfo info(Font(family, 12, QFont::Bold));
        if (info.family() != QString::fromLatin1(family)) {
            std::fprintf(stderr, "font %s is missing (install fonts-noto-cjk)\n", family);
            return false;
        }
    }
    return true;
}

// A sheet that places the pictures where the main window puts them, to judge the whole.
QImage PreviewSheet(const QImage& mainBg, const QImage& system, const QImage& close,
                    const std::vector<QImage>& buttons, const QImage& pnl1, const QImage& pnl2,
                    const QImage& pnl3, const QImage& grade, const QImage& detailBg,
                    const QImage& detailPanel, const QImage& coat, const QImage& progress,
                    const QImage& about)
{
    QImage sheet(640 * 2 + 30, 500 + 30 + 300, QImage::Format_RGB32);
    sheet.fill(QColor(0x70, 0x78, 0x80));
    auto unkeyed = [](const QImage& src) {
        QImage out = src.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < out.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
            for (int x = 0; x < out.width(); ++x)
                if (line[x] == kKey)
                    line[x] = 0;
        }
        return out;
    };
    QPainter p(&sheet);
    p.drawImage(10, 10, unkeyed(mainBg));
    p.drawImage(10 + 15, 10 + 7, system);
    p.drawImage(10 + 606, 10 + 7, unkeyed(close));
    p.drawImage(10 + 10, 10 + 32, pnl1);
    p.drawImage(10 + 10, 10 + 88, pnl2);
    p.drawImage(10 + 499, 10 + 32, pnl3);
    p.fillRect(QRect(10 + 497, 10 + 367, 133, 50), Qt::white);
    p.drawImage(10 + 498, 10 + 368, grade);
    for (std::size_t i = 0; i < buttons.size(); ++i)
        p.drawImage(10 + kButtonLefts[i], 10 + kButtonTop, unkeyed(buttons[i]));
    // Sample texts as the labels would show them.
    p.setFont(Font(kSans, 12, QFont::Normal));
    p.setPen(kGold);
    p.drawText(10 + 8 + 7, 10 + 30 + 10 + 12, QStringLiteral("2024年 5月26日(日)  2回東京12日"));
    p.drawText(10 + 8 + 7, 10 + 30 + 30 + 12,
               QStringLiteral("東京11R 東京優駿  G1 芝2400M  サラ3歳  定量  18頭"));
    p.setFont(Font(kSans, 15, QFont::Normal));
    int y = 10 + 30 + 12 + 15;
    for (const char* line : {"単勝：", " 5", "", "馬連：", " 5-12", " 3- 5", " 5- 9"}) {
        p.drawText(10 + 497 + 10, y, QString::fromUtf8(line));
        y += 16;
    }
    // A few grid rows to judge the panel under them.
    p.fillRect(QRect(10 + 10, 10 + 88, 480, 17 * 8 + 21), Qt::white);
    p.setPen(QColor(0xC0, 0xC0, 0xC0));
    for (int r = 0; r <= 9; ++r)
        p.drawLine(10 + 10, 10 + 88 + r * 17, 10 + 490, 10 + 88 + r * 17);
    p.fillRect(QRect(10 + 10, 10 + 88, 480, 17), QColor(0x80, 0x80, 0x80));

    const int x2 = 640 + 20;
    p.drawImage(x2, 10, unkeyed(detailBg));
    p.drawImage(x2 + 606, 10 + 7, unkeyed(close));
    p.fillRect(QRect(x2 + 9, 10 + 32, 299, 316), Qt::white);
    p.drawImage(x2 + 11, 10 + 34, detailPanel);
    p.drawImage(x2 + 11 + 9, 10 + 34 + 45, coat);
    p.setFont(Font(kSans, 12, QFont::Normal));
    p.setPen(Qt::black);
    p.drawText(x2 + 11 + 69, 10 + 34 + 45 + 12, QStringLiteral("牡3    鹿毛"));
    p.drawText(x2 + 11 + 69, 10 + 34 + 63 + 12, QStringLiteral("産地：日高"));
    p.drawText(x2 + 11 + 6, 10 + 34 + 122 + 12, QStringLiteral("調教師：山田"));
    p.fillRect(QRect(x2 + 314, 10 + 32, 316, 316), QColor(0x30, 0x30, 0x30));
    p.fillRect(QRect(x2 + 9, 10 + 354, 621, 128), Qt::white);

    p.drawImage(10, 530, unkeyed(progress));
    p.setFont(Font(kSans, 12, QFont::Bold));
    p.setPen(QColor(0, 0, 128));
    p.drawText(10 + 72, 530 + 16 + 11, QStringLiteral("データ解析中・・・"));
    p.setFont(Font(kSans, 12, QFont::Normal));
    p.setPen(Qt::black);
    p.drawText(QRect(10 + 75, 530 + 36, 88, 12), Qt::AlignCenter, QStringLiteral("123456"));
    p.drawText(10 + 173, 530 + 35 + 11, QStringLiteral("[2/3]"));
    p.fillRect(QRect(10 + 11, 530 + 61, 217, 20), QColor(0xC0, 0xC0, 0xC0));
    p.fillRect(QRect(10 + 11, 530 + 61, 150, 20), QColor(0xA0, 0xA0, 0xA0));

    p.drawImage(270, 530, about);
    p.setPen(kCream);
    p.drawText(270 + 10, 530 + 20, QStringLiteral("Version 1.0"));
    p.drawText(270 + 250, 530 + 20, QStringLiteral("競馬道OnLine Edition"));
    p.drawText(270 + 160, 530 + 225, QStringLiteral("for Windows"));
    p.drawText(270 + 90, 530 + 248, QStringLiteral("(C) Morvane  All rights reserved."));
    p.end();
    return sheet;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: furlox-artwork OUTDIR [--preview FILE]\n");
        return 2;
    }
    const QString outDir = args.at(1);
    QString preview;
    for (qsizetype i = 2; i + 1 < args.size(); ++i)
        if (args.at(i) == QStringLiteral("--preview"))
            preview = args.at(i + 1);
    if (!QDir().mkpath(outDir) || !LoadFonts())
        return 1;

    Writer out(outDir);
    bool ok = true;

    // The designed size first, then the same pictures twice as large for high-density
    // screens; the windows pick the second where the screen's device pixel ratio is above 1.
    for (const int scale : {1, 2}) {
        g_scale = scale;
        const QImage mainBg = MainBackground();
        const QImage system = SystemIcon(mainBg);
        ok &= KeyAt(mainBg, 0, mainBg.height() - 1, "main-bg");
        ok &= out.write(QStringLiteral("main-bg.png"), mainBg);
        ok &= out.write(QStringLiteral("system.png"), system);

        const std::pair<const char*, ButtonState> states[] = {
            {"idle", ButtonState::Idle},
            {"hover", ButtonState::Hover},
            {"down", ButtonState::Down},
            {"disabled", ButtonState::Disabled},
        };
        const QImage closeIdle = CloseButton(ButtonState::Idle);
        ok &= KeyAt(closeIdle, 0, 0, "close-idle");
        ok &= out.write(QStringLiteral("close-idle.png"), closeIdle);
        ok &= out.write(QStringLiteral("close-hover.png"), CloseButton(ButtonState::Hover));
        ok &= out.write(QStringLiteral("close-down.png"), CloseButton(ButtonState::Down));

        std::vector<QImage> idleButtons;
        for (const ButtonDesign& design : ButtonDesigns())
            for (const auto& [suffix, state] : states) {
                const QImage button = RegionButton(design, state);
                if (state == ButtonState::Idle) {
                    ok &= KeyAt(button, 0, 0, design.name);
                    idleButtons.push_back(button);
                }
                ok &= out.write(
                    QStringLiteral("%1-%2.png")
                        .arg(QString::fromLatin1(design.name), QString::fromLatin1(suffix)),
                    button);
            }

        const QImage pnl1 = TitlePanel(), pnl2 = GridPanel(), pnl3 = BetsPanel();
        ok &= out.write(QStringLiteral("pnl1.png"), pnl1);
        ok &= out.write(QStringLiteral("pnl2.png"), pnl2);
        ok &= out.write(QStringLiteral("pnl3.png"), pnl3);

        const GradeDesign grades[] = {
            {"grade-a", QStringLiteral("A"), QColor(0xF0, 0x4A, 0x2A), QColor(0x96, 0x14, 0x0A),
             QColor(0xD4, 0xA0, 0x17), 3},
            {"grade-b", QStringLiteral("B"), QColor(0xF2, 0xB4, 0x2A), QColor(0xA8, 0x6A, 0x08),
             QColor(0x8A, 0x62, 0x10), 2},
            {"grade-c", QStringLiteral("C"), QColor(0x5A, 0x9C, 0xC8), QColor(0x1C, 0x4A, 0x72),
             QColor(0x3A, 0x6A, 0x8A), 1},
            {"grade-d", QString(), QColor(0xC4, 0xC4, 0xC4), QColor(0x90, 0x90, 0x90),
             QColor(0xA8, 0xA8, 0xA8), 0},
        };
        std::vector<QImage> gradeImages;
        for (const GradeDesign& g : grades) {
            gradeImages.push_back(GradePicture(g));
            ok &=
                out.write(QString::fromLatin1(g.name) + QStringLiteral(".png"), gradeImages.back());
        }

        const QImage about = AboutPicture();
        ok &= out.write(QStringLiteral("about.png"), about);

        const QImage detailBg = DetailBackground();
        const QImage detailPanel = DetailPanel();
        ok &= KeyAt(detailBg, 0, detailBg.height() - 1, "detail-bg");
        ok &= out.write(QStringLiteral("detail-bg.png"), detailBg);
        ok &= out.write(QStringLiteral("detail-panel.png"), detailPanel);
        std::vector<QImage> coats;
        for (int i = 0; i < int(std::size(kCoats)); ++i) {
            coats.push_back(CoatPicture(i));
            ok &= out.write(QStringLiteral("coat-%1.png").arg(i + 1, 2, 10, QLatin1Char('0')),
                            coats.back());
        }

        const QImage progress = ProgressBackground();
        ok &= KeyAt(progress, 0, progress.height() - 1, "progress-bg");
        ok &= out.write(QStringLiteral("progress-bg.png"), progress);
        if (scale == 1) {
            // The program icons have their own sizes; the sheet judges the designed size.
            ok &= out.write(QStringLiteral("app-icon.png"), AppIcon(256));
            ok &= out.write(QStringLiteral("app-icon-64.png"), AppIcon(64));
            if (!preview.isEmpty())
                ok &= PreviewSheet(mainBg, system, closeIdle, idleButtons, pnl1, pnl2, pnl3,
                                   gradeImages[0], detailBg, detailPanel, coats[2], progress, about)
                          .save(preview, "PNG");
        }
    }
    g_scale = 1;
    ok &= out.writeResourceList();
    return ok ? 0 : 1;
}
