#include "placement/resize.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>

#include "placement/fake_clock_window.h"
#include "placement/size_model.h"

namespace {

using Timers = std::map<int, unsigned>;
const ScreenRect FULL_HD{0, 0, 1920, 1040};
const ScreenRect RIGHT_OF_IT{1920, 0, 2720, 600};

// A clock `width` wide at `topLeft` asks for `request`: it ends at `size` (cfg.Size) as `ended`.
struct RequestCase {
    const char* name;
    ScreenRect area;
    ScreenPoint topLeft;
    int width;
    unsigned dpi;
    int request, size;
    ScreenRect ended;
    bool twoMonitors = false; // RIGHT_OF_IT beside `area`
};

const RequestCase REQUESTS[] = {
    {"centre stays", FULL_HD, {100, 100}, 320, 96, 332, 332, {94, 94, 426, 426}},
    {"largest size", FULL_HD, {100, 100}, 320, 96, 2000, 900, {0, 0, 900, 900}},
    {"smaller edge caps", {0, 0, 800, 600}, {100, 100}, 320, 96, 2000, 600, {0, 0, 600, 600}},
    {"area below 160", {50, 60, 170, 160}, {50, 60}, 240, 96, 300, 160, {50, 60, 210, 220}},
    {"narrower than the clock", {0, 0, 800, 1040}, {0, 0}, 900, 96, 910, 800, {0, 50, 800, 850}},
    {"INT_MIN", FULL_HD, {100, 100}, 320, 96, INT_MIN, 160, {180, 180, 340, 340}},
    {"INT_MAX, cap at 144 DPI", FULL_HD, {100, 100}, 320, 144, INT_MAX, 693, {0, 0, 1040, 1040}},
    // Left of and above the primary: halves of odd sums round toward zero.
    {"negative", {-1920, -1080, 0, -40}, {-400, -600}, 320, 96, 333, 333, {-406, -606, -73, -273}},
    {"spanning, mostly left", FULL_HD, {1700, 100}, 320, 96, 2000, 900, {1020, 0, 1920, 900}, true},
    {"spanning, mostly right", FULL_HD, {1800, 100}, 320, 96, 2000, 600, {1920, 0, 2520, 600}, true},
};

TEST(Resize, RequestsEndAtTheLimitedSizeAboutTheFirstCentreInsideTheWorkArea) {
    for (const RequestCase& c : REQUESTS) {
        SCOPED_TRACE(c.name);
        FakeClock clock(c.area, c.topLeft, c.width, c.dpi);
        if (c.twoMonitors) clock.window.screens = clock.window.workAreas = {c.area, RIGHT_OF_IT};
        Resize(clock.sizing(), c.request);
        EXPECT_EQ(clock.settings.Size, c.size);
        clock.Animate();
        EXPECT_EQ(clock.window.rect, c.ended);
        const auto& frames = clock.window.frames;
        ASSERT_GE(frames.size(), 2u);
        for (std::size_t k = 0; k < frames.size(); ++k)
            EXPECT_EQ(frames[k].fast, k + 1 < frames.size()) << k;
    }
}

TEST(Resize, AnimationEasesOverItsLengthThenDrawsOneFullQualityFrame) {
    FakeClock clock(FULL_HD, {100, 100}, 320);
    FakeClockWindow& window = clock.window;
    window.now = 1000;
    Resize(clock.sizing(), 420);
    EXPECT_EQ(window.timers, (Timers{{SAVE_TIMER, 400}, {ANIMATION_TIMER, 16}}));
    // No time yet or a clock that went back: 320 wide, nothing drawn. Then
    // smoothstep: slow at first, halfway at half the time, the target at the end.
    const std::pair<std::uint64_t, PresentedFrame> steps[] = {{1000, {}},
                                                              {999, {}},
                                                              {1016, {324, {98, 98}, true}},
                                                              {1065, {370, {75, 75}, true}},
                                                              {1129, {420, {50, 50}, true}},
                                                              {1130, {420, {50, 50}, false}}};
    for (const auto& [now, frame] : steps) {
        window.now = now;
        TickResize(clock.sizing());
        if (frame.width == 0) continue;
        SCOPED_TRACE(now);
        EXPECT_EQ(window.frames.back().width, frame.width);
        EXPECT_EQ(window.frames.back().topLeft, frame.topLeft);
        EXPECT_EQ(window.frames.back().fast, frame.fast);
    }
    EXPECT_EQ(window.frames.size(), 4u);
    EXPECT_FALSE(clock.resizeMotion.active);
    EXPECT_EQ(window.timers, (Timers{{TICK_TIMER, 50}, {SAVE_TIMER, 400}}));
    EXPECT_EQ(window.sizeShown, 2); // the request and the end
    FinishResize(clock.sizing());
    EXPECT_EQ(window.frames.size(), 4u); // nothing is left to finish
}

TEST(Resize, QuickRequestsKeepTheFirstCentreAndRestartFromTheWidthOnScreen) {
    FakeClock clock(FULL_HD, {100, 100}, 320);
    for (std::uint64_t now : {0, 20, 40}) {
        clock.window.now = now;
        Resize(clock.sizing(), clock.settings.Size + 12); // one wheel notch
        EXPECT_EQ(clock.resizeMotion.from, clock.window.rect.Width());
        EXPECT_EQ(clock.resizeMotion.start, now);
        clock.window.now = now + 16;
        TickResize(clock.sizing());
    }
    clock.Animate();
    EXPECT_EQ(clock.settings.Size, 356);
    EXPECT_EQ(clock.window.rect, (ScreenRect{82, 82, 438, 438}));
}

TEST(Resize, ARequestForTheWidthOnScreenDrawsNothingButRetimesAndSaves) {
    FakeClock clock(FULL_HD, {100, 100}, 320);
    clock.settings.Smooth = false;
    Resize(clock.sizing(), 320);
    EXPECT_FALSE(clock.resizeMotion.active);
    EXPECT_TRUE(clock.window.frames.empty());
    // The stepping tick is due just past the next whole second of the local clock.
    EXPECT_EQ(clock.window.timers, (Timers{{TICK_TIMER, 1005}, {SAVE_TIMER, 400}}));
    // Mid-animation, asking for the width drawn last stops the animation there.
    Resize(clock.sizing(), 500);
    clock.window.now = 65;
    TickResize(clock.sizing());
    Resize(clock.sizing(), static_cast<int>(clock.window.rect.Width()));
    EXPECT_FALSE(clock.resizeMotion.active);
    EXPECT_EQ(clock.window.frames.size(), 1u);
    EXPECT_EQ(clock.window.timers, (Timers{{TICK_TIMER, 940}, {SAVE_TIMER, 400}}));
}

struct KeepCase {
    const char* name;
    ScreenRect area;
    ScreenPoint topLeft;
    int size;
    bool center, onTop;
    int endSize;
    ScreenPoint placed;
};

const KeepCase KEEPS[] = {
    {"centred", FULL_HD, {500, 500}, 320, true, false, 320, {800, 360}},
    {"half off the right edge", FULL_HD, {1760, 100}, 320, false, true, 320, {1600, 100}},
    {"left of and above the primary", {-1920, -1080, 0, -40}, {0, 0}, 320, true, false, 320, {-1120, -720}},
    {"area narrower than the clock", {0, 0, 800, 600}, {300, 200}, 900, false, true, 600, {200, 0}},
    {"area below 160, centred", {30, 40, 150, 140}, {0, 0}, 320, true, false, 160, {30, 40}},
};

TEST(KeepVisible, FitsTheSizeAndPlacesTheClockInsideTheWorkArea) {
    for (const KeepCase& c : KEEPS) {
        SCOPED_TRACE(c.name);
        FakeClock clock(c.area, c.topLeft, Pixels(c.size, 96));
        clock.settings.Size = c.size;
        clock.settings.AlwaysOnTop = c.onTop;
        KeepVisible(clock.sizing(), c.center);
        EXPECT_EQ(clock.settings.Size, c.endSize);
        EXPECT_EQ(clock.window.topmost, c.onTop);
        ASSERT_EQ(clock.window.frames.size(), 1u);
        EXPECT_EQ(clock.window.frames[0].width, c.endSize);
        EXPECT_EQ(clock.window.frames[0].topLeft, c.placed);
        EXPECT_FALSE(clock.window.frames[0].fast);
    }
}

} // namespace
