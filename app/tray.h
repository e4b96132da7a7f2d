// The notification-area icon, and bringing a hidden clock back (Win32).
#pragma once

#include <windows.h>

#include <shellapi.h>

// Where the icon's records go: the shell, unless a test stands in for it.
using NotifyIconFunction = BOOL(WINAPI*)(DWORD message, PNOTIFYICONDATAW data);
extern NotifyIconFunction notifyIcon;

// A shell that is running but busy at logon can refuse the icon, and then no
// "TaskbarCreated" follows: the add is tried again (LOGON_RETRY_MS, LOGON_RETRIES).

// Fills `tray` afresh for the clock window, with the small icon at the size
// the shell shows, adds it and asks for version 4 callbacks; returns the last
// result. When the add fails, TRAY_TIMER tries again. Also called when the
// shell announces a new taskbar.
BOOL AddTray();

// TRAY_TIMER: one more try of a failed add. The timer stops at the first
// success, which then asks for version 4, or after the last try.
void RetryTray();

// Loads the icon again at the size the shell shows now and hands it over
// (after a DPI change).
void RefreshTrayIcon();

// Removes the icon and releases its image: the clock is closing.
void RemoveTray();

// The icon's callback message. Version 4 carries the event in lParam's low
// word and the icon's id in its high word, the anchor point (the icon, or the
// click) in wParam: the menu opens there, whether asked for by mouse or
// keyboard, and afterwards the keyboard focus goes back to the icon; a click
// or Enter on the icon brings the clock forward.
void TrayEvent(WPARAM wParam, LPARAM lParam);

// Shows the clock without activating it, keeps it on its monitor and draws it;
// the result of the drawing.
bool ShowClock();

// Shows the clock and makes it the foreground window: the user asked for it
// (the icon, a second start).
void BringClockForward();
