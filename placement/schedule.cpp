#include "placement/schedule.h"

#include "placement/size_model.h"

unsigned TickInterval(const Settings& settings, int pixels) {
    if (!settings.Seconds || !settings.Smooth) return 1000;
    // A sweeping hand on a larger clock costs more per frame, so it redraws less often.
    if (pixels <= 640) return 50;
    if (pixels <= 960) return 80;
    return 125;
}

void Schedule(ClockWindow& window, const Settings& settings, unsigned dpi) {
    window.StopTimer(TICK_TIMER);
    window.StartTimer(TICK_TIMER, TickInterval(settings, Pixels(settings.Size, dpi)));
}
