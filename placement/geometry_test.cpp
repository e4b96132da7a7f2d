#include "placement/geometry.h"

#include <gtest/gtest.h>

#include <climits>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// Under Wine each case is held to the platform's own MulDiv as well.
TEST(Geometry, MulDivRoundsHalvesAwayFromZeroAndReportsOverflowAsMinusOne) {
    struct Case {
        std::int32_t a, b, c, result;
    };
    const Case cases[] = {
        {1040, 96, 144, 693},
        {5, 1, 2, 3},
        {-5, 1, 2, -3},
        {5, -1, 2, -3},
        {5, 1, -2, -3},
        {-5, -1, -2, -3},
        {7, 1, 3, 2},
        {8, 1, 3, 3},
        {0, -7, 3, 0},
        {1, 1, 0, -1},
        {INT_MAX, 2, 1, -1},
        {INT_MIN, 1, 1, -1},
        {INT_MAX, 2, 2, INT_MAX},
        {-INT_MAX, 1, 1, -INT_MAX},
    };
    for (const Case& m : cases) {
        EXPECT_EQ(MulDivRound(m.a, m.b, m.c), m.result) << m.a << " * " << m.b << " / " << m.c;
#ifdef _WIN32
        EXPECT_EQ(MulDiv(m.a, m.b, m.c), m.result) << "platform: " << m.a << " * " << m.b << " / " << m.c;
#endif
    }
}

} // namespace
