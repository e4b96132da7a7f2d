#include "placement/size_model.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

struct DpiRow {
    unsigned dpi;
    int largest;
    int pixelsAt160;
    int pixelsAt320;
    int largestPixels;
};

// The limits users see on common displays.
const DpiRow kRows[] = {
    {96, 900, 160, 320, 900},    {72, 900, 160, 320, 900},     {0, 900, 160, 320, 900},
    {120, 900, 200, 400, 1125},  {144, 800, 240, 480, 1200},   {168, 685, 280, 560, 1199},
    {192, 600, 320, 640, 1200},  {240, 480, 400, 800, 1200},   {288, 400, 480, 960, 1200},
    {384, 300, 640, 1200, 1200}, {720, 160, 1200, 1200, 1200}, {960, 160, 1200, 1200, 1200},
};

TEST(SizeModel, LimitsForCommonDpis) {
    for (const DpiRow& row : kRows) {
        SCOPED_TRACE(row.dpi);
        EXPECT_EQ(LargestSize(row.dpi), row.largest);
        EXPECT_EQ(ClampSize(INT_MAX, row.dpi), row.largest);
        EXPECT_EQ(Pixels(160, row.dpi), row.pixelsAt160);
        EXPECT_EQ(Pixels(320, row.dpi), row.pixelsAt320);
        EXPECT_EQ(Pixels(row.largest, row.dpi), row.largestPixels);
        EXPECT_EQ(Pixels(100000, row.dpi), row.largestPixels);
    }
}

TEST(SizeModel, ClampSizeKeepsSizesInRange) {
    EXPECT_EQ(ClampSize(100, 96), 160);
    EXPECT_EQ(ClampSize(1000, 96), 900);
    EXPECT_EQ(ClampSize(1000, 144), 800);
    EXPECT_EQ(ClampSize(700, 168), 685);
    EXPECT_EQ(ClampSize(INT_MIN, 96), 160);
    EXPECT_EQ(ClampSize(-5, 4000000000u), 160);
    EXPECT_EQ(ClampSize(333, 96), 333);
    for (unsigned dpi = 720; dpi < 2000; dpi += 37)
        EXPECT_EQ(ClampSize(500, dpi), 160) << dpi;
}

TEST(SizeModel, PixelsRoundsToNearestWithHalvesUp) {
    EXPECT_EQ(Pixels(321, 120), 401); // 401.25
    EXPECT_EQ(Pixels(685, 168), 1199);
    EXPECT_EQ(Pixels(900, 120), 1125);
    EXPECT_EQ(Pixels(320, 72), 320);
    EXPECT_EQ(Pixels(162, 120), 203); // 202.5 rounds up
    EXPECT_EQ(Pixels(161, 120), 201); // 201.25
}

TEST(SizeModel, PixelsStaysWithinTheDrawableRangeForAnyArguments) {
    const int sizes[] = {INT_MIN, -1, 0, 1, 159, 160, 161, 320, 899, 900, 901, 5000, INT_MAX};
    const unsigned dpis[] = {0u,   1u,   95u,  96u,  97u,  119u,    120u,
                             143u, 144u, 500u, 719u, 720u, 100000u, 4294967295u};
    for (int size : sizes) {
        for (unsigned dpi : dpis) {
            const int p = Pixels(size, dpi);
            EXPECT_GE(p, 160) << size << " @ " << dpi;
            EXPECT_LE(p, 1200) << size << " @ " << dpi;
        }
    }
}

TEST(SizeModel, PercentUsesTheStoredSize) {
    EXPECT_EQ(SizePercent(160), 50);
    EXPECT_EQ(SizePercent(161), 50);
    EXPECT_EQ(SizePercent(320), 100);
    EXPECT_EQ(SizePercent(481), 150); // 150.3
    EXPECT_EQ(SizePercent(900), 281); // 281.25
    EXPECT_EQ(SizePercent(328), 103); // 102.5 rounds away from zero
}

} // namespace
