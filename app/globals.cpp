#include "app/globals.h"

HINSTANCE instance = nullptr;
ULONG_PTR gdipToken = 0;
HWND windowHandle = nullptr;
UINT taskbarCreated = 0;
bool visible = true;
bool initializing = true;

HWND sizeWindow = nullptr;
HWND sizeSlider = nullptr;
HWND sizeLabel = nullptr;
HFONT sizeFont = nullptr;

NOTIFYICONDATAW tray{};
