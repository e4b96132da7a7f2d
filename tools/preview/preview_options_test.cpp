#include "tools/preview/preview_options.h"

#include <gtest/gtest.h>

namespace {

using velmor::preview::Command;
using velmor::preview::parse;
using velmor::preview::parseTime;

TEST(PreviewOptions, TimesWithAndWithoutMilliseconds) {
    velmor::Time t;
    ASSERT_TRUE(parseTime("10:08:37", t));
    EXPECT_EQ(t.hour, 10);
    EXPECT_EQ(t.minute, 8);
    EXPECT_EQ(t.second, 37);
    EXPECT_EQ(t.millisecond, 0);
    ASSERT_TRUE(parseTime("23:59:59.999", t));
    EXPECT_EQ(t.millisecond, 999);
    ASSERT_TRUE(parseTime("00:00:00.5", t));
    EXPECT_EQ(t.millisecond, 500);
    ASSERT_TRUE(parseTime("00:00:00.05", t));
    EXPECT_EQ(t.millisecond, 50);
    for (const char* bad : {"24:00:00", "12:60:00", "12:00:60", "1:02:03", "12:00:00.", "12:00:00.1234",
                            "12:00:00,5", "ab:cd:ef", ""})
        EXPECT_FALSE(parseTime(bad, t)) << bad;
}

TEST(PreviewOptions, FrameWithEveryOption) {
    Command c;
    std::string error;
    ASSERT_TRUE(parse({"frame", "--size", "640", "--time", "03:15:45.250", "--no-crystal", "--no-shadows",
                       "--no-seconds", "--no-smooth", "--reflection", "150", "--fast", "--resources", "/r",
                       "out.png"},
                      c, error))
        << error;
    EXPECT_EQ(c.kind, Command::Kind::Frame);
    EXPECT_EQ(c.size, 640);
    EXPECT_EQ(c.time.millisecond, 250);
    EXPECT_FALSE(c.options.crystal);
    EXPECT_FALSE(c.options.shadows);
    EXPECT_FALSE(c.options.seconds);
    EXPECT_FALSE(c.options.smooth);
    EXPECT_DOUBLE_EQ(c.options.reflection, 1.5);
    EXPECT_TRUE(c.fast);
    EXPECT_EQ(c.resources, "/r");
    EXPECT_EQ(c.output, "out.png");
}

TEST(PreviewOptions, DefaultsKeepEveryLayerOn) {
    Command c;
    std::string error;
    ASSERT_TRUE(parse({"frame", "out.png", "--time", "12:00:00", "--size", "160"}, c, error)) << error;
    EXPECT_TRUE(c.options.crystal && c.options.shadows && c.options.seconds && c.options.smooth);
    EXPECT_DOUBLE_EQ(c.options.reflection, 1.0);
    EXPECT_FALSE(c.fast);
    ASSERT_TRUE(parse({"sheet", "--resources", "dir", "s.png"}, c, error)) << error;
    EXPECT_EQ(c.kind, Command::Kind::Sheet);
    EXPECT_EQ(c.output, "s.png");
}

TEST(PreviewOptions, RejectsWhatItDoesNotUnderstand) {
    std::string error;
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"draw", "out.png"},
        {"frame", "--size", "320", "out.png"},                        // no time
        {"frame", "--time", "12:00:00", "out.png"},                   // no size
        {"frame", "--size", "159", "--time", "12:00:00", "out.png"},  // below the range
        {"frame", "--size", "1201", "--time", "12:00:00", "out.png"}, // above it
        {"frame", "--size", "320", "--time", "12:00:00"},             // no output
        {"frame", "--size", "320", "--time", "12:00:00", "a.png", "b.png"},
        {"frame", "--size", "320", "--time", "12:00:00", "--bogus", "a.png"},
        {"frame", "--size", "320", "--time", "12:00:00", "--reflection", "x", "a.png"},
        {"sheet", "--size", "320", "a.png"}, // frame options only
        {"sheet", "--resources"},
    };
    for (const auto& args : bad) {
        Command c;
        EXPECT_FALSE(parse(args, c, error)) << (args.empty() ? "(none)" : args[0]) << " " << args.size();
        EXPECT_FALSE(error.empty());
        error.clear();
    }
}

} // namespace
