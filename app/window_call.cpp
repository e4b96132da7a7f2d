#include "app/window_call.h"

#include "placement/window_calls.h"

namespace {

WindowCalls windowCalls;
HWND changedWindow = nullptr; // the window the kept change is for

} // namespace

WindowCall::WindowCall() {
    EnterWindowCall(windowCalls);
}

WindowCall::~WindowCall() {
    const std::optional<DpiChange> change = LeaveWindowCall(windowCalls);
    if (!change || !changedWindow) return;
    const HWND window = changedWindow;
    changedWindow = nullptr;
    RECT suggested{change->suggested.left, change->suggested.top, change->suggested.right,
                   change->suggested.bottom};
    const WORD newDpi = static_cast<WORD>(change->dpi);
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(newDpi, newDpi), reinterpret_cast<LPARAM>(&suggested));
}

bool DeferDpiChange(HWND window, WPARAM wParam, const RECT& suggested) {
    const DpiChange change{HIWORD(wParam),
                           {suggested.left, suggested.top, suggested.right, suggested.bottom}};
    if (!DeferDpiChange(windowCalls, change)) return false;
    changedWindow = window;
    return true;
}
