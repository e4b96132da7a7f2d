// The clock window on GTK: an undecorated, per-pixel transparent toplevel on
// every workspace, out of the taskbar and pager, with its events (drag, wheel,
// menu, timers, scale and monitor changes) handed to the clock's rules.
#pragma once

#include <gtk/gtk.h>

#include <string>

// Process exit codes of the clock.
inline constexpr int EXIT_NO_ARTWORK = 2;
inline constexpr int EXIT_NO_WINDOW = 3;
inline constexpr int EXIT_NO_FIRST_FRAME = 4;

// Creates, places, draws and shows the clock window for `cfg` and starts its
// tick; 0, or the exit code of what failed.
int OpenClock();

// Closes the clock: the window goes, the settings are saved once and the
// program ends.
void CloseClock();

// A message box with the program's title, owned by nothing (the clock may be hidden).
void ShowMessage(const std::string& text, GtkMessageType type);
