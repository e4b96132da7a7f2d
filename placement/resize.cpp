#include "placement/resize.h"

#include <cmath>
#include <limits>

#include "placement/schedule.h"
#include "placement/size_model.h"

namespace {

// A non-negative width to the nearest integer, halves up: truncate, then
// compare the exact remainder (no x + 0.5, which rounds 0.49999999999999994 up).
int RoundWidth(double width) {
    if (!(width > 0)) return 0;
    if (width >= std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    const double whole = std::trunc(width);
    return static_cast<int>(whole) + (width - whole >= 0.5 ? 1 : 0);
}

// Lowers the size to what `workArea` holds.
void ApplyMonitorCap(Sizing sizing, const ScreenRect& workArea) {
    const int cap = MonitorCap(workArea, sizing.dpi);
    if (sizing.settings.Size > cap) sizing.settings.Size = cap;
}

} // namespace

int MonitorCap(const ScreenRect& workArea, unsigned dpi) {
    std::int64_t edge = workArea.Width() < workArea.Height() ? workArea.Width() : workArea.Height();
    if (edge < 0) edge = 0;
    if (edge > std::numeric_limits<std::int32_t>::max()) edge = std::numeric_limits<std::int32_t>::max();
    const unsigned d = velmor::size::KnownDpi(dpi);
    const std::int32_t divisor = d > static_cast<unsigned>(std::numeric_limits<std::int32_t>::max())
                                     ? std::numeric_limits<std::int32_t>::max()
                                     : static_cast<std::int32_t>(d);
    const std::int32_t cap = MulDivRound(static_cast<std::int32_t>(edge), 96, divisor);
    return cap < velmor::size::SMALLEST ? velmor::size::SMALLEST : cap;
}

int EasedWidth(const ResizeMotion& motion, double elapsed) {
    const double f = elapsed / ANIMATION_MS;
    const double eased = (3 - 2 * f) * f * f; // smoothstep: gentle start and end
    return RoundWidth(motion.from + (motion.to - motion.from) * eased);
}

void Resize(Sizing sizing, int size) {
    const ScreenRect rect = sizing.window.Rect();
    const double width = static_cast<double>(rect.Width());
    // While an animation runs the first request's centre stays, so a series of
    // wheel notches grows the clock about one fixed point.
    if (!sizing.resizeMotion.active)
        sizing.resizeCenter2 = {static_cast<std::int32_t>(std::int64_t{rect.left} + rect.right),
                                static_cast<std::int32_t>(std::int64_t{rect.top} + rect.bottom)};
    sizing.settings.Size = ClampSize(size, sizing.dpi);
    ApplyMonitorCap(sizing, sizing.window.WorkArea(rect));

    const std::uint64_t now = sizing.window.Milliseconds();
    const int target = Pixels(sizing.settings.Size, sizing.dpi);
    sizing.resizeMotion = {width, static_cast<double>(target), now, width != target};

    sizing.window.StopTimer(TICK_TIMER);
    if (sizing.resizeMotion.active) {
        sizing.window.StartTimer(ANIMATION_TIMER, FRAME_MS);
    } else {
        sizing.window.StopTimer(ANIMATION_TIMER);
        Schedule(sizing.window, sizing.settings, sizing.dpi);
    }
    sizing.window.SizeShown();
    sizing.window.StartTimer(SAVE_TIMER, SAVE_DELAY_MS);
}

ScreenPoint ResizePosition(Sizing sizing, int width) {
    const ScreenRect workArea = sizing.window.WorkArea(sizing.window.Rect());
    // Integer division rounds toward zero, also left of or above the primary monitor.
    const std::int64_t x = (std::int64_t{sizing.resizeCenter2.x} - width) / 2;
    const std::int64_t y = (std::int64_t{sizing.resizeCenter2.y} - width) / 2;
    return {KeepInside(x, width, workArea.left, workArea.right),
            KeepInside(y, width, workArea.top, workArea.bottom)};
}

void TickResize(Sizing sizing) {
    const ResizeMotion& motion = sizing.resizeMotion;
    if (!motion.active) return;
    const std::uint64_t now = sizing.window.Milliseconds();
    int width;
    if (now < motion.start) {
        width = RoundWidth(motion.from);
    } else {
        const double elapsed = static_cast<double>(now - motion.start);
        if (elapsed / ANIMATION_MS > 1 || elapsed >= ANIMATION_MS) {
            FinishResize(sizing);
            return;
        }
        width = EasedWidth(motion, elapsed);
    }
    // Only a frame whose width changes on screen is drawn.
    if (sizing.window.Rect().Width() == width) return;
    sizing.window.Present(width, ResizePosition(sizing, width), true);
}

void FinishResize(Sizing sizing) {
    if (!sizing.resizeMotion.active) return;
    sizing.resizeMotion.active = false;
    sizing.window.StopTimer(ANIMATION_TIMER);
    const int width = Pixels(sizing.settings.Size, sizing.dpi);
    sizing.window.Present(width, ResizePosition(sizing, width), false);
    Schedule(sizing.window, sizing.settings, sizing.dpi);
    sizing.window.SizeShown();
}

void StopResize(Sizing sizing) {
    sizing.resizeMotion.active = false;
    sizing.window.StopTimer(ANIMATION_TIMER);
}

void KeepVisible(Sizing sizing, bool center) {
    const ScreenRect rect = sizing.window.Rect();
    const ScreenRect workArea = sizing.window.WorkArea(rect);
    ApplyMonitorCap(sizing, workArea);
    const int px = Pixels(sizing.settings.Size, sizing.dpi);
    ScreenPoint topLeft{rect.left, rect.top};
    if (center)
        topLeft = {static_cast<std::int32_t>(workArea.left + (workArea.Width() - px) / 2),
                   static_cast<std::int32_t>(workArea.top + (workArea.Height() - px) / 2)};
    topLeft = KeepInside(topLeft, px, px, workArea);
    sizing.window.SetTopmost(sizing.settings.AlwaysOnTop);
    sizing.window.Present(px, topLeft, false);
}
