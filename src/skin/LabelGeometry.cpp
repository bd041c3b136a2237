#include "skin/LabelGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace furlox::skin {
namespace {

struct OffsetRow
{
    TdxfOrientation orientation;
    int dx; // per unit of depth
    int dy;
};

constexpr OffsetRow kOffsets[] = {
    {TdxfOrientation::dxfLeft, -1, 0},     {TdxfOrientation::dxfRight, 1, 0},
    {TdxfOrientation::dxfTop, 0, -1},      {TdxfOrientation::dxfBottom, 0, 1},
    {TdxfOrientation::dxfLeftTop, -1, -1}, {TdxfOrientation::dxfLeftBottom, -1, 1},
    {TdxfOrientation::dxfRightTop, 1, -1}, {TdxfOrientation::dxfRightBottom, 1, 1},
};

int Sign(int v)
{
    return (v > 0) - (v < 0);
}

// Above this size a raised caption gets a second, darker copy below it.
constexpr int kRaisedShadowPoints = 11;

} // namespace

int NormalisedAngle(int angle)
{
    return ((angle % 360) + 360) % 360;
}

Point LabelTextOrigin(int width, int height, int textWidth, int textHeight, int angle)
{
    const double a = angle * std::numbers::pi / 180.0;
    const int cx = width / 2;
    const int cy = height / 2;
    const double c = std::cos(a);
    const double s = std::sin(a);
    return {cx - RoundHalfEven(c * textWidth / 2) - RoundHalfEven(s * textHeight / 2),
            cy + RoundHalfEven(s * textWidth / 2) - RoundHalfEven(c * textHeight / 2)};
}

Point ShadowOffset(TdxfOrientation orientation, int depth)
{
    for (const OffsetRow& row : kOffsets) {
        if (row.orientation == orientation) {
            return {row.dx * depth, row.dy * depth};
        }
    }
    return {};
}

std::vector<CaptionCopy> ShadowCopies(TdxfEffectStyle style, TdxfOrientation orientation, int depth,
                                      Rgb shadow, Rgb background)
{
    if (depth <= 0) {
        return {};
    }
    const Point offset = ShadowOffset(orientation, depth);
    if (style == TdxfEffectStyle::dxfCool) {
        return {{offset, CaptionCopy::Color::Given, shadow}};
    }
    const int n = std::max(std::abs(offset.x), std::abs(offset.y));
    std::vector<CaptionCopy> copies;
    for (int k = n; k >= 1; --k) {
        // A fun shadow fades from the shadow colour next to the caption toward the label's
        // colour at its far end.
        const Rgb color =
            style == TdxfEffectStyle::dxfFun ? GradientColor(shadow, background, k - 1, n) : shadow;
        copies.push_back(
            {{k * Sign(offset.x), k * Sign(offset.y)}, CaptionCopy::Color::Given, color});
    }
    return copies;
}

std::vector<CaptionCopy> StyleCopies(const LabelLook& look)
{
    using C = CaptionCopy::Color;
    std::vector<CaptionCopy> copies;
    switch (look.style) {
    case TdxfLabelStyle::dxfNormal:
        if (!look.glyphFill) {
            copies.push_back({{0, 0}, C::Font, 0});
        }
        break;
    case TdxfLabelStyle::dxfRaised:
        copies.push_back({{0, 0}, C::Highlight, kBtnHighlight});
        if (look.fontPoints > kRaisedShadowPoints) {
            copies.push_back({{2, 2}, C::Shadow, kBtnShadow});
        }
        if (!look.glyphFill) {
            copies.push_back({{1, 1}, C::Font, 0});
        }
        break;
    case TdxfLabelStyle::dxfLowered:
        copies.push_back({{2, 2}, C::Highlight, kBtnHighlight});
        if (!look.glyphFill) {
            if (look.systemColor) {
                copies.push_back({{1, 1}, C::Shadow, kBtnShadow});
            } else {
                copies.push_back({{1, 1}, C::Given, GradientColor(look.color, kBlack, 1, 3)});
            }
        }
        break;
    case TdxfLabelStyle::dxfOutLine:
        copies.push_back({{0, 0}, C::Font, 0});
        break;
    }
    return copies;
}

Point GlyphFillOffset(TdxfLabelStyle style)
{
    return style == TdxfLabelStyle::dxfNormal ? Point{0, 0} : Point{1, 1};
}

int PointsFromPixels(int pixels)
{
    return (pixels * 72 + 48) / 96;
}

} // namespace furlox::skin
