#include "placement/schedule.h"

#include "placement/size_model.h"

unsigned TickInterval(const Settings& settings, int pixels) {
    if (!settings.Seconds || !settings.Smooth) return 1000;
    // A sweeping hand on a larger clock costs more per frame, so it redraws less often.
    if (pixels <= 640) return 50;
    if (pixels <= 960) return 80;
    return 125;
}

unsigned TickDelay(const Settings& settings, int pixels, unsigned millisecond) {
    const unsigned interval = TickInterval(settings, pixels);
    if (interval != 1000) return interval;
    return 1000 - millisecond % 1000 + STEP_PAST_SECOND_MS;
}

void Schedule(ClockWindow& window, const Settings& settings, unsigned dpi) {
    window.StopTimer(TICK_TIMER);
    if (!window.InSight()) return; // scheduled again when somebody can see the clock
    window.StartTimer(TICK_TIMER,
                      TickDelay(settings, Pixels(settings.Size, dpi), window.LocalTimeOfDay() % 1000));
}

bool Tick(ClockWindow& window, const Settings& settings, unsigned dpi, bool showing) {
    const int pixels = Pixels(settings.Size, dpi);
    // A timer fires on the system's tick, a little late each time: a stepping
    // one that kept its interval would slip until its hand skipped a second.
    // A sweeping one keeps its interval and needs no time here.
    if (TickInterval(settings, pixels) == 1000) {
        const unsigned millisecond = window.LocalTimeOfDay() % 1000;
        window.StartTimer(TICK_TIMER, TickDelay(settings, pixels, millisecond));
        if (millisecond >= 1000 - STEP_EARLY_MS) return true;
    }
    if (!showing) return true;
    const ScreenRect rect = window.Rect();
    return window.Present(pixels, {rect.left, rect.top}, false);
}
