#include "app/tray.h"

#include <commctrl.h>
#include <windowsx.h>

#include "app/clock.h"
#include "app/constants.h"
#include "app/globals.h"
#include "app/menu.h"
#include "app/menu_items.h"
#include "placement/clock_window.h"

NotifyIconFunction notifyIcon = Shell_NotifyIconW;

namespace {

constexpr UINT TRAY_ICON_ID = 1;
constexpr wchar_t TRAY_TIP[] = L"Velmor Clock \u2014 right-click for options";
// With version 4 the shell shows the standard tooltip only when asked to.
constexpr UINT TRAY_FLAGS = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;

HICON shownIcon = nullptr; // the image the shell was given last; ours to release
int retriesLeft = 0;

// The icon group's image at the notification area's size, picked from the
// sizes the resource holds (scaled down only when none fits), or null.
HICON LoadSmallIcon() {
    HICON icon = nullptr;
    if (FAILED(LoadIconMetric(instance, MAKEINTRESOURCEW(APP_ICON), LIM_SMALL, &icon))) return nullptr;
    return icon;
}

// Puts `icon` into the record and releases the one it replaces.
void TakeIcon(HICON icon) {
    if (shownIcon) DestroyIcon(shownIcon);
    shownIcon = icon;
    tray.hIcon = icon;
}

// True when the shell holds the icon. An add a busy shell timed out on may
// still have gone through, and a new taskbar may have kept the icon: then the
// add fails and modifying the icon succeeds.
bool Placed() {
    return notifyIcon(NIM_ADD, &tray) || notifyIcon(NIM_MODIFY, &tray);
}

BOOL SetVersion() {
    tray.uVersion = NOTIFYICON_VERSION_4;
    return notifyIcon(NIM_SETVERSION, &tray);
}

void StopRetrying() {
    retriesLeft = 0;
    KillTimer(windowHandle, TRAY_TIMER);
}

// The menu at `anchor`; when it is done the keyboard focus goes back to the
// icon, unless the command opened a window that takes it or closed the clock.
void TrayMenu(POINT anchor) {
    const UINT id = Menu(anchor);
    if (id != CMD_CLOCK_SIZE && id != CMD_EXIT) notifyIcon(NIM_SETFOCUS, &tray);
}

} // namespace

BOOL AddTray() {
    StopRetrying(); // a new taskbar starts afresh
    tray = NOTIFYICONDATAW{};
    tray.cbSize = sizeof tray;
    tray.hWnd = windowHandle;
    tray.uID = TRAY_ICON_ID;
    tray.uFlags = TRAY_FLAGS;
    tray.uCallbackMessage = WM_TRAY;
    TakeIcon(LoadSmallIcon()); // loaded again: the shell may have come back at another scale
    wcscpy_s(tray.szTip, std::size(tray.szTip), TRAY_TIP);
    if (!Placed()) {
        retriesLeft = LOGON_RETRIES;
        SetTimer(windowHandle, TRAY_TIMER, LOGON_RETRY_MS, nullptr);
        return FALSE;
    }
    return SetVersion();
}

void RetryTray() {
    if (Placed()) {
        StopRetrying();
        SetVersion();
    } else if (--retriesLeft <= 0) {
        StopRetrying();
    }
}

void RefreshTrayIcon() {
    if (!tray.hWnd) return; // no icon was ever asked for
    TakeIcon(LoadSmallIcon());
    notifyIcon(NIM_MODIFY, &tray); // fails harmlessly while an add is still being retried
}

void RemoveTray() {
    StopRetrying();
    notifyIcon(NIM_DELETE, &tray);
    TakeIcon(nullptr);
}

void TrayEvent(WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(lParam)) {
    case WM_CONTEXTMENU:
        if (HIWORD(lParam) == TRAY_ICON_ID) {
            TrayMenu(POINT{GET_X_LPARAM(wParam), GET_Y_LPARAM(wParam)});
        } else { // an older callback carries no anchor
            POINT point{};
            GetCursorPos(&point);
            TrayMenu(point);
        }
        break;
    case NIN_SELECT:
    case NIN_KEYSELECT:
        BringClockForward();
        break;
    default:
        break;
    }
}

bool ShowClock() {
    visible = true;
    ShowWindow(windowHandle, SW_SHOWNOACTIVATE);
    KeepVisible(false);
    return Render();
}

void BringClockForward() {
    ShowClock();
    SetForegroundWindow(windowHandle);
}
