#include <gtest/gtest.h>

#include <vector>

#include "skin/ProgressGeometry.h"

using namespace furlox::skin;

namespace {

// The bar of the extraction dialog: 217 × 20, lowered outer bevel, raised bar bevel,
// extended rectangles from white to grey on silver.
BarSettings DialogBar(int position)
{
    BarSettings bar;
    bar.width = 217;
    bar.height = 20;
    bar.bevelOuter = TdxfBevelOuter::bvLowered;
    bar.barBevelOuter = TdxfBevelOuter::bvRaised;
    bar.style = TdxfPBStyle::sExRectangles;
    bar.beginColor = kWhite;
    bar.endColor = kGrey;
    bar.color = kSilver;
    bar.position = position;
    return bar;
}

// The picture the drawing steps make, pixel by pixel (glyph steps paint 0x123456).
struct Canvas
{
    int width;
    int height;
    std::vector<Rgb> pixels;

    explicit Canvas(const BarSettings& bar)
        : width(bar.width), height(bar.height),
          pixels(static_cast<std::size_t>(bar.width * bar.height), 0xDEAD00)
    {
        for (const PaintOp& op : BarPaintOps(bar)) {
            for (int y = op.rect.top; y < op.rect.bottom; ++y) {
                for (int x = op.rect.left; x < op.rect.right; ++x) {
                    if (x >= 0 && y >= 0 && x < width && y < height) {
                        pixels[static_cast<std::size_t>(y * width + x)] =
                            op.kind == PaintOp::Kind::Glyph ? 0x123456 : op.color;
                    }
                }
            }
        }
    }
    Rgb at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

Rgb Grey(int level)
{
    return static_cast<Rgb>(level * 0x010101);
}

} // namespace

TEST(GradientColor, TruncatesEachChannelTowardZero)
{
    // 255 − 127.5 is 127.5, which truncates to 127 (not 255 − 127).
    EXPECT_EQ(GradientColor(0x0000FF, 0x000000, 1, 2), 0x00007Fu);
    EXPECT_EQ(GradientColor(0x000000, 0x0000FF, 1, 2), 0x00007Fu);
    // Channels are independent: red rises while blue falls.
    EXPECT_EQ(GradientColor(0x0000FF, 0xFF0000, 1, 3), 0x5500AAu);
    EXPECT_EQ(GradientColor(kWhite, kGrey, 0, 213), kWhite);
    EXPECT_EQ(GradientColor(kWhite, kGrey, 213, 213), kGrey);
    // An empty span cannot divide: the begin colour.
    EXPECT_EQ(GradientColor(kNavy, kWhite, 5, 0), kNavy);
    // Beyond the end the channel stays a channel.
    EXPECT_EQ(GradientColor(0x000000, 0x0000FF, 3, 1), 0x0000FFu);
    // Windows colour values keep red in their lowest byte.
    EXPECT_EQ(FromColorRef(8388608), kNavy);
    EXPECT_EQ(kNavy, 0x000080u);
}

TEST(ProgressBar, DialogBarGeometry)
{
    const BarSettings bar = DialogBar(100);
    EXPECT_EQ(InnerRect(bar), (Rect{2, 2, 215, 18}));
    EXPECT_EQ(InnerLength(bar), 213);
    EXPECT_EQ(InnerThickness(bar), 16);
    EXPECT_EQ(BlockPitch(bar), 12);
    EXPECT_EQ(BarLength(bar), 213);
    EXPECT_EQ(BarLength(DialogBar(50)), 106); // 106.5 truncated
    EXPECT_EQ(BarLength(DialogBar(99)), 210);
    EXPECT_EQ(BarRect(DialogBar(50)), (Rect{2, 2, 108, 18}));

    BarSettings bare = bar;
    bare.bevelOuter = TdxfBevelOuter::bvNone;
    EXPECT_EQ(InnerRect(bare), (Rect{0, 0, 217, 20}));
    EXPECT_EQ(BlockPitch(bare), 2 * 20 / 3 + 2);
}

TEST(ProgressBar, BlocksOfTenWithTwoPixelGaps)
{
    const Canvas c(DialogBar(50));
    // 106 pixels of bar hold 8 whole blocks; each is 10 pixels with a raised bevel.
    for (int k = 0; k < 8; ++k) {
        const int left = 2 + 12 * k;
        const Rgb face = GradientColor(kWhite, kGrey, 12 * (k + 1) - 2, 213);
        EXPECT_EQ(c.at(left, 9), kWhite) << "block " << k << " left bevel";
        EXPECT_EQ(c.at(left + 1, 2), kWhite) << "block " << k << " top bevel";
        EXPECT_EQ(c.at(left + 5, 9), face) << "block " << k << " face";
        EXPECT_EQ(c.at(left + 9, 9), kGrey) << "block " << k << " right bevel";
        EXPECT_EQ(c.at(left + 5, 17), kGrey) << "block " << k << " bottom bevel";
        EXPECT_EQ(c.at(left + 10, 9), kSilver) << "block " << k << " gap";
        EXPECT_EQ(c.at(left + 11, 9), kSilver) << "block " << k << " gap";
    }
    EXPECT_EQ(c.at(2 + 5, 9), Grey(249)); // the first block's end, 10 of 213 toward grey
    // Half a block's worth of bar past the eighth block shows nothing.
    EXPECT_EQ(c.at(2 + 96 + 2, 9), kSilver);
    EXPECT_EQ(c.at(107, 9), kSilver);
    // The lowered outer bevel: shadow above and left, highlight below and right, with the
    // ring between it and the inner rectangle in the background colour.
    EXPECT_EQ(c.at(0, 9), kGrey);
    EXPECT_EQ(c.at(100, 0), kGrey);
    EXPECT_EQ(c.at(216, 9), kWhite);
    EXPECT_EQ(c.at(100, 19), kWhite);
    EXPECT_EQ(c.at(216, 0), kWhite); // the right line owns the top-right corner
    EXPECT_EQ(c.at(1, 9), kSilver);
    EXPECT_EQ(c.at(215, 9), kSilver);
}

TEST(ProgressBar, RemainderFilledOnlyAtTheEnd)
{
    const Canvas full(DialogBar(100));
    // 17 blocks fill 204 pixels; the other 9 are a last piece in the last block's colour.
    const Rgb last = GradientColor(kWhite, kGrey, 17 * 12 - 2, 213);
    EXPECT_EQ(last, Grey(134));
    EXPECT_EQ(full.at(2 + 16 * 12 + 5, 9), last);
    EXPECT_EQ(full.at(2 + 204, 9), kWhite);   // its raised bevel
    EXPECT_EQ(full.at(2 + 204 + 4, 9), last); // its face
    EXPECT_EQ(full.at(214, 9), kGrey);        // its right bevel at the inner edge
    EXPECT_EQ(full.at(2 + 202, 9), kSilver);  // the last block's gap stays

    const Canvas almost(DialogBar(99));
    EXPECT_EQ(almost.at(2 + 204 + 4, 9), kSilver);

    // Past the maximum the bar stops at the inner edge but still counts as full.
    const Canvas over(DialogBar(150));
    EXPECT_EQ(over.at(2 + 204 + 4, 9), last);
    EXPECT_EQ(over.at(215, 9), kSilver);
}

TEST(ProgressBar, PositionAtMinimumShowsNoBar)
{
    for (TdxfPBStyle style : {TdxfPBStyle::sSolid, TdxfPBStyle::sRectangles, TdxfPBStyle::sExSolid,
                              TdxfPBStyle::sExRectangles}) {
        BarSettings bar = DialogBar(0);
        bar.style = style;
        EXPECT_TRUE(BarRect(bar).Empty());
        // The background and the four lines of the outer bevel only.
        EXPECT_EQ(BarPaintOps(bar).size(), 5u);
    }
    BarSettings below = DialogBar(-20);
    EXPECT_TRUE(BarRect(below).Empty());
    // A minimum above 0 with the position at it: still nothing.
    BarSettings shifted = DialogBar(10);
    shifted.min = 10;
    EXPECT_TRUE(BarRect(shifted).Empty());
    // Max = Min leaves no range to divide by.
    BarSettings empty = DialogBar(5);
    empty.max = 0;
    EXPECT_EQ(BarLength(empty), 0);
    EXPECT_EQ(BarText(TdxfShowTextStyle::stsPercent, empty), "0 %");
}

TEST(ProgressBar, GradientSpansTheWholeInnerLength)
{
    // A half bar ends at the middle colour.
    BarSettings ex;
    ex.width = 204;
    ex.height = 10;
    ex.style = TdxfPBStyle::sExSolid;
    ex.beginColor = 0x000000;
    ex.endColor = 0x0000C8; // 200 steps of one over the 200 inner pixels
    ex.position = 50;
    const Canvas e(ex);
    EXPECT_EQ(e.at(2, 5), 0x000000u);
    EXPECT_EQ(e.at(2 + 99, 5), 0x000063u);
    EXPECT_EQ(e.at(2 + 100, 5), kSilver);
}

TEST(ProgressBar, VerticalBarGrowsFromTheBottom)
{
    BarSettings bar;
    bar.width = 20;
    bar.height = 104;
    bar.orientation = TdxfPBOrientation::orVertical;
    bar.style = TdxfPBStyle::sRectangles;
    bar.beginColor = kNavy;
    bar.position = 50;
    EXPECT_EQ(InnerThickness(bar), 16);
    EXPECT_EQ(BlockPitch(bar), 12);
    EXPECT_EQ(BarLength(bar), 50);
    EXPECT_EQ(BarRect(bar), (Rect{2, 52, 18, 102}));
    const Canvas c(bar);
    // Blocks stack upward from the bottom, each with its gap above it.
    EXPECT_EQ(c.at(9, 101), kNavy);
    EXPECT_EQ(c.at(9, 92), kNavy);
    EXPECT_EQ(c.at(9, 91), kSilver);
    EXPECT_EQ(c.at(9, 90), kSilver);
    EXPECT_EQ(c.at(9, 89), kNavy);
    // Four whole blocks (48 pixels); the fourth's gap and the two pixels above stay empty.
    EXPECT_EQ(c.at(9, 56), kNavy);
    EXPECT_EQ(c.at(9, 55), kSilver);
    EXPECT_EQ(c.at(9, 52), kSilver);
}

TEST(ProgressBar, PicturesUseTheGlyphAsPitch)
{
    BarSettings bar;
    bar.width = 104;
    bar.height = 12;
    bar.style = TdxfPBStyle::sPictures;
    bar.glyphWidth = 15;
    bar.glyphHeight = 8;
    auto glyphs = [&](int position) {
        bar.position = position;
        std::vector<Rect> rects;
        for (const PaintOp& op : BarPaintOps(bar)) {
            if (op.kind == PaintOp::Kind::Glyph) {
                rects.push_back(op.rect);
            }
        }
        return rects;
    };
    EXPECT_EQ(glyphs(50), (std::vector<Rect>{{2, 2, 17, 10}, {17, 2, 32, 10}, {32, 2, 47, 10}}));
    // The last, cut glyph shows only when the position is exactly the maximum.
    EXPECT_EQ(glyphs(100).size(), 7u);
    EXPECT_EQ(glyphs(100).back(), (Rect{92, 2, 102, 10}));
    EXPECT_EQ(glyphs(101).size(), 6u);
    bar.glyphWidth = 0;
    EXPECT_TRUE(glyphs(100).empty());
}

TEST(ProgressBar, TextAndItsPlace)
{
    using enum TdxfShowTextStyle;
    EXPECT_EQ(BarText(stsPercent, DialogBar(50)), "50 %");
    EXPECT_EQ(BarText(stsPercent, DialogBar(0)), "0 %");
    EXPECT_EQ(BarText(stsPercent, DialogBar(150)), "150 %");
    EXPECT_EQ(BarText(stsPosition, DialogBar(57)), "57");

    BarSettings eighths = DialogBar(1);
    eighths.max = 8;
    EXPECT_EQ(BarText(stsPercent, eighths), "12 %"); // 12.5 to the even 12
    eighths.position = 3;
    EXPECT_EQ(BarText(stsPercent, eighths), "38 %"); // 37.5 to the even 38
    eighths.position = 5;
    EXPECT_EQ(BarText(stsPercent, eighths), "62 %"); // 62.5 to 62

    BarSettings big = DialogBar(0);
    big.max = 12345;
    EXPECT_EQ(WidestBarText(stsPercent, big), "100 %");
    EXPECT_EQ(WidestBarText(stsPosition, big), "12345");

    // Centred in the whole control, not in the bar.
    const BarSettings half = DialogBar(50);
    EXPECT_EQ(BarTextOrigin(half, 31, 13), (Point{93, 3}));
    EXPECT_EQ(BarTextRect(half, 31, 13), (Rect{93, 3, 124, 16}));

    // Turned to read downwards, the text hangs from its right edge.
    BarSettings vertical;
    vertical.width = 20;
    vertical.height = 104;
    vertical.orientation = TdxfPBOrientation::orVertical;
    EXPECT_EQ(BarTextOrigin(vertical, 31, 13), (Point{16, 36}));
    EXPECT_EQ(BarTextRect(vertical, 31, 13), (Rect{3, 36, 16, 67}));
}

TEST(ProgressBar, RepaintStripFollowsTheBarEnd)
{
    BarSettings bar = DialogBar(50);
    // From 106 pixels at 50 back to 85 at 40: widened by 2 plus one block pitch.
    EXPECT_EQ(PositionRepaintRect(bar, 40), (Rect{2 + 85 - 14, 0, 2 + 106 + 14, 20}));
    bar.style = TdxfPBStyle::sExSolid;
    EXPECT_EQ(PositionRepaintRect(bar, 40), (Rect{2 + 85 - 2, 0, 2 + 106 + 2, 20}));
    // Kept within the control at both ends.
    bar.style = TdxfPBStyle::sExRectangles;
    bar.position = 100;
    EXPECT_EQ(PositionRepaintRect(bar, 0), (Rect{0, 0, 217, 20}));

    BarSettings vertical;
    vertical.width = 20;
    vertical.height = 104;
    vertical.orientation = TdxfPBOrientation::orVertical;
    vertical.style = TdxfPBStyle::sSolid;
    vertical.position = 50; // 50 pixels up from the inner bottom at 102
    EXPECT_EQ(PositionRepaintRect(vertical, 25), (Rect{0, 102 - 50 - 2, 20, 102 - 25 + 2}));
}
