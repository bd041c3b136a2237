#include "skin/SkinRegion.h"

namespace furlox {

std::vector<RegionRect> OpaqueRuns(const PixelView& picture, std::uint32_t key)
{
    std::vector<RegionRect> rects;
    key &= 0xFFFFFFu;
    for (int y = 0; y < picture.height; ++y) {
        int runStart = -1;
        for (int x = 0; x < picture.width; ++x) {
            const bool transparent = picture.rgb(x, y) == key;
            if (runStart < 0 && !transparent) {
                runStart = x;
            }
            if (runStart >= 0) {
                if (transparent) {
                    rects.push_back({runStart, y, x, y + 1});
                    runStart = -1;
                } else if (x == picture.width - 1) {
                    rects.push_back({runStart, y, picture.width, y + 1});
                    runStart = -1;
                }
            }
        }
    }
    return rects;
}

std::vector<RegionRect> RegionFromBitmap(const PixelView& picture)
{
    if (picture.width <= 0 || picture.height <= 0 || !picture.pixels) {
        return {};
    }
    return OpaqueRuns(picture, picture.rgb(0, picture.height - 1));
}

std::vector<RegionRect> CropRegionFromPicture(const PixelView& picture)
{
    if (picture.width <= 0 || picture.height <= 0 || !picture.pixels) {
        return {};
    }
    return OpaqueRuns(picture, picture.rgb(0, 0));
}

} // namespace furlox
