#include <gtest/gtest.h>

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

// Rows of every width up to 70 (a few blocks of sixteen and the pixels after)
// with zero, one or two visible pixels at every position, each with a single
// byte set (any channel counts): the block scan must find the same ends as the
// pixel-by-pixel one.
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
    EXPECT_GT(cases, 20000);
    EXPECT_EQ(wrong, 0);
}

} // namespace
} // namespace velmor
