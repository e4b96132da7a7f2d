// The clock window's timers (ids from placement/clock_window.h) on the GLib
// main loop: one source per id, restarted or stopped by id, each firing handed
// to one handler.
#pragma once

// Polls the pointer while the window manager moves the clock: the move is over
// when the left button is up.
inline constexpr int DRAG_TIMER = 5;
inline constexpr unsigned DRAG_POLL_MS = 50;

using TimerHandler = void (*)(int id);

// The handler every timer's firing goes to.
void SetTimerHandler(TimerHandler handler);

// (Re)starts timer `id` to fire every `interval` ms; stops it.
void StartTimer(int id, unsigned interval);
void StopTimer(int id);
void StopAllTimers();
