#pragma once

#include <string>
#include <vector>

#include "skin/Geometry.h"

// What the gradient progress bar draws, computed without a screen: the inner rectangle after
// the bevel, the bar, its blocks and their colours, the text and where it goes, and the strip
// a change of position has to repaint. The widget only executes the drawing steps given here.
namespace furlox::skin {

enum class TdxfBevelOuter
{
    bvNone,
    bvLowered,
    bvRaised,
};

enum class TdxfPBOrientation
{
    orVertical,
    orHorizontal,
};

enum class TdxfShowTextStyle
{
    stsPercent,
    stsPosition,
};

enum class TdxfPBStyle
{
    sSolid,
    sRectangles,
    sExSolid,
    sExRectangles,
    sPictures,
};

// The settings of a bar that decide its picture, with the values of a new bar.
struct BarSettings
{
    int width = 150;
    int height = 16;
    TdxfBevelOuter bevelOuter = TdxfBevelOuter::bvLowered;
    TdxfBevelOuter barBevelOuter = TdxfBevelOuter::bvNone;
    TdxfPBOrientation orientation = TdxfPBOrientation::orHorizontal;
    int min = 0;
    int max = 100;
    int position = 0;
    TdxfPBStyle style = TdxfPBStyle::sRectangles;
    Rgb color = kBtnFace;
    Rgb beginColor = kNavy;
    Rgb endColor = kWhite;
    int glyphWidth = 0; // 0 when the bar has no glyph
    int glyphHeight = 0;

    bool Horizontal() const { return orientation == TdxfPBOrientation::orHorizontal; }
};

// One drawing step: fill a rectangle, or draw the glyph with its top-left corner at the
// rectangle's, cut to the rectangle.
struct PaintOp
{
    enum class Kind
    {
        Fill,
        Glyph,
    };

    Kind kind = Kind::Fill;
    Rect rect;
    Rgb color = 0;

    bool operator==(const PaintOp&) const = default;
};

// The four one-pixel lines of a bevel around `rect` (none for bvNone). Lowered is a sunken
// outer edge (shadow above and left, highlight below and right), raised a raised inner edge
// (the reverse); the lines below and right run the full length and so own the two corners
// they share with the others.
std::vector<PaintOp> BevelOps(const Rect& rect, TdxfBevelOuter bevel);

// The client rectangle less the outer bevel (2 pixels on every side when there is one).
Rect InnerRect(const BarSettings& bar);

// The inner rectangle's extent along the bar (width when horizontal) and across it.
int InnerLength(const BarSettings& bar);
int InnerThickness(const BarSettings& bar);

// Trunc(Position × inner length ÷ (Max − Min)), kept within 0 and the inner length; 0 when
// Position equals Min or the range is empty (Max = Min would otherwise divide by zero).
int BarLength(const BarSettings& bar);

// The inner rectangle cut to the bar's length, growing from the left or from the bottom;
// empty when no bar shows.
Rect BarRect(const BarSettings& bar);

// The length of one block cell along the bar: Trunc(2 × thickness ÷ 3) + 2 for the block
// styles, the glyph's width (height when vertical) for sPictures; 0 for the solid styles and
// for a picture bar without a glyph.
int BlockPitch(const BarSettings& bar);

// The part of the bar from `from` to `to` pixels measured from the bar's start.
Rect BarSpan(const BarSettings& bar, int from, int to);

// Every drawing step of the bar but its text, in order: the background, the outer bevel,
// then the bar's pieces, each followed by its bar bevel.
std::vector<PaintOp> BarPaintOps(const BarSettings& bar);

// "57 %" (Round(Position × 100 ÷ (Max − Min)), a half to even) or the position in decimal.
// An empty range reads "0 %".
std::string BarText(TdxfShowTextStyle style, const BarSettings& bar);

// The widest text the bar shows in its range: "100 %", or the digits of Max.
std::string WidestBarText(TdxfShowTextStyle style, const BarSettings& bar);

// Where the text of the given size starts: horizontal, its top-left corner centred in the
// whole control; vertical (turned to read downwards, its top facing right), the point the
// turned text hangs from.
Point BarTextOrigin(const BarSettings& bar, int textWidth, int textHeight);

// The rectangle the text covers on the control.
Rect BarTextRect(const BarSettings& bar, int textWidth, int textHeight);

// The strip to repaint when the position moves from `oldPosition` to bar.position: between
// the two bar ends, widened by 2 pixels, and by one block pitch for the block and picture
// styles, across the whole control. The text's rectangle is the caller's to add.
Rect PositionRepaintRect(const BarSettings& bar, int oldPosition);

} // namespace furlox::skin
