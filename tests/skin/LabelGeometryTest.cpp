#include <gtest/gtest.h>

#include <vector>

#include "skin/LabelGeometry.h"

using namespace furlox::skin;

namespace {

std::vector<Point> Offsets(const std::vector<CaptionCopy>& copies)
{
    std::vector<Point> offsets;
    for (const CaptionCopy& c : copies) {
        offsets.push_back(c.offset);
    }
    return offsets;
}

} // namespace

TEST(LabelGeometry, ShadowOffsetPerOrientation)
{
    using enum TdxfOrientation;
    EXPECT_EQ(ShadowOffset(dxfLeft, 2), (Point{-2, 0}));
    EXPECT_EQ(ShadowOffset(dxfRight, 2), (Point{2, 0}));
    EXPECT_EQ(ShadowOffset(dxfTop, 2), (Point{0, -2}));
    EXPECT_EQ(ShadowOffset(dxfBottom, 2), (Point{0, 2}));
    EXPECT_EQ(ShadowOffset(dxfLeftTop, 2), (Point{-2, -2}));
    EXPECT_EQ(ShadowOffset(dxfLeftBottom, 2), (Point{-2, 2}));
    EXPECT_EQ(ShadowOffset(dxfRightTop, 2), (Point{2, -2}));
    EXPECT_EQ(ShadowOffset(dxfRightBottom, 2), (Point{2, 2}));
}

TEST(LabelGeometry, NoShadowWithoutDepth)
{
    for (TdxfEffectStyle style :
         {TdxfEffectStyle::dxfCool, TdxfEffectStyle::dxfExtrude, TdxfEffectStyle::dxfFun}) {
        EXPECT_TRUE(
            ShadowCopies(style, TdxfOrientation::dxfRightBottom, 0, kGrey, kSilver).empty());
    }
}

TEST(LabelGeometry, ShadowCopiesByEffectStyle)
{
    // Cool: one copy at the full offset.
    const auto cool =
        ShadowCopies(TdxfEffectStyle::dxfCool, TdxfOrientation::dxfRightBottom, 1, kGrey, kSilver);
    ASSERT_EQ(cool.size(), 1u);
    EXPECT_EQ(cool[0].offset, (Point{1, 1}));
    EXPECT_EQ(cool[0].color, kGrey);

    // Extrude: the farthest copy first, down to the one next to the caption.
    const auto extrude = ShadowCopies(TdxfEffectStyle::dxfExtrude, TdxfOrientation::dxfRightBottom,
                                      3, kGrey, kSilver);
    EXPECT_EQ(Offsets(extrude), (std::vector<Point>{{3, 3}, {2, 2}, {1, 1}}));
    for (const CaptionCopy& c : extrude) {
        EXPECT_EQ(c.color, kGrey);
    }
    const auto left =
        ShadowCopies(TdxfEffectStyle::dxfExtrude, TdxfOrientation::dxfLeft, 2, kGrey, kSilver);
    EXPECT_EQ(Offsets(left), (std::vector<Point>{{-2, 0}, {-1, 0}}));

    // Fun: the nearest copy in the shadow colour, the farthest nearly the background.
    const auto fun =
        ShadowCopies(TdxfEffectStyle::dxfFun, TdxfOrientation::dxfLeftTop, 4, 0x000000, 0xFFFFFF);
    EXPECT_EQ(Offsets(fun), (std::vector<Point>{{-4, -4}, {-3, -3}, {-2, -2}, {-1, -1}}));
    EXPECT_EQ(fun[0].color, 0xBFBFBFu); // 3/4 of the way
    EXPECT_EQ(fun[1].color, 0x7F7F7Fu);
    EXPECT_EQ(fun[2].color, 0x3F3F3Fu);
    EXPECT_EQ(fun[3].color, 0x000000u);
}

TEST(LabelGeometry, StyleCopies)
{
    using C = CaptionCopy::Color;
    LabelLook look;
    EXPECT_EQ(StyleCopies(look), (std::vector<CaptionCopy>{{{0, 0}, C::Font, 0}}));
    look.glyphFill = true;
    EXPECT_TRUE(StyleCopies(look).empty());

    // Raised at 9 points (12 pixels): highlight, then the font colour one pixel down-right.
    look = {};
    look.style = TdxfLabelStyle::dxfRaised;
    EXPECT_EQ(StyleCopies(look), (std::vector<CaptionCopy>{{{0, 0}, C::Highlight, kBtnHighlight},
                                                           {{1, 1}, C::Font, 0}}));
    // Above 11 points a darker copy sits below.
    look.fontPoints = 12;
    EXPECT_EQ(Offsets(StyleCopies(look)), (std::vector<Point>{{0, 0}, {2, 2}, {1, 1}}));
    look.fontPoints = 11;
    EXPECT_EQ(StyleCopies(look).size(), 2u);

    look = {};
    look.style = TdxfLabelStyle::dxfLowered;
    EXPECT_EQ(StyleCopies(look), (std::vector<CaptionCopy>{{{2, 2}, C::Highlight, kBtnHighlight},
                                                           {{1, 1}, C::Shadow, kBtnShadow}}));
    // On a colour of its own, two thirds of each channel of that colour.
    look.systemColor = false;
    look.color = 0x90C030;
    EXPECT_EQ(StyleCopies(look)[1], (CaptionCopy{{1, 1}, C::Given, 0x608020}));

    EXPECT_EQ(GlyphFillOffset(TdxfLabelStyle::dxfNormal), (Point{0, 0}));
    EXPECT_EQ(GlyphFillOffset(TdxfLabelStyle::dxfOutLine), (Point{1, 1}));
}

TEST(LabelGeometry, AngleAndOrigin)
{
    EXPECT_EQ(NormalisedAngle(0), 0);
    EXPECT_EQ(NormalisedAngle(360), 0);
    EXPECT_EQ(NormalisedAngle(-90), 270);
    EXPECT_EQ(NormalisedAngle(725), 5);

    // Unturned, the caption is centred; halves round to the even neighbour.
    EXPECT_EQ(LabelTextOrigin(96, 12, 90, 13, 0), (Point{48 - 45, 6 - 6})); // 6.5 to 6
    EXPECT_EQ(LabelTextOrigin(96, 12, 91, 15, 0), (Point{48 - 46, 6 - 8})); // 45.5, 7.5 up
    // A quarter turn counter-clockwise: the caption runs upward from below the centre.
    EXPECT_EQ(LabelTextOrigin(100, 100, 40, 10, 90), (Point{50 - 5, 50 + 20}));
    EXPECT_EQ(LabelTextOrigin(100, 100, 40, 10, 180), (Point{50 + 20, 50 + 5}));

    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(2.4999), 2);
}
