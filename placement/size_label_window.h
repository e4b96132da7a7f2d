// The size dialog's label control (Win32).
#pragma once

#include <windows.h>

// Writes the size text for `size` at `dpi` into `label`; nothing without one.
void ShowSizeLabel(HWND label, int size, unsigned dpi);
