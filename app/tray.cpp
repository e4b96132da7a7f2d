#include "app/tray.h"

#include <shellapi.h>

#include "app/clock.h"
#include "app/constants.h"
#include "app/globals.h"

namespace {

constexpr UINT TRAY_ICON_ID = 1;
constexpr wchar_t TRAY_TIP[] = L"Velmor Clock \u2014 right-click for options";

} // namespace

BOOL AddTray() {
    tray = NOTIFYICONDATAW{};
    tray.cbSize = sizeof tray;
    tray.hWnd = windowHandle;
    tray.uID = TRAY_ICON_ID;
    tray.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    tray.uCallbackMessage = WM_TRAY;
    tray.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(APP_ICON));
    wcscpy_s(tray.szTip, std::size(tray.szTip), TRAY_TIP);
    Shell_NotifyIconW(NIM_ADD, &tray);
    // Version 4 callbacks carry the event in lParam's low word (WM_CONTEXTMENU, NIN_SELECT).
    tray.uVersion = NOTIFYICON_VERSION_4;
    return Shell_NotifyIconW(NIM_SETVERSION, &tray);
}

bool ShowClock() {
    visible = true;
    ShowWindow(windowHandle, SW_SHOWNOACTIVATE);
    KeepVisible(false);
    return Render();
}
