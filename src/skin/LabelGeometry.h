#pragma once

#include <vector>

#include "skin/Geometry.h"

// What the effect label draws, computed without a screen: the turned caption's origin, the
// shadow copies of the 3D effect and the copies each label style draws, with their offsets and
// colours. Colours are 0xRRGGBB (see Geometry.h).
namespace furlox::skin {

enum class TdxfLabelStyle
{
    dxfNormal,
    dxfRaised,
    dxfLowered,
    dxfOutLine,
};

enum class TdxfEffectStyle
{
    dxfFun,
    dxfExtrude,
    dxfCool,
};

enum class TdxfOrientation
{
    dxfLeft,
    dxfRight,
    dxfTop,
    dxfBottom,
    dxfLeftTop,
    dxfLeftBottom,
    dxfRightTop,
    dxfRightBottom,
};

// The angle brought into 0..359 degrees, negative angles turning the other way round.
int NormalisedAngle(int angle);

// Where the caption of the given size starts (its top-left corner before turning) so that,
// turned counter-clockwise by `angle` degrees, it is centred in the label.
Point LabelTextOrigin(int width, int height, int textWidth, int textHeight, int angle);

// The shadow's offset from the caption for a depth.
Point ShadowOffset(TdxfOrientation orientation, int depth);

// One drawing of the caption, `offset` from its origin, in a colour.
struct CaptionCopy
{
    enum class Color
    {
        Given,     // `color`
        Font,      // the font's colour
        Highlight, // the button-highlight colour
        Shadow,    // the button-shadow colour
    };

    Point offset;
    Color role = Color::Given;
    Rgb color = 0;

    bool operator==(const CaptionCopy&) const = default;
};

// The shadow copies of the 3D effect, in drawing order (farthest first); none when depth is
// 0. `background` is the label's colour, or silver when that is a system colour.
std::vector<CaptionCopy> ShadowCopies(TdxfEffectStyle style, TdxfOrientation orientation, int depth,
                                      Rgb shadow, Rgb background);

// What the caller passes about the label for StyleCopies.
struct LabelLook
{
    TdxfLabelStyle style = TdxfLabelStyle::dxfNormal;
    bool glyphFill = false;  // the letters are filled with the glyph instead of a colour
    int fontPoints = 9;      // the font's size in points
    bool systemColor = true; // the label's colour is a system colour (its parent's)
    Rgb color = kBtnFace;    // the label's colour when it is not
};

// The copies of the caption that the label's style draws after the shadow, in order. An
// outlined caption is stroked rather than drawn: it gives one copy at (0, 0) in the font's
// colour, which the caller strokes with the pen width.
std::vector<CaptionCopy> StyleCopies(const LabelLook& look);

// Where the glyph-filled caption lies: (1, 1) for every style but dxfNormal.
Point GlyphFillOffset(TdxfLabelStyle style);

// A font height in pixels as a size in points on a 96 dpi screen, rounded.
int PointsFromPixels(int pixels);

} // namespace furlox::skin
