#pragma once

#include <cstdint>
#include <vector>

// The outline of a skinned window or button, computed from its picture: the pixels of one
// key colour are cut away and the rest is described as one rectangle per run of opaque
// pixels in each row.
namespace furlox {

struct RegionRect
{
    int left;
    int top;
    int right;  // exclusive
    int bottom; // exclusive

    bool operator==(const RegionRect&) const = default;
};

// A picture as 32-bit pixels (0xAARRGGBB; only RGB is compared), row after row.
struct PixelView
{
    const std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0; // pixels per row

    std::uint32_t rgb(int x, int y) const { return pixels[y * stride + x] & 0xFFFFFFu; }
};

// The window routine: key colour = the bottom-left pixel. Empty picture: no rectangles.
std::vector<RegionRect> RegionFromBitmap(const PixelView& picture);

// The button routine: key colour = the top-left pixel, compared exactly.
std::vector<RegionRect> CropRegionFromPicture(const PixelView& picture);

// The runs of pixels that differ from `key`, row by row, left to right.
std::vector<RegionRect> OpaqueRuns(const PixelView& picture, std::uint32_t key);

} // namespace furlox
