// The DPI of a window (Win32 only).
#pragma once

#include <windows.h>

// GetDpiForWindow, with the 0 it reports for an invalid window read as 96.
unsigned WindowDpi(HWND window);
