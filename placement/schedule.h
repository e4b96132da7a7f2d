// The clock tick: how often the clock redraws for its settings and width.
#pragma once

#include "placement/clock_window.h"
#include "settings/settings.h"

// 50 ms up to 640 pixels, 80 ms up to 960, 125 ms above for a sweeping seconds
// hand; 1000 ms whenever the seconds hand is off or steps.
unsigned TickInterval(const Settings& settings, int pixels);

// (Re)starts the tick timer at the interval for the settings and the clock's
// width at `dpi`; one tick timer runs however often this is called.
void Schedule(ClockWindow& window, const Settings& settings, unsigned dpi);
