#include "presentation/alpha_shape.h"

#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

namespace {

velmor::Image Blank(std::int32_t width, std::int32_t height) {
    return {width, height, std::vector<velmor::Pixel>(static_cast<std::size_t>(width) * height)};
}

void Set(velmor::Image& image, std::int32_t x, std::int32_t y, std::uint8_t alpha) {
    image.pixels[static_cast<std::size_t>(y) * image.width + x] = {alpha, alpha, alpha, alpha};
}

// Whether window unit (x, y) lies in one of the rectangles.
bool Covered(const std::vector<ShapeRect>& shape, std::int32_t x, std::int32_t y) {
    for (const ShapeRect& r : shape)
        if (x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height) return true;
    return false;
}

TEST(AlphaShape, RunsMergeDownAndSplitWhereRowsDiffer) {
    velmor::Image image = Blank(6, 5);
    for (std::int32_t y = 1; y <= 3; ++y)
        for (std::int32_t x : {1, 2, 4})
            Set(image, x, y, 255);
    Set(image, 5, 3, 128); // just opaque enough
    Set(image, 0, 4, 127); // not
    const std::vector<ShapeRect> expected{{1, 1, 2, 2}, {4, 1, 1, 2}, {1, 3, 2, 1}, {4, 3, 2, 1}};
    EXPECT_EQ(AlphaShape(image, 1), expected);
    EXPECT_TRUE(AlphaShape(Blank(4, 4), 1).empty());
    EXPECT_TRUE(AlphaShape(velmor::Image{}, 2).empty());
}

TEST(AlphaShape, ADiscCoversExactlyItsOpaquePixelsAtEveryScale) {
    // An odd size, so the last unit of each row and column is partly outside.
    const std::int32_t size = 41;
    velmor::Image disc = Blank(size, size);
    for (std::int32_t y = 0; y < size; ++y)
        for (std::int32_t x = 0; x < size; ++x)
            if (std::hypot(x - 20.0, y - 20.0) <= 18.5) Set(disc, x, y, 255);
    for (std::int32_t scale : {0, 1, 2, 3}) {
        const std::int32_t s = scale < 1 ? 1 : scale;
        const std::vector<ShapeRect> shape = AlphaShape(disc, scale);
        const std::int32_t units = (size + s - 1) / s;
        for (std::int32_t y = 0; y < units; ++y)
            for (std::int32_t x = 0; x < units; ++x) {
                bool any = false;
                for (std::int32_t py = y * s; py < std::min(size, (y + 1) * s); ++py)
                    for (std::int32_t px = x * s; px < std::min(size, (x + 1) * s); ++px)
                        any = any || disc.pixels[static_cast<std::size_t>(py) * size + px].a != 0;
                ASSERT_EQ(Covered(shape, x, y), any) << "scale " << scale << " at " << x << "," << y;
            }
        // The corners stay out, and merging keeps the region small.
        EXPECT_FALSE(Covered(shape, 0, 0));
        EXPECT_LT(shape.size(), static_cast<std::size_t>(units));
    }
}

} // namespace
