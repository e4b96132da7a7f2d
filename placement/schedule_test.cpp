#include "placement/schedule.h"

#include <gtest/gtest.h>

#include <map>

#include "placement/fake_clock_window.h"

namespace {

TEST(Schedule, IntervalGrowsWithTheWidthOnlyForASweepingHand) {
    struct Case {
        bool seconds, smooth;
        int pixels;
        unsigned interval;
    };
    const Case cases[] = {{true, true, 160, 50},    {true, true, 640, 50},    {true, true, 641, 80},
                          {true, true, 960, 80},    {true, true, 961, 125},   {true, true, 1200, 125},
                          {true, false, 320, 1000}, {false, true, 320, 1000}, {false, false, 1200, 1000}};
    for (const Case& c : cases) {
        Settings settings;
        settings.Seconds = c.seconds;
        settings.Smooth = c.smooth;
        EXPECT_EQ(TickInterval(settings, c.pixels), c.interval) << c.seconds << c.smooth << " " << c.pixels;
    }
}

TEST(Schedule, StepsFireJustPastTheNextWholeSecondSweepsKeepTheirInterval) {
    Settings stepping;
    stepping.Smooth = false;
    Settings sweeping;
    struct Case {
        const Settings& settings;
        unsigned millisecond, delay;
    };
    const Case cases[] = {{stepping, 0, 1005}, {stepping, 4, 1001}, {stepping, 5, 1000},
                          {stepping, 20, 985}, {stepping, 995, 10}, {stepping, 999, 6},
                          {stepping, 1999, 6}, {sweeping, 0, 50},   {sweeping, 999, 50}};
    for (const Case& c : cases)
        EXPECT_EQ(TickDelay(c.settings, 320, c.millisecond), c.delay) << c.millisecond;
}

TEST(Schedule, TimesTheTickForTheWidthOnScreenAtTheDpi) {
    FakeClock clock({0, 0, 1920, 1040}, {0, 0}, 320, 192);
    clock.settings.Size = 480; // 960 pixels at 192 DPI
    Schedule(clock.window, clock.settings, clock.dpi);
    EXPECT_EQ(clock.window.timers, (std::map<int, unsigned>{{TICK_TIMER, 80}}));
}

} // namespace
