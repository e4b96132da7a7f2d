#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "renderer/hand_knots.h"
#include "renderer/shadow_edge.h"
#include "renderer/simd.h"

namespace velmor {
namespace {

// Batches of every length up to a few lanes' worth, over both hands' segments,
// at u anywhere along them (knots and ends included), now and then NaN: the
// same doubles as the plain loop, bit for bit, from shadowEdge() and from the
// SSE2 kernel (which shadowEdge() passes over where AVX2 is).
TEST(ShadowEdge, BatchesGiveThePlainLoopsBits) {
    std::mt19937_64 rng(17);
    for (const knots::Knot* k : {knots::hour, knots::minute}) {
        LeafSegment segments[knots::count];
        for (int j = 1; j < knots::count; ++j)
            segments[j] = leafSegment(k, knots::count, j);
        std::uniform_real_distribution<double> across(0, 30), beyond(-300, 6),
            anywhere(0, k[knots::count - 1].along);
        int differing = 0;
        for (int n = 0; n <= 41; ++n) {
            std::vector<int> segment(n);
            std::vector<double> u(n), ax(n), e(n), fast(n), plain(n);
            for (int i = 0; i < n; ++i) {
                segment[i] = 1 + static_cast<int>(rng() % (knots::count - 1));
                const LeafSegment& g = segments[segment[i]];
                // Inside the segment, or exactly on one of its knots.
                u[i] = i % 6 == 0 ? g.along + (i % 12 == 0 ? g.length : 0)
                                  : g.along + g.length * (anywhere(rng) / k[knots::count - 1].along);
                ax[i] = i % 11 == 5 ? std::nan("") : across(rng);
                e[i] = i % 7 == 3 ? std::nan("") : beyond(rng);
                if (i % 13 == 4) u[i] = std::nan("");
            }
            shadowEdge(segments, segment.data(), u.data(), ax.data(), e.data(), fast.data(), n);
            detail::shadowEdgePlain(segments, segment.data(), u.data(), ax.data(), e.data(), plain.data(), n);
            differing += n > 0 && std::memcmp(fast.data(), plain.data(), n * sizeof(double)) != 0;
#if VELMOR_X86_64
            detail::shadowEdgeSse2(segments, segment.data(), u.data(), ax.data(), e.data(), fast.data(), n);
            differing += n > 0 && std::memcmp(fast.data(), plain.data(), n * sizeof(double)) != 0;
#endif
        }
        EXPECT_EQ(differing, 0);
    }
}

// What the plain loop itself works out: well inside the leaf the edge term is
// the distance behind the pivot or beyond the tip (e), half an opacity at the
// outline, none 3.5 units outside.
TEST(ShadowEdge, OpacityFactorFollowsTheDistance) {
    LeafSegment segments[knots::count];
    for (int j = 1; j < knots::count; ++j)
        segments[j] = leafSegment(knots::hour, knots::count, j);
    const int segment[3] = {7, 7, 7};
    const LeafSegment& g = segments[7];
    const double u[3] = {g.along, g.along, g.along};
    // At the knot the half-width is the knot's own and the slope its tangent.
    const double ax[3] = {g.halfWidth0, 0, g.halfWidth0 + 3.5 * std::sqrt(g.tangent0 * g.tangent0 + 1)};
    const double e[3] = {-100, -2, -100};
    double out[3];
    shadowEdge(segments, segment, u, ax, e, out, 3);
    EXPECT_DOUBLE_EQ(out[0], 0.5);
    EXPECT_DOUBLE_EQ(out[1], 0.5 + 2.0 / 7); // e dominates: the leaf's own edge is farther
    EXPECT_NEAR(out[2], 0.0, 1e-12);
}

} // namespace
} // namespace velmor
