#pragma once

#include <QColor>
#include <algorithm>
#include <cstdint>

// The colours of the skin, shared by every picture.
namespace artwork {

// The windows and the cropped buttons lose every pixel of exactly this colour.
inline constexpr QRgb kKey = 0xFFFF00FF;

inline const QColor kInk(0x0A, 0x0C, 0x0F);
inline const QColor kNavyGreen(0x10, 0x2C, 0x32);
inline const QColor kNavyGreenLight(0x1E, 0x48, 0x4E);
inline const QColor kGold(0xFF, 0xCC, 0x00);
inline const QColor kGoldDeep(0xD4, 0xA0, 0x17);
inline const QColor kGoldPale(0xFF, 0xE4, 0x8A);
inline const QColor kCream(0xF5, 0xEC, 0xD4);

inline QColor Mix(const QColor& a, const QColor& b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
                            float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t),
                            float(a.alphaF() + (b.alphaF() - a.alphaF()) * t));
}

inline QColor WithAlpha(QColor c, int alpha)
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

} // namespace artwork
