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

TEST(Schedule, TimesTheTickForTheWidthOnScreenAtTheDpi) {
    FakeClock clock({0, 0, 1920, 1040}, {0, 0}, 320, 192);
    clock.settings.Size = 480; // 960 pixels at 192 DPI
    Schedule(clock.window, clock.settings, clock.dpi);
    EXPECT_EQ(clock.window.timers, (std::map<int, unsigned>{{TICK_TIMER, 80}}));
}

} // namespace
