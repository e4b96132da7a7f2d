#include "app/clock_proc.h"

#include <windowsx.h>
#include <wtsapi32.h>

#include "app/clock.h"
#include "app/constants.h"
#include "app/globals.h"
#include "app/menu.h"
#include "app/size_dialog.h"
#include "app/tray.h"
#include "placement/clock_window.h"
#include "placement/dpi.h"
#include "placement/size_model.h"
#include "placement/wheel_step.h"
#include "presentation/present.h"
#include "settings/settings.h"

DebugLine debugLine = OutputDebugStringW;

namespace {

constexpr wchar_t RENDER_FAILED[] = L"Velmor Clock: layered rendering failed.\n";

bool renderFailed = false; // the debugger line is written once per run

// The tick: redraw the hands unless hidden or minimised. A resize animation
// draws its own frames and schedules the tick again when it ends.
void OnTick(HWND window) {
    if (resizeMotion.active) return;
    if (!Tick(visible && !IsIconic(window)) && !renderFailed) {
        renderFailed = true;
        debugLine(RENDER_FAILED);
    }
}

void OnTimer(HWND window, WPARAM id) {
    switch (id) {
    case ANIMATION_TIMER:
        TickResize();
        break;
    case TICK_TIMER:
        OnTick(window);
        break;
    case SAVE_TIMER: // a wheel or dialog resize is over: the user's size and place
        KillTimer(window, SAVE_TIMER);
        SaveSettings();
        RememberPlace();
        break;
    case LAYOUT_TIMER:
        WatchLayout();
        break;
    default:
        break;
    }
}

void OnDestroy(HWND window) {
    if (sizeWindow) DestroyWindow(sizeWindow);
    SaveSettings();
    Shell_NotifyIconW(NIM_DELETE, &tray);
    WTSUnRegisterSessionNotification(window);
    StopResize(); // gives back the animation's fine timer period
    for (int id : {TICK_TIMER, SAVE_TIMER, ANIMATION_TIMER, LAYOUT_TIMER})
        KillTimer(window, id);
    PostQuitMessage(0);
}

void OnClose(HWND window) {
    FinishResize();
    DestroyWindow(window);
}

void OnWorkAreaChange(WPARAM action) {
    if (action != SPI_SETWORKAREA || initializing) return;
    NoticeLayoutChange();
    KeepVisible(false);
    Render();
}

// The hands jump to the new time at once, and a stepping tick realigns with
// the new clock's seconds.
void OnTimeChange() {
    FinishResize();
    ForgetShownFrame();
    Render();
    Schedule();
}

void OnContextMenu(LPARAM lParam) {
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (point.x == -1) GetCursorPos(&point); // asked for from the keyboard
    Menu(point);
}

void OnDisplayChange() {
    if (initializing) return;
    NoticeLayoutChange();
    StopResize();
    ForgetShownFrame();
    KeepVisible(false);
    Schedule();
}

// A session connected (remote desktop, fast user switching) or unlocked: its
// monitors may not be the ones it left with.
void OnSessionChange(WPARAM event) {
    if (event == WTS_CONSOLE_CONNECT || event == WTS_REMOTE_CONNECT || event == WTS_SESSION_UNLOCK)
        NoticeLayoutChange();
}

// The left button grabs the clock as if by its caption: the system's move loop
// drags it and ends with WM_EXITSIZEMOVE.
void OnLeftButtonDown(HWND window) {
    FinishResize();
    if (cfg.LockPosition) return;
    UserPlacing();
    ReleaseCapture();
    SendMessageW(window, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

void OnMouseWheel(WPARAM wParam) {
    static double wheel = 0.0; // fraction of a step carried to the next message
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const int step = WheelStep(wheel, GET_WHEEL_DELTA_WPARAM(wParam), shift);
    if (step != 0) Resize(cfg.Size + step);
}

void OnPowerEvent(WPARAM event) {
    if (event != PBT_APMRESUMESUSPEND && event != PBT_APMRESUMEAUTOMATIC) return;
    FinishResize();
    ForgetShownFrame();
    Render();
    Schedule();
    NoticeLayoutChange();
}

void OnExitSizeMove() {
    KeepVisible(false);
    SaveSettings();
    RememberPlace();
}

// The clock moved to a monitor of another DPI: the size setting is clamped for
// it for good, and the clock goes where the system suggests at that size.
// Not a layout notice: a drag onto another monitor brings it too, and a
// monitor's own change of scale shows in the layout the poll reads.
void OnDpiChanged(WPARAM wParam, const RECT* suggested) {
    StopResize();
    dpi = HIWORD(wParam) == 0 ? velmor::size::REFERENCE_DPI : HIWORD(wParam);
    cfg.Size = ClampSize(cfg.Size, dpi);
    Present(Pixels(cfg.Size, dpi), POINT{suggested->left, suggested->top}, false);
    if (!initializing) {
        KeepVisible(false);
        Schedule();
        SaveSettings();
    }
    if (sizeWindow) LayoutSize(sizeWindow);
}

void OnTrayEvent(HWND window, LPARAM lParam) {
    switch (LOWORD(lParam)) {
    case WM_CONTEXTMENU: {
        POINT point{};
        GetCursorPos(&point);
        Menu(point);
        break;
    }
    case NIN_SELECT:
    case NIN_KEYSELECT:
        ShowClock();
        SetForegroundWindow(window);
        break;
    default:
        break;
    }
}

} // namespace

LRESULT CALLBACK ClockProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // The shell announces a new taskbar: the notification icon is gone with the old one.
    if (taskbarCreated != 0 && message == taskbarCreated) {
        AddTray();
        return 0;
    }
    switch (message) {
    case WM_CREATE:
        windowHandle = window;
        return 0;
    case WM_DESTROY:
        OnDestroy(window);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint); // layered: nothing to paint, only validate
        EndPaint(window, &paint);
        return 0;
    }
    case WM_CLOSE:
        OnClose(window);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETTINGCHANGE:
        OnWorkAreaChange(wParam);
        return 0;
    case WM_TIMECHANGE:
        OnTimeChange();
        return 0;
    case WM_CONTEXTMENU:
        OnContextMenu(lParam);
        return 0;
    case WM_DISPLAYCHANGE:
        OnDisplayChange();
        return 0;
    case WM_TIMER:
        OnTimer(window, wParam);
        return 0;
    case WM_LBUTTONDOWN:
        OnLeftButtonDown(window);
        return 0;
    case WM_MOUSEWHEEL:
        OnMouseWheel(wParam);
        return 0;
    case WM_POWERBROADCAST:
        OnPowerEvent(wParam);
        return TRUE;
    case WM_EXITSIZEMOVE:
        OnExitSizeMove();
        return 0;
    case WM_DPICHANGED:
        OnDpiChanged(wParam, reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_TRAY:
        OnTrayEvent(window, lParam);
        return 0;
    case WM_SHOW_REQUEST:
        ShowClock();
        return 0;
    case WM_WTSSESSION_CHANGE:
        OnSessionChange(wParam);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
