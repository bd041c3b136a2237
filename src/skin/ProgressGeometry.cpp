#include "skin/ProgressGeometry.h"

#include <algorithm>

namespace furlox::skin {
namespace {

bool BlockStyle(TdxfPBStyle style)
{
    return style == TdxfPBStyle::sRectangles || style == TdxfPBStyle::sExRectangles ||
           style == TdxfPBStyle::sPictures;
}

int LengthAt(const BarSettings& bar, int position)
{
    const long long range = static_cast<long long>(bar.max) - bar.min;
    const int inner = std::max(0, InnerLength(bar));
    if (position == bar.min || range <= 0) {
        return 0;
    }
    const long long length = static_cast<long long>(position) * inner / range;
    return static_cast<int>(std::clamp<long long>(length, 0, inner));
}

void AddFill(std::vector<PaintOp>& ops, const Rect& rect, Rgb color)
{
    if (!rect.Empty()) {
        ops.push_back({PaintOp::Kind::Fill, rect, color});
    }
}

// A piece of the bar with its bar bevel.
void AddPiece(std::vector<PaintOp>& ops, const BarSettings& bar, const Rect& rect, Rgb color)
{
    if (rect.Empty()) {
        return;
    }
    AddFill(ops, rect, color);
    const std::vector<PaintOp> bevel = BevelOps(rect, bar.barBevelOuter);
    ops.insert(ops.end(), bevel.begin(), bevel.end());
}

void AddGlyph(std::vector<PaintOp>& ops, const BarSettings& bar, const Rect& rect)
{
    if (rect.Empty()) {
        return;
    }
    ops.push_back({PaintOp::Kind::Glyph, rect, 0});
    const std::vector<PaintOp> bevel = BevelOps(rect, bar.barBevelOuter);
    ops.insert(ops.end(), bevel.begin(), bevel.end());
}

} // namespace

std::vector<PaintOp> BevelOps(const Rect& r, TdxfBevelOuter bevel)
{
    if (bevel == TdxfBevelOuter::bvNone || r.Empty()) {
        return {};
    }
    const bool lowered = bevel == TdxfBevelOuter::bvLowered;
    const Rgb topLeft = lowered ? kBtnShadow : kBtnHighlight;
    const Rgb bottomRight = lowered ? kBtnHighlight : kBtnShadow;
    const PaintOp::Kind fill = PaintOp::Kind::Fill;
    return {
        {fill, {r.left, r.top, r.right - 1, r.top + 1}, topLeft},
        {fill, {r.left, r.top, r.left + 1, r.bottom - 1}, topLeft},
        {fill, {r.left, r.bottom - 1, r.right, r.bottom}, bottomRight},
        {fill, {r.right - 1, r.top, r.right, r.bottom}, bottomRight},
    };
}

Rect InnerRect(const BarSettings& bar)
{
    const int inset = bar.bevelOuter == TdxfBevelOuter::bvNone ? 0 : 2;
    return {inset, inset, bar.width - inset, bar.height - inset};
}

int InnerLength(const BarSettings& bar)
{
    const Rect inner = InnerRect(bar);
    return bar.Horizontal() ? inner.Width() : inner.Height();
}

int InnerThickness(const BarSettings& bar)
{
    const Rect inner = InnerRect(bar);
    return bar.Horizontal() ? inner.Height() : inner.Width();
}

int BarLength(const BarSettings& bar)
{
    return LengthAt(bar, bar.position);
}

Rect BarSpan(const BarSettings& bar, int from, int to)
{
    const Rect inner = InnerRect(bar);
    if (bar.Horizontal()) {
        return {inner.left + from, inner.top, inner.left + to, inner.bottom};
    }
    return {inner.left, inner.bottom - to, inner.right, inner.bottom - from};
}

Rect BarRect(const BarSettings& bar)
{
    if (InnerRect(bar).Empty()) {
        return {};
    }
    const Rect span = BarSpan(bar, 0, BarLength(bar));
    return span.Empty() ? Rect{} : span;
}

int BlockPitch(const BarSettings& bar)
{
    switch (bar.style) {
    case TdxfPBStyle::sRectangles:
    case TdxfPBStyle::sExRectangles:
        return std::max(2, 2 * InnerThickness(bar) / 3 + 2);
    case TdxfPBStyle::sPictures:
        if (bar.glyphWidth <= 0 || bar.glyphHeight <= 0) {
            return 0;
        }
        return bar.Horizontal() ? bar.glyphWidth : bar.glyphHeight;
    default:
        return 0;
    }
}

std::vector<PaintOp> BarPaintOps(const BarSettings& bar)
{
    std::vector<PaintOp> ops;
    const Rect client{0, 0, bar.width, bar.height};
    AddFill(ops, client, bar.color);
    const std::vector<PaintOp> outer = BevelOps(client, bar.bevelOuter);
    ops.insert(ops.end(), outer.begin(), outer.end());

    const Rect barRect = BarRect(bar);
    if (barRect.Empty()) {
        return ops;
    }
    const int length = BarLength(bar);
    // The gradient always runs over the whole inner length, so a half bar ends half-way.
    const int fullLength = InnerLength(bar);
    const bool full = bar.position >= bar.max;

    switch (bar.style) {
    case TdxfPBStyle::sSolid:
        AddPiece(ops, bar, barRect, bar.beginColor);
        break;
    case TdxfPBStyle::sExSolid:
        for (int d = 0; d < length; ++d) {
            AddFill(ops, BarSpan(bar, d, d + 1),
                    GradientColor(bar.beginColor, bar.endColor, d, fullLength));
        }
        {
            const std::vector<PaintOp> bevel = BevelOps(barRect, bar.barBevelOuter);
            ops.insert(ops.end(), bevel.begin(), bevel.end());
        }
        break;
    case TdxfPBStyle::sRectangles:
    case TdxfPBStyle::sExRectangles: {
        const bool gradient = bar.style == TdxfPBStyle::sExRectangles;
        const int pitch = BlockPitch(bar);
        const int blocks = length / pitch;
        auto colorAt = [&](int distance) {
            return gradient ? GradientColor(bar.beginColor, bar.endColor, distance, fullLength)
                            : bar.beginColor;
        };
        for (int k = 1; k <= blocks; ++k) {
            const int blockEnd = k * pitch - 2;
            AddPiece(ops, bar, BarSpan(bar, (k - 1) * pitch, blockEnd), colorAt(blockEnd));
        }
        if (full) {
            // Only whole blocks show while the bar grows; a full bar also fills what is left.
            AddPiece(ops, bar, BarSpan(bar, blocks * pitch, length),
                     colorAt(std::max(0, blocks * pitch - 2)));
        }
        break;
    }
    case TdxfPBStyle::sPictures: {
        const int pitch = BlockPitch(bar);
        if (pitch <= 0) {
            break;
        }
        const int blocks = length / pitch;
        for (int k = 1; k <= blocks; ++k) {
            AddGlyph(ops, bar, BarSpan(bar, (k - 1) * pitch, k * pitch));
        }
        if (bar.position == bar.max) {
            AddGlyph(ops, bar, BarSpan(bar, blocks * pitch, length));
        }
        break;
    }
    }
    return ops;
}

std::string BarText(TdxfShowTextStyle style, const BarSettings& bar)
{
    if (style == TdxfShowTextStyle::stsPosition) {
        return std::to_string(bar.position);
    }
    const long long range = static_cast<long long>(bar.max) - bar.min;
    const long long percent =
        range > 0 ? RoundHalfEven(static_cast<long long>(bar.position) * 100, range) : 0;
    return std::to_string(percent) + " %";
}

std::string WidestBarText(TdxfShowTextStyle style, const BarSettings& bar)
{
    return style == TdxfShowTextStyle::stsPosition ? std::to_string(bar.max) : "100 %";
}

Point BarTextOrigin(const BarSettings& bar, int textWidth, int textHeight)
{
    if (bar.Horizontal()) {
        return {(bar.width - textWidth) / 2, (bar.height - textHeight) / 2};
    }
    return {textHeight + (bar.width - textHeight) / 2, (bar.height - textWidth) / 2};
}

Rect BarTextRect(const BarSettings& bar, int textWidth, int textHeight)
{
    const Point origin = BarTextOrigin(bar, textWidth, textHeight);
    if (bar.Horizontal()) {
        return {origin.x, origin.y, origin.x + textWidth, origin.y + textHeight};
    }
    return {origin.x - textHeight, origin.y, origin.x, origin.y + textWidth};
}

Rect PositionRepaintRect(const BarSettings& bar, int oldPosition)
{
    const int oldLength = LengthAt(bar, oldPosition);
    const int newLength = BarLength(bar);
    const int widen = 2 + (BlockStyle(bar.style) ? BlockPitch(bar) : 0);
    const int from = std::min(oldLength, newLength) - widen;
    const int to = std::max(oldLength, newLength) + widen;
    Rect strip = BarSpan(bar, from, to);
    if (bar.Horizontal()) {
        strip.top = 0;
        strip.bottom = bar.height;
    } else {
        strip.left = 0;
        strip.right = bar.width;
    }
    return Intersected(strip, {0, 0, bar.width, bar.height});
}

} // namespace furlox::skin
