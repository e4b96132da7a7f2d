// The clock window's timers (ids from placement/clock_window.h) on the GLib
// main loop: one source per id, restarted or stopped by id, each firing handed
// to one handler.
#pragma once

#include <cstdint>

// Polls the pointer while the window manager moves the clock: the move is over
// when the left button is up. An id after the shared ones.
inline constexpr int DRAG_TIMER = 7;
inline constexpr unsigned DRAG_POLL_MS = 50;

// The main loop's clock in milliseconds (monotonic), the time the placement
// rules count in.
std::uint64_t Milliseconds();

using TimerHandler = void (*)(int id);

// The handler every timer's firing goes to.
void SetTimerHandler(TimerHandler handler);

// (Re)starts timer `id` to fire every `interval` ms; stops it.
void StartTimer(int id, unsigned interval);
void StopTimer(int id);
void StopAllTimers();
