// The context menu on the clock window (Win32).
#pragma once

#include <windows.h>

#include "app/menu_items.h"

// Shows the clock's messages; MessageBoxW, or a recorder in tests.
using MessageBoxFunction = int(WINAPI*)(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);

// Finishes any resize, shows the menu with its top-left corner at `point`
// (screen pixels) and carries out the command chosen, if any; returns its id,
// 0 when the menu was dismissed.
UINT Menu(POINT point);
UINT Menu(POINT point, MessageBoxFunction messageBox);
