// Shell globals shared by the application's parts; all used on the one UI thread.
#pragma once

#include <windows.h>

#include <shellapi.h>

extern HINSTANCE instance;  // the module, set first thing in wWinMain; null before
extern ULONG_PTR gdipToken; // GDI+ start-up token, 0 until GDI+ runs
extern HWND windowHandle;   // the clock window, null until it is created
extern UINT taskbarCreated; // id of the "TaskbarCreated" message, 0 until registered
extern bool visible;        // the user's show/hide choice
extern bool initializing;   // true until the clock window exists and its size is clamped

// The size dialog and its controls; all null while the dialog is closed.
extern HWND sizeWindow;
extern HWND sizeSlider;
extern HWND sizeLabel;
extern HFONT sizeFont;

// The notification icon's record, filled by each AddTray, used again to remove it.
extern NOTIFYICONDATAW tray;
