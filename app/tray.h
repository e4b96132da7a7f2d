// The notification-area icon, and bringing a hidden clock back (Win32).
#pragma once

#include <windows.h>

// Fills `tray` afresh for the clock window and adds the icon with version 4
// callbacks; returns the last Shell_NotifyIconW result. Also called again when
// the shell announces a new taskbar.
BOOL AddTray();

// Shows the clock without activating it, keeps it on its monitor and draws it;
// the result of the drawing.
bool ShowClock();
