#include "app/timer_period.h"

TimerPeriodCall beginTimerPeriod = timeBeginPeriod;
TimerPeriodCall endTimerPeriod = timeEndPeriod;

namespace {

bool held = false;

} // namespace

void HoldFineTimerPeriod() {
    if (held) return;
    held = beginTimerPeriod(FINE_TIMER_PERIOD_MS) == TIMERR_NOERROR;
}

void ReleaseFineTimerPeriod() {
    if (!held) return;
    endTimerPeriod(FINE_TIMER_PERIOD_MS);
    held = false;
}

bool FineTimerPeriodHeld() {
    return held;
}
