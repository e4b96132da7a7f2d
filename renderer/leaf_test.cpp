#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "renderer/hand_knots.h"
#include "renderer/renderer.h"

namespace velmor {
namespace {

const Renderer none{Image{}, Image{}, Image{}}; // leaf reads no member

void expectSection(int hand, double along, double halfWidth, double shift, double slope) {
    const Renderer::LeafSection s = none.leaf(hand, along);
    EXPECT_NEAR(s.halfWidth, halfWidth, 5e-7) << "hand " << hand << " along " << along;
    EXPECT_NEAR(s.shift, shift, 5e-7) << "hand " << hand << " along " << along;
    EXPECT_NEAR(s.slope, slope, 5e-7) << "hand " << hand << " along " << along;
}

TEST(Leaf, WorkedValues) {
    expectSection(0, 0, 5, 1.5, 0);
    expectSection(0, 10, 4.959596, 1.5, -0.006061);
    expectSection(0, 100, 16.160156, 1.6875, 0.355469);
    expectSection(0, 142.5, 23.232143, 1.875, 0.002381);
    expectSection(0, 257, 0, 2, -2.0 / 17);
    expectSection(1, 200, 14.14, 5.65, -0.052);
    expectSection(1, 346, 0, 5.5, -2.2 / 21);
}

TEST(Leaf, ClampsOutsideTheHandAndNaN) {
    expectSection(0, -5, 5, 1.5, 0);
    expectSection(1, 0, 4, 4, 0.5 / 35);
    expectSection(1, -1e300, 4, 4, 0.5 / 35);
    expectSection(0, 1000, 0, 2, -2.0 / 17);
    expectSection(1, 1e300, 0, 5.5, -2.2 / 21);
    expectSection(0, std::numeric_limits<double>::infinity(), 0, 2, -2.0 / 17);
    expectSection(0, -std::numeric_limits<double>::infinity(), 5, 1.5, 0);
    expectSection(1, std::numeric_limits<double>::quiet_NaN(), 0, 5.5, -2.2 / 21);
}

TEST(Leaf, KnotsAreHitExactlyAndOtherIndexesReadTheMinuteTable) {
    for (int i = 0; i < knots::count; ++i) {
        const Renderer::LeafSection h = none.leaf(0, knots::hour[i].along);
        EXPECT_DOUBLE_EQ(h.halfWidth, knots::hour[i].halfWidth) << i;
        EXPECT_DOUBLE_EQ(h.shift, knots::hour[i].shift) << i;
        const Renderer::LeafSection m = none.leaf(1, knots::minute[i].along);
        EXPECT_DOUBLE_EQ(m.halfWidth, knots::minute[i].halfWidth) << i;
        EXPECT_DOUBLE_EQ(m.shift, knots::minute[i].shift) << i;
    }
    for (int hand : {2, -1, 7}) {
        const Renderer::LeafSection a = none.leaf(hand, 123.4), b = none.leaf(1, 123.4);
        EXPECT_EQ(a.halfWidth, b.halfWidth);
        EXPECT_EQ(a.shift, b.shift);
        EXPECT_EQ(a.slope, b.slope);
    }
}

TEST(Leaf, DipsBetweenKnotsNeverNegativeAndSlopeMatchesTheWidth) {
    // The hour hand narrows below 5 between its first two knots.
    EXPECT_LT(none.leaf(0, 20).halfWidth, 4.95);
    EXPECT_GT(none.leaf(0, 20).halfWidth, 4.9);
    for (int hand : {0, 1}) {
        for (double u = 0.5; u < 346; u += 0.37) {
            const Renderer::LeafSection s = none.leaf(hand, u);
            EXPECT_GE(s.halfWidth, 0);
            // The slope is the derivative of the half-width (away from knots,
            // where the finite difference straddles two segments).
            const double h = 1e-5;
            const double lo = none.leaf(hand, u - h).halfWidth, hi = none.leaf(hand, u + h).halfWidth;
            if (hi > 0 && lo > 0) {
                EXPECT_NEAR((hi - lo) / (2 * h), s.slope, 1e-3) << hand << " " << u;
            }
        }
    }
}

} // namespace
} // namespace velmor
