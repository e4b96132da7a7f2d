#include "presentation/pixel_order.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

namespace {

using velmor::Pixel;

TEST(ImageFromBgraRows, SwapsRedAndBlueAndKeepsPremultipliedValues) {
    const std::uint8_t bytes[] = {10, 20, 30, 40, 0, 0, 0, 0};
    const velmor::Image image = ImageFromBgraRows(bytes, 8, 2, 1);
    ASSERT_EQ(image.width, 2);
    ASSERT_EQ(image.height, 1);
    ASSERT_EQ(image.pixels.size(), 2u);
    EXPECT_EQ(image.pixels[0], (Pixel{30, 20, 10, 40}));
    EXPECT_EQ(image.pixels[1], (Pixel{0, 0, 0, 0}));
}

TEST(ImageFromBgraRows, FollowsBottomUpRowsAndSkipsRowPadding) {
    // Three rows of one pixel, 8 bytes apart, stored bottom row first.
    std::vector<std::uint8_t> bytes(24, 0xEE);
    for (int row = 0; row < 3; ++row) {
        const int at = (2 - row) * 8; // top row last in memory
        bytes[at] = static_cast<std::uint8_t>(row);
        bytes[at + 1] = bytes[at + 2] = 0;
        bytes[at + 3] = 255;
    }
    const velmor::Image image = ImageFromBgraRows(bytes.data() + 16, -8, 1, 3);
    ASSERT_EQ(image.pixels.size(), 3u);
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(image.pixels[row], (Pixel{0, 0, static_cast<std::uint8_t>(row), 255}));
}

TEST(ImageFromBgraRows, NoPixelsGiveTheEmptyImage) {
    const std::uint8_t bytes[4] = {};
    for (const velmor::Image& image : {ImageFromBgraRows(bytes, 0, 0, 0), ImageFromBgraRows(bytes, 4, 1, 0),
                                       ImageFromBgraRows(nullptr, 4, 1, 1)}) {
        EXPECT_EQ(image.width, 0);
        EXPECT_EQ(image.height, 0);
        EXPECT_TRUE(image.pixels.empty());
    }
}

TEST(BgraRowsFromImage, WritesBlueGreenRedAlphaRowByRow) {
    const velmor::Image image{2, 2, {{30, 20, 10, 40}, {1, 2, 3, 4}, {200, 0, 100, 200}, {0, 0, 0, 0}}};
    std::vector<std::uint8_t> bytes(2 * 12, 0xEE); // rows of 12 bytes: 4 of padding each
    BgraRowsFromImage(image, bytes.data(), 12, 2);
    const std::vector<std::uint8_t> expected = {10,  20, 30,  40,  3, 2, 1, 4, 0xEE, 0xEE, 0xEE, 0xEE,
                                                100, 0,  200, 200, 0, 0, 0, 0, 0xEE, 0xEE, 0xEE, 0xEE};
    EXPECT_EQ(bytes, expected);
    // Only the rows asked for (clamped into the block) are written.
    std::vector<std::uint8_t> lower(2 * 12, 0xEE);
    BgraRowsFromImage(image, lower.data(), 12, 2, 1, 5);
    EXPECT_TRUE(std::equal(lower.begin(), lower.begin() + 12, std::vector<std::uint8_t>(12, 0xEE).begin()));
    EXPECT_TRUE(std::equal(lower.begin() + 12, lower.end(), expected.begin() + 12));
}

TEST(BgraRowsFromImage, LeavesNothingUnwrittenWhenTheFrameIsSmaller) {
    const velmor::Image image{1, 1, {{9, 8, 7, 9}}};
    std::vector<std::uint8_t> bytes(2 * 2 * 4, 0xEE);
    BgraRowsFromImage(image, bytes.data(), 8, 2);
    const std::vector<std::uint8_t> expected = {7, 8, 9, 9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(bytes, expected);
    // An empty frame gives a wholly transparent surface.
    BgraRowsFromImage(velmor::Image{}, bytes.data(), 8, 2);
    EXPECT_EQ(bytes, std::vector<std::uint8_t>(16, 0));
}

// Only each row's stretch is written, clamped into the block; a frame that
// does not cover the block has its rows written whole.
TEST(BgraStretchesFromImage, WritesOnlyEachRowsColumns) {
    velmor::Image image{3, 3, {}};
    for (int i = 0; i < 9; ++i)
        image.pixels.push_back(
            Pixel{static_cast<std::uint8_t>(i), 100, static_cast<std::uint8_t>(200 + i), 255});
    const std::vector<velmor::RowReach> columns = {{1, 1}, {0, -1}, {-4, 9}};
    std::vector<std::uint8_t> bytes(3 * 16, 0xEE); // rows of 16 bytes: 4 of padding each
    const velmor::RowReach written = BgraStretchesFromImage(image, bytes.data(), 16, 3, columns, 0, 5);
    EXPECT_EQ(written.first, 0);
    EXPECT_EQ(written.last, 2);
    std::vector<std::uint8_t> expected(3 * 16, 0xEE);
    auto put = [&](int x, int y) {
        const Pixel p = image.pixels[static_cast<std::size_t>(3 * y + x)];
        std::copy_n(std::vector<std::uint8_t>{p.b, p.g, p.r, p.a}.begin(), 4,
                    expected.begin() + 16 * y + 4 * x);
    };
    put(1, 0);
    for (int x = 0; x < 3; ++x)
        put(x, 2);
    EXPECT_EQ(bytes, expected);

    std::vector<std::uint8_t> whole(3 * 16, 0xEE), rows(3 * 16, 0xEE);
    const velmor::Image smaller{2, 2, {image.pixels[0], image.pixels[1], image.pixels[3], image.pixels[4]}};
    BgraStretchesFromImage(smaller, whole.data(), 16, 3, columns, 0, 3);
    BgraRowsFromImage(smaller, rows.data(), 16, 3);
    EXPECT_EQ(whole, rows);
}

TEST(PixelOrder, RoundTripIsExact) {
    velmor::Image image{3, 2, {}};
    for (int i = 0; i < 6; ++i) {
        const auto a = static_cast<std::uint8_t>(40 * i + 10);
        image.pixels.push_back(
            Pixel{static_cast<std::uint8_t>(a / 2), static_cast<std::uint8_t>(a / 3), a, a});
    }
    std::vector<std::uint8_t> bytes(3 * 3 * 4);
    BgraRowsFromImage(image, bytes.data(), 12, 3); // a 3 x 3 surface around a 3 x 2 frame
    const velmor::Image back = ImageFromBgraRows(bytes.data(), 12, 3, 2);
    EXPECT_EQ(back.pixels, image.pixels);
}

} // namespace
