#include "placement/schedule.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <random>
#include <vector>

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

TEST(Schedule, TimesTheTickForTheWidthOnScreenAtTheDpiAndASteppingOneForTheNextSecond) {
    FakeClock clock({0, 0, 1920, 1040}, {0, 0}, 320, 192);
    clock.settings.Size = 480; // 960 pixels at 192 DPI
    Schedule(clock.window, clock.settings, clock.dpi);
    EXPECT_EQ(clock.window.timers, (std::map<int, unsigned>{{TICK_TIMER, 80}}));
    clock.settings.Smooth = false;
    clock.window.localOffset = 12'345'678; // 678 ms into a second
    Schedule(clock.window, clock.settings, clock.dpi);
    EXPECT_EQ(clock.window.timers, (std::map<int, unsigned>{{TICK_TIMER, 327}}));
}

// Unseen (the session locked), neither a reschedule nor the end of a resize
// animation starts the tick.
TEST(Schedule, NoTickStartsWhileNobodyCanSeeTheClock) {
    FakeClock clock({0, 0, 1920, 1040}, {30, 40}, 320);
    Schedule(clock.window, clock.settings, clock.dpi);
    clock.window.inSight = false;
    Resize(clock.sizing(), 400);
    clock.Animate();
    EXPECT_EQ(clock.window.frames.back().width, 400);
    Schedule(clock.window, clock.settings, clock.dpi);
    EXPECT_EQ(clock.window.timers.count(TICK_TIMER), 0u);
}

TEST(Schedule, ASweepingTickKeepsItsTimerAndDrawsOnEveryFiringWhileShowing) {
    FakeClock clock({0, 0, 1920, 1040}, {30, 40}, 320);
    Schedule(clock.window, clock.settings, clock.dpi);
    for (const bool showing : {true, true, false, true}) {
        clock.window.now += 50;
        EXPECT_TRUE(Tick(clock.window, clock.settings, clock.dpi, showing));
        EXPECT_EQ(clock.window.set[TICK_TIMER], 0u); // never re-armed
    }
    ASSERT_EQ(clock.window.frames.size(), 3u);
    EXPECT_EQ(clock.window.frames[2].width, 320);
    EXPECT_EQ(clock.window.frames[2].topLeft, (ScreenPoint{30, 40}));
    EXPECT_FALSE(clock.window.frames[2].fast);
}

// The platform's timers fire late by up to tens of milliseconds, now and then
// a little early (their clock runs on a coarse system tick), and the local
// clock drifts against the tick count they run on. Over more than an hour,
// across midnight, the stepping tick still draws every second exactly once,
// in order, within a few tens of milliseconds after it began, and a hidden
// clock keeps its rhythm and draws again as soon as it shows.
TEST(Schedule, ASteppingTickDrawsEverySecondOnceJustAfterItBeginsHoweverItsTimerFires) {
    constexpr std::uint64_t DAY = FakeClockWindow::DAY_MS;
    constexpr int SECONDS = 4000;
    constexpr std::uint32_t LATEST_MS = 50; // into its second, for a timer up to 40 ms late
    for (const int drift : {-1, 0, 1}) {    // local clock ms per 2 s against the tick count
        SCOPED_TRACE(drift);
        FakeClock clock({0, 0, 1920, 1040}, {0, 0}, 320);
        clock.settings.Smooth = false;
        FakeClockWindow& window = clock.window;
        window.now = 777;
        window.localOffset = DAY - 1'800'000 - 777 + 321; // 23:30:00.321
        struct Drawn {
            std::uint32_t time; // local time of day
            bool afterHidden;   // the clock was hidden since the frame before
        };
        std::vector<Drawn> drawn;
        bool hidden = false;
        window.draw = [&](int, bool) {
            drawn.push_back({window.LocalTimeOfDay(), hidden});
            hidden = false;
        };
        std::mt19937 random(21 + drift);
        std::uniform_int_distribution<int> late(0, 40), early(1, 15), oneIn(0, 9), oneIn300(0, 299);
        Schedule(window, clock.settings, clock.dpi);
        int earlyFirings = 0, hiddenFirings = 0;
        std::uint64_t hiddenUntil = 0;
        while (window.now < std::uint64_t{SECONDS} * 1000) {
            const int jitter = oneIn(random) == 0 ? -early(random) : late(random);
            const std::int64_t due = window.set[TICK_TIMER] + window.timers[TICK_TIMER];
            window.now = std::max<std::int64_t>(due + jitter, window.now + 1); // time goes only forward
            if (oneIn(random) == 0) window.localOffset += drift;
            if (jitter < 0 && window.LocalTimeOfDay() % 1000 > 900) ++earlyFirings;
            if (window.now >= hiddenUntil && oneIn300(random) == 0) hiddenUntil = window.now + 3500;
            const bool showing = window.now >= hiddenUntil;
            ASSERT_TRUE(Tick(window, clock.settings, clock.dpi, showing));
            ASSERT_EQ(window.timers.size(), 1u);
            hiddenFirings += !showing;
            hidden = hidden || !showing;
        }
        ASSERT_GT(earlyFirings, 10); // the cases this test is for happened, often enough to count
        ASSERT_GT(hiddenFirings, 10);
        ASSERT_GT(drawn.size(), std::size_t{SECONDS} - hiddenFirings - 5);
        for (std::size_t k = 0; k < drawn.size(); ++k) {
            EXPECT_LE(drawn[k].time % 1000, LATEST_MS) << k;
            if (k == 0) continue;
            // The next second of the day; after a hidden spell, a later one.
            const std::uint32_t step = (drawn[k].time / 1000 + 86'400 - drawn[k - 1].time / 1000) % 86'400;
            if (drawn[k].afterHidden)
                EXPECT_GE(step, 1u) << k;
            else
                EXPECT_EQ(step, 1u) << k;
        }
    }
}

} // namespace
