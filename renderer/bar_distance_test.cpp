#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "renderer/bar_distance.h"
#include "renderer/simd.h"

namespace velmor {
namespace {

// What the distance means, at points whose answer is plain: inside it is the
// nearest side, negated; outside, the nearest side or corner.
TEST(BarDistance, NearestSideOrCornerNegativeInside) {
    EXPECT_DOUBLE_EQ(barDistance(0, -100), -1.4);
    EXPECT_NEAR(barDistance(1.0, -100), -0.4, 1e-12);
    EXPECT_NEAR(barDistance(-3.4, 0), 2.0, 1e-12);  // left of the bar
    EXPECT_NEAR(barDistance(0, 70), 5.0, 1e-12);    // behind the tail
    EXPECT_NEAR(barDistance(0, -395), 5.0, 1e-12);  // beyond the tip
    EXPECT_NEAR(barDistance(4.4, 69), 5.0, 1e-12);  // off the tail's corner: 3-4-5
    EXPECT_NEAR(barDistance(0, 64.5), -0.5, 1e-12); // inside, nearest the tail's end
    EXPECT_DOUBLE_EQ(barDistance(1.4, -100), 0.0);  // on a side
}

// Batches of every length, at points near and far, on the centre line and
// within a hair of it, on the sides and at the corners: the same doubles as
// one point at a time. The SSE2 kernel is held to that at any point, NaN,
// infinite and huge too; the AVX2 one, which measures every side, only at
// finite points within 1e9 of the bar, all the hand pass ever asks about.
TEST(BarDistance, BatchesGiveTheSingleResultsBits) {
    std::mt19937_64 rng(21);
    std::uniform_real_distribution<double> across(-8, 8), along(-400, 75), hair(-2e-3, 2e-3);
    const double odd[] = {std::nan(""), INFINITY, -INFINITY, 1e11, -1e11, 1e-3, -1e-3, -0.0};
    int differing = 0;
    for (int n = 0; n <= 45; ++n) {
        std::vector<double> xs(n), ys(n), batch(n), lanes(n);
        for (int k = 0; k < n; ++k) {
            switch (k % 5) {
            case 0:
                xs[k] = hair(rng);
                break;
            case 1:
                xs[k] = (k % 2 ? 1.4 : -1.4) + hair(rng) * (k % 3);
                break;
            default:
                xs[k] = across(rng);
            }
            ys[k] = k % 7 == 0 ? (k % 2 ? 65.0 : -390.0) : along(rng);
            if (k % 4 == 3) (k % 8 == 3 ? xs[k] : ys[k]) = odd[rng() % 8];
        }
        barDistances(xs.data(), ys.data(), batch.data(), n);
#if VELMOR_X86_64
        detail::barDistancesSse2(xs.data(), ys.data(), lanes.data(), n);
#endif
        for (int k = 0; k < n; ++k) {
            const double single = barDistance(xs[k], ys[k]);
            if (std::abs(xs[k]) < 1e9 && std::abs(ys[k]) < 1e9)
                differing += std::memcmp(&single, &batch[k], sizeof(double)) != 0;
#if VELMOR_X86_64
            differing += std::memcmp(&single, &lanes[k], sizeof(double)) != 0;
#endif
        }
    }
    EXPECT_EQ(differing, 0);
}

} // namespace
} // namespace velmor
