#include "app/clock_proc.h"

#include <windowsx.h>
#include <wtsapi32.h>

#include "app/clock.h"
#include "app/constants.h"
#include "app/globals.h"
#include "app/menu.h"
#include "app/size_dialog.h"
#include "app/tray.h"
#include "app/window_call.h"
#include "placement/clock_window.h"
#include "placement/dpi.h"
#include "placement/dpi_change.h"
#include "placement/size_model.h"
#include "placement/wheel_step.h"
#include "presentation/present.h"
#include "settings/settings.h"

DebugLine debugLine = OutputDebugStringW;

namespace {

constexpr wchar_t RENDER_FAILED[] = L"Velmor Clock: layered rendering failed.\n";

bool renderFailed = false; // the debugger line is written once per run

// The system's move loop (a drag) runs: from WM_ENTERSIZEMOVE to WM_EXITSIZEMOVE.
bool inMoveLoop = false;

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
    case SESSION_TIMER:
        RetrySessionNotices();
        break;
    case TRAY_TIMER:
        RetryTray();
        break;
    default:
        break;
    }
}

void OnDestroy(HWND window) {
    if (sizeWindow) DestroyWindow(sizeWindow);
    SaveSettings();
    PositionSaved();
    RemoveTray();
    StopSightWatch();
    StopResize(); // gives back the animation's fine timer period
    for (int id : {TICK_TIMER, SAVE_TIMER, ANIMATION_TIMER, LAYOUT_TIMER, TRAY_TIMER})
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
// monitors may not be the ones it left with. Locked or disconnected, nobody
// sees the clock until it comes back.
void OnSessionChange(WPARAM event) {
    if (event == WTS_CONSOLE_CONNECT || event == WTS_REMOTE_CONNECT || event == WTS_SESSION_UNLOCK)
        NoticeLayoutChange();
    NoticeSessionChange(event);
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

void OnPowerEvent(WPARAM event, LPARAM lParam) {
    // The display went off or came back on (asked for by the sight watch).
    if (event == PBT_POWERSETTINGCHANGE && lParam != 0) {
        NoticePowerSetting(*reinterpret_cast<const POWERBROADCAST_SETTING*>(lParam));
        return;
    }
    if (event != PBT_APMRESUMESUSPEND && event != PBT_APMRESUMEAUTOMATIC) return;
    OnTimeChange(); // the clock slept through the time since
    NoticeLayoutChange();
}

void OnEnterSizeMove() {
    inMoveLoop = true;
}

void OnExitSizeMove() {
    inMoveLoop = false;
    KeepVisible(false);
    SaveSettings();
    RememberPlace();
}

// Windows asks for the clock's size at a new DPI before it suggests a
// rectangle for it: the size setting as that DPI limits it, so the suggestion
// is the clock's own size and keeps it where the pointer holds it.
LRESULT OnGetDpiScaledSize(WPARAM newDpi, SIZE* size) {
    const int edge = ScaledEdge(cfg.Size, static_cast<unsigned>(newDpi));
    *size = SIZE{edge, edge};
    return TRUE;
}

// The clock moved to a monitor of another DPI: the size setting is clamped for
// it for good, and the clock takes the rectangle the system suggests. During a
// drag it stays there under the pointer; the end of the move loop keeps it on
// screen and saves. Sent from inside one of our own window calls, the change
// waits until that call has returned.
// Not a layout notice: a drag onto another monitor brings it too, and a
// monitor's own change of scale shows in the layout the poll reads.
void OnDpiChanged(HWND window, WPARAM wParam, const RECT& suggested) {
    if (DeferDpiChange(window, wParam, suggested)) return;
    StopResize();
    dpi = velmor::size::KnownDpi(HIWORD(wParam));
    cfg.Size = ClampSize(cfg.Size, dpi);
    const int width = Pixels(cfg.Size, dpi);
    const ScreenPoint at =
        PlaceInSuggested({suggested.left, suggested.top, suggested.right, suggested.bottom}, width);
    Present(width, POINT{at.x, at.y}, false);
    if (!initializing) {
        if (!inMoveLoop) KeepVisible(false);
        Schedule();
        if (!inMoveLoop) SaveSettings();
    }
    if (sizeWindow) LayoutSize(sizeWindow);
    RefreshTrayIcon(); // the shell may want the icon at another size now
}

} // namespace

LRESULT CALLBACK ClockProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // The shell announces a new taskbar: the notification icon is gone with the
    // old one, and the new one may show it at another scale.
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
        OnPowerEvent(wParam, lParam);
        return TRUE;
    case WM_ENTERSIZEMOVE:
        OnEnterSizeMove();
        return 0;
    case WM_EXITSIZEMOVE:
        OnExitSizeMove();
        return 0;
    case WM_DPICHANGED:
        OnDpiChanged(window, wParam, *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_GETDPISCALEDSIZE:
        return OnGetDpiScaledSize(wParam, reinterpret_cast<SIZE*>(lParam));
    case WM_TRAY:
        TrayEvent(wParam, lParam);
        return 0;
    case WM_SHOW_REQUEST: // a second start allowed this process to take the foreground
        BringClockForward();
        return 0;
    case WM_WTSSESSION_CHANGE:
        OnSessionChange(wParam);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
