#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "renderer/visible.h"

namespace velmor {
namespace {

Visible plainStretch(const std::vector<Pixel>& row) {
    const auto width = static_cast<std::int32_t>(row.size());
    std::int32_t b = 0, e = width;
    while (b < width && row[b] == Pixel{})
        ++b;
    while (e > b && row[e - 1] == Pixel{})
        --e;
    return b < e ? Visible{b, e} : Visible{width, width};
}

// Rows of every width up to 70 with zero, one or two visible pixels at every
// position, each with a single byte set (any channel counts), and random rows:
// the block scan must find the same ends as the pixel-by-pixel one.
TEST(Visible, StretchMatchesPixelByPixelScan) {
    int wrong = 0, cases = 0;
    for (std::int32_t width = 0; width <= 70; ++width) {
        std::vector<Pixel> row(static_cast<std::size_t>(width));
        auto check = [&] {
            const Visible v = visibleStretch(row.data(), width), p = plainStretch(row);
            wrong += v.begin != p.begin || v.end != p.end;
            ++cases;
        };
        check();
        for (std::int32_t a = 0; a < width; ++a)
            for (std::int32_t b = a; b < width; b += 3) {
                Pixel one{};
                reinterpret_cast<std::uint8_t*>(&one)[(a + b) % 4] = static_cast<std::uint8_t>(1 + a);
                row[a] = one;
                row[b] = one;
                check();
                row[a] = row[b] = Pixel{};
            }
    }
    std::mt19937 rng(5);
    for (int k = 0; k < 2000; ++k) {
        std::vector<Pixel> row(rng() % 300 + 1);
        for (std::size_t n = rng() % 4; n > 0; --n)
            row[rng() % row.size()] = Pixel{0, 0, 0, static_cast<std::uint8_t>(rng() % 255 + 1)};
        const Visible v = visibleStretch(row.data(), static_cast<std::int32_t>(row.size())),
                      p = plainStretch(row);
        wrong += v.begin != p.begin || v.end != p.end;
    }
    EXPECT_GT(cases, 20000);
    EXPECT_EQ(wrong, 0);
}

} // namespace
} // namespace velmor
