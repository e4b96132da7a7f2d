// The size dialog: a small modeless window with a slider for the clock's size
// (Win32). At most one is open; it lives in `sizeWindow`.
#pragma once

#include <windows.h>

// Opens the dialog over the clock's top-left corner, inside the work area, or
// brings the open one to the front.
void OpenSizeDialog();

// Sizes the open dialog for its client area at `dialogDpi`, the DPI of the
// monitor it is on, inside that monitor's work area, and lays it out for it.
void FitSizeDialog(HWND dialog, unsigned dialogDpi);

LRESULT CALLBACK SizeProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Makes the font for the dialog's own DPI and lays the controls out for it;
// sets the slider's range for the clock's DPI and its position to the size.
void LayoutSize(HWND dialog);
// The same at the dialog DPI `dialogDpi`.
void LayoutSize(HWND dialog, unsigned dialogDpi);
