#include "presentation/frame_request.h"

#include <gtest/gtest.h>

namespace {

TEST(FrameOptions, DefaultsDrawEverythingAtThePaintedStrength) {
    const velmor::Options options = FrameOptions(DEFAULT_SETTINGS);
    EXPECT_TRUE(options.seconds);
    EXPECT_TRUE(options.smooth);
    EXPECT_TRUE(options.shadows);
    EXPECT_TRUE(options.crystal);
    EXPECT_EQ(options.reflection, 1.0);
}

TEST(FrameOptions, EachSwitchReachesItsOwnOption) {
    Settings s = DEFAULT_SETTINGS;
    s.Seconds = false;
    EXPECT_FALSE(FrameOptions(s).seconds);
    EXPECT_TRUE(FrameOptions(s).smooth);
    s = DEFAULT_SETTINGS;
    s.Smooth = false;
    EXPECT_FALSE(FrameOptions(s).smooth);
    EXPECT_TRUE(FrameOptions(s).seconds);
    s = DEFAULT_SETTINGS;
    s.Shadows = false;
    EXPECT_FALSE(FrameOptions(s).shadows);
    EXPECT_TRUE(FrameOptions(s).crystal);
    s = DEFAULT_SETTINGS;
    s.Crystal = false;
    EXPECT_FALSE(FrameOptions(s).crystal);
    EXPECT_TRUE(FrameOptions(s).shadows);
}

TEST(FrameOptions, StrengthIsThePercentageOverAHundred) {
    Settings s = DEFAULT_SETTINGS;
    s.ReflectionStrength = 135;
    EXPECT_DOUBLE_EQ(FrameOptions(s).reflection, 1.35);
    s.ReflectionStrength = 50;
    EXPECT_EQ(FrameOptions(s).reflection, 0.5);
}

} // namespace
