#include "presentation/hand_angles.h"

#include <cmath>

#include <gtest/gtest.h>

namespace {

velmor::Time At(int hour, int minute, int second, int millisecond) {
    return {hour, minute, second, millisecond};
}

TEST(TimeAngles, TenPastTenAndAHalfSweeping) {
    const HandAngles a = TimeAngles(At(10, 10, 30, 500), true);
    EXPECT_NEAR(a.hour, 305.25417, 0.001);
    EXPECT_NEAR(a.minute, 63.05, 0.001);
    EXPECT_NEAR(a.second, 183.0, 0.001);
}

TEST(TimeAngles, MidnightAndNoonAreAllZero) {
    for (int hour : {0, 12}) {
        const HandAngles a = TimeAngles(At(hour, 0, 0, 0), true);
        EXPECT_EQ(a.hour, 0.0f) << hour;
        EXPECT_EQ(a.minute, 0.0f) << hour;
        EXPECT_EQ(a.second, 0.0f) << hour;
    }
}

TEST(TimeAngles, LastMillisecondOfTheDayStaysBelowAFullTurn) {
    const HandAngles a = TimeAngles(At(23, 59, 59, 999), true);
    // In double the hour angle is 359.9999917, whose nearest float is 360.
    EXPECT_EQ(static_cast<float>(velmor::handAngles(At(23, 59, 59, 999), true).hour), 360.0f);
    EXPECT_LT(a.hour, 360.0f);
    EXPECT_EQ(a.hour, std::nextafter(360.0f, 0.0f));
    EXPECT_LT(a.minute, 360.0f);
    EXPECT_NEAR(a.minute, 359.9999, 0.0001);
    EXPECT_LT(a.second, 360.0f);
    EXPECT_NEAR(a.second, 359.994, 0.0001);
}

TEST(TimeAngles, SteppingIgnoresTheMilliseconds) {
    const HandAngles stepped = TimeAngles(At(7, 41, 12, 999), false);
    const HandAngles onTheSecond = TimeAngles(At(7, 41, 12, 0), false);
    EXPECT_EQ(stepped.second, 72.0f);
    EXPECT_EQ(stepped.second, onTheSecond.second);
    EXPECT_EQ(stepped.minute, onTheSecond.minute);
    EXPECT_EQ(stepped.hour, onTheSecond.hour);
    // Sweeping, the minute and hour hands move with the milliseconds too.
    EXPECT_GT(TimeAngles(At(7, 41, 12, 999), true).minute, onTheSecond.minute);
}

TEST(TimeAngles, ThreeOClockAndTheAfternoon) {
    const HandAngles three = TimeAngles(At(3, 0, 0, 0), true);
    EXPECT_EQ(three.hour, 90.0f);
    EXPECT_EQ(three.minute, 0.0f);
    const HandAngles afternoon = TimeAngles(At(15, 0, 0, 0), true);
    EXPECT_EQ(afternoon.hour, three.hour);
}

TEST(AngleToFloat, KeepsOrdinaryAnglesAsTheNearestFloat) {
    EXPECT_EQ(AngleToFloat(305.25416666666666), static_cast<float>(305.25416666666666));
    EXPECT_EQ(AngleToFloat(0.0), 0.0f);
    EXPECT_EQ(AngleToFloat(359.9999), static_cast<float>(359.9999));
    EXPECT_LT(AngleToFloat(359.99999999), 360.0f);
}

} // namespace
