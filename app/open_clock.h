// The clock's own start: one instance per logon, the window classes, the
// layered clock window with its first frame, the icon and the tick; then the
// message loop and the orderly shutdown.
#pragma once

#include <windows.h>

// A start-up failure shown to the user, owned by `owner` (may be null).
using OwnedErrorBox = void (*)(HWND owner, const wchar_t* message);
void ShowOwnedError(HWND owner, const wchar_t* message);

// Claims the single-instance mutex into `mutex`. False when another clock
// already holds it: that clock was allowed to take the foreground and asked
// to show itself (when its window exists), and this process should end. A mutex that cannot be made at all
// leaves `mutex` null and lets this process run unguarded.
bool ClaimSingleInstance(HANDLE& mutex);

// Common controls for the size dialog's slider, and the clock and size
// dialog window classes of `module`.
void RegisterClasses(HINSTANCE module);

// Creates the clock window, settles its DPI and size, places it, draws and
// shows the first frame, adds the notification icon and starts the tick.
// Returns 0, EXIT_NO_WINDOW, or EXIT_NO_FIRST_FRAME after showing the
// display message and destroying the window.
int OpenClock(OwnedErrorBox showError);

// Runs the message loop until the clock window is destroyed; the size
// dialog's keyboard navigation goes through IsDialogMessageW.
void RunMessageLoop();

// Releases the presentation surface, the renderer, the face, the mutex and GDI+.
void ShutDown(HANDLE mutex);
