// A clock window without a window system, for the placement tests: monitors
// with their work areas, a millisecond clock the test sets (the local clock
// runs `localOffset` ahead of it), and a record of the timers, when each was
// last started, the z-order and every frame presented.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "placement/resize.h"

struct PresentedFrame {
    int width;
    ScreenPoint topLeft;
    bool fast;
};

class FakeClockWindow final : public ClockWindow {
  public:
    static constexpr std::uint64_t DAY_MS = 86'400'000;
    std::vector<ScreenRect> screens, workAreas; // monitor k: its screen and its work area
    ScreenRect rect;
    std::uint64_t now = 0;
    std::uint64_t localOffset = 0;    // local time of day = now + localOffset, modulo a day
    std::map<int, unsigned> timers;   // running timers: id -> interval
    std::map<int, std::uint64_t> set; // id -> `now` when it was last started
    std::vector<PresentedFrame> frames;
    bool topmost = false;
    bool inSight = true;
    int sizeShown = 0;
    std::function<void(int width, bool fast)> draw; // given each frame presented, if set

    ScreenRect Rect() override { return rect; }
    // The monitor sharing the most area with `r`, else the one the least far
    // from it: the platform's nearest monitor to a rectangle.
    ScreenRect WorkArea(const ScreenRect& r) override {
        const auto score = [&r](const ScreenRect& s) {
            const std::int64_t w = std::int64_t{std::min(r.right, s.right)} - std::max(r.left, s.left);
            const std::int64_t h = std::int64_t{std::min(r.bottom, s.bottom)} - std::max(r.top, s.top);
            return w > 0 && h > 0 ? w * h : std::min<std::int64_t>(w, 0) + std::min<std::int64_t>(h, 0);
        };
        std::size_t best = 0;
        for (std::size_t k = 1; k < screens.size(); ++k)
            if (score(screens[k]) > score(screens[best])) best = k;
        return workAreas[best];
    }
    std::uint64_t Milliseconds() override { return now; }
    std::uint32_t LocalTimeOfDay() override {
        return static_cast<std::uint32_t>((now + localOffset) % DAY_MS);
    }
    bool InSight() override { return inSight; }
    void StartTimer(int id, unsigned interval) override {
        timers[id] = interval;
        set[id] = now;
    }
    void StopTimer(int id) override { timers.erase(id); }
    void SetTopmost(bool value) override { topmost = value; }
    bool Present(int width, ScreenPoint topLeft, bool fast) override {
        if (draw) draw(width, fast);
        frames.push_back({width, topLeft, fast});
        rect = {topLeft.x, topLeft.y, topLeft.x + width, topLeft.y + width};
        return true;
    }
    void SizeShown() override { ++sizeShown; }
};

// A clock `width` pixels wide at `topLeft` on one monitor that is all work
// area, with the default settings at `dpi`.
struct FakeClock {
    FakeClockWindow window;
    Settings settings;
    unsigned dpi;
    ScreenPoint resizeCenter2;
    ResizeMotion resizeMotion;

    FakeClock(ScreenRect area, ScreenPoint topLeft, int width, unsigned dpiValue = 96) : dpi(dpiValue) {
        window.screens = window.workAreas = {area};
        window.rect = {topLeft.x, topLeft.y, topLeft.x + width, topLeft.y + width};
    }
    Sizing sizing() { return {window, settings, dpi, resizeCenter2, resizeMotion}; }

    // Fires the animation timer every 16 ms, as the window does, until the animation ends.
    void Animate() {
        while (resizeMotion.active) {
            window.now += FRAME_MS;
            TickResize(sizing());
        }
    }
};
