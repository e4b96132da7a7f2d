// The clock window's procedure: every outside event reaches the clock here.
#pragma once

#include <windows.h>

// Where the once-only "layered rendering failed" line goes; the debugger
// output unless a test captures it.
using DebugLine = void (*)(const wchar_t* line);
extern DebugLine debugLine;

LRESULT CALLBACK ClockProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
