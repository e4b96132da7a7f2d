// One of the clock's own window moves or layered updates (SetWindowPos,
// UpdateLayeredWindow), held while it runs. A WM_DPICHANGED that Windows sends
// from inside it is kept (DeferDpiChange) and sent again to the window once the
// outermost such call has returned, so the surface the update uses stays whole.
#pragma once

#include <windows.h>

class WindowCall {
  public:
    WindowCall();
    ~WindowCall();
    WindowCall(const WindowCall&) = delete;
    WindowCall& operator=(const WindowCall&) = delete;
};

// True when a window call is under way: the change for `window` is kept and
// comes again when the outermost call returns. False: handle it now.
bool DeferDpiChange(HWND window, WPARAM wParam, const RECT& suggested);
