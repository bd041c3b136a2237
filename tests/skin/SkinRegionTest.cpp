#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "base/Settings.h"
#include "skin/SkinRegion.h"

using namespace furlox;

namespace {

// A picture drawn with characters: '.' is the key colour, anything else opaque.
struct Picture
{
    std::vector<std::uint32_t> pixels;
    int width = 0;
    int height = 0;
    PixelView view() const { return {pixels.data(), width, height, width}; }
};

Picture Draw(std::initializer_list<const char*> rows, std::uint32_t key = 0xFF00FF)
{
    Picture p;
    for (const char* row : rows) {
        p.width = static_cast<int>(std::strlen(row));
        for (int x = 0; x < p.width; ++x) {
            p.pixels.push_back(0xFF000000u | (row[x] == '.' ? key : 0x203040u + row[x]));
        }
        ++p.height;
    }
    return p;
}

} // namespace

TEST(RegionFromBitmap, RunsPerRowWithTheBottomLeftKey)
{
    const Picture p = Draw({
        "..##..#",
        ".......",
        "#######",
        "......#",
        "..##...",
    });
    const std::vector<RegionRect> expected = {
        {2, 0, 4, 1}, {6, 0, 7, 1}, // a run reaching the right edge ends at the width
        {0, 2, 7, 3},               // a full row; the empty row 1 adds nothing
        {6, 3, 7, 4},               // one pixel in the last column: one pixel wide
        {2, 4, 4, 5},
    };
    EXPECT_EQ(RegionFromBitmap(p.view()), expected);
}

TEST(RegionFromBitmap, KeyIsTheBottomLeftPixelWhateverItsColour)
{
    // Magenta is opaque here: the bottom-left pixel is green, so green is the key.
    const std::uint32_t a = 0xFFFF00FF, b = 0xFF123456, g = 0xFF00FF00;
    const std::vector<std::uint32_t> pixels = {a, b, g, a};
    const PixelView view{pixels.data(), 2, 2, 2};
    EXPECT_EQ(RegionFromBitmap(view), (std::vector<RegionRect>{{0, 0, 2, 1}, {1, 1, 2, 2}}));
}

TEST(RegionFromBitmap, EmptyAndAllKeyPictures)
{
    EXPECT_TRUE(RegionFromBitmap({}).empty());
    EXPECT_TRUE(RegionFromBitmap(Draw({"...", "..."}).view()).empty());
}

TEST(CropRegionFromPicture, TopLeftKeyComparedExactly)
{
    Picture p = Draw({".##", "#.#"});
    p.pixels[4] = 0xFFFF00FE; // one step off the key colour: stays
    EXPECT_EQ(CropRegionFromPicture(p.view()),
              (std::vector<RegionRect>{{1, 0, 3, 1}, {0, 1, 3, 2}}));
}

TEST(Settings, MissingOrJunkValuesGiveTheDefault)
{
    EXPECT_EQ(DefaultWindowPosition(1024, 768).left, 192);
    EXPECT_EQ(DefaultWindowPosition(1024, 768).top, 134);
    EXPECT_EQ(SettingNumber(std::nullopt, 5), 5);
    EXPECT_EQ(SettingNumber("abc", 5), 5);
    EXPECT_EQ(SettingNumber("", 5), 5);
    EXPECT_EQ(SettingNumber("12 ", 5), 5);
    EXPECT_EQ(SettingNumber("-40", 5), -40);
    EXPECT_EQ(SettingNumber("0", 5), 0);
}
