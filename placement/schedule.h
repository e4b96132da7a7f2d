// The clock tick: how often the clock redraws for its settings and width.
#pragma once

#include "placement/clock_window.h"
#include "settings/settings.h"

// 50 ms up to 640 pixels, 80 ms up to 960, 125 ms above for a sweeping seconds
// hand; 1000 ms whenever the seconds hand is off or steps.
unsigned TickInterval(const Settings& settings, int pixels);

// How long after each whole second of the local clock a stepping tick fires:
// late enough that the second has changed when it draws, soon enough that
// nobody sees the hand lag.
inline constexpr unsigned STEP_PAST_SECOND_MS = 5;

// A timer runs on the system's coarse tick and may fire up to one such tick
// before it is due: a stepping tick that fires this close before a whole
// second is taken for that second's tick, draws nothing and comes back just
// after it.
inline constexpr unsigned STEP_EARLY_MS = 20;

// Milliseconds from a moment `millisecond` (0..999) into the local clock's
// second until the next tick: a sweeping hand's interval, or for a stepping
// clock the way to STEP_PAST_SECOND_MS past the next whole second. Re-armed
// on every tick, a stepping clock draws each second once, just after it
// begins, however late each timer fires; never less than the margin, so a
// timer that fires a moment early comes back just after the second instead of
// skipping it.
unsigned TickDelay(const Settings& settings, int pixels, unsigned millisecond);

// (Re)starts the tick timer for the settings and the clock's width at `dpi`:
// a sweeping hand's interval, or for a stepping clock the delay to just past
// the next whole second of the window's local clock. One tick timer runs
// however often this is called.
void Schedule(ClockWindow& window, const Settings& settings, unsigned dpi);

// One firing of the tick timer. A stepping tick is re-armed for just past the
// next whole second of the local clock (a sweeping one keeps its interval).
// When `showing`, the frame for now is drawn where the window is, except by a
// stepping tick in the last STEP_EARLY_MS of a second. False when the drawing
// failed.
bool Tick(ClockWindow& window, const Settings& settings, unsigned dpi, bool showing);
