#include "app/open_clock.h"

#include <commctrl.h>

#include <climits>

#include "app/clock.h"
#include "app/clock_proc.h"
#include "app/constants.h"
#include "app/globals.h"
#include "app/size_dialog.h"
#include "app/tray.h"
#include "placement/dpi.h"
#include "placement/size_model.h"
#include "placement/window_dpi.h"
#include "presentation/artwork.h"
#include "presentation/clock_renderer.h"
#include "presentation/present.h"
#include "settings/settings.h"

void ShowOwnedError(HWND owner, const wchar_t* message) {
    MessageBoxW(owner, message, TITLE, MB_OK | MB_ICONERROR);
}

bool ClaimSingleInstance(HANDLE& mutex) {
    mutex = CreateMutexW(nullptr, FALSE, MUTEX_NAME);
    if (!mutex || GetLastError() != ERROR_ALREADY_EXISTS) return true;
    // Another clock runs: bring it forward. If its window is not there yet (or
    // no longer), there is nothing to show and this start simply ends.
    if (const HWND running = FindWindowW(APPCLASS, nullptr)) {
        // The user just started this process, so it may take the foreground;
        // the running clock, which takes it on the request once it is shown,
        // may only if this process lets it, before the request arrives.
        DWORD processId = 0;
        if (GetWindowThreadProcessId(running, &processId)) AllowSetForegroundWindow(processId);
        PostMessageW(running, WM_SHOW_REQUEST, 0, 0);
    }
    CloseHandle(mutex);
    mutex = nullptr;
    return false;
}

void RegisterClasses(HINSTANCE module) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = ClockProc;
    windowClass.hInstance = module;
    windowClass.hIcon = LoadIconW(module, MAKEINTRESOURCEW(APP_ICON));
    windowClass.hIconSm = windowClass.hIcon;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = APPCLASS;
    RegisterClassExW(&windowClass);

    windowClass.lpfnWndProc = SizeProc;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = SIZECLASS;
    RegisterClassExW(&windowClass);
}

int OpenClock(OwnedErrorBox showError) {
    // Each coordinate on its own: a saved X with no saved Y still starts at X.
    const int x = cfg.X == INT_MIN ? UNPLACED_POSITION : cfg.X;
    const int y = cfg.Y == INT_MIN ? UNPLACED_POSITION : cfg.Y;
    windowHandle = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW, APPCLASS, TITLE, WS_POPUP, x, y,
                                   CLOCK_START_SIZE, CLOCK_START_SIZE, nullptr, nullptr, instance, nullptr);
    if (!windowHandle) return EXIT_NO_WINDOW;

    dpi = WindowDpi(windowHandle);
    cfg.Size = ClampSize(cfg.Size, dpi);
    initializing = false;

    // A clock that was never placed is centred on its monitor; a placed one is
    // only pulled back inside it.
    KeepVisible(cfg.X == INT_MIN);
    // The place the user had under this layout, when the settings' position
    // was saved under another one.
    StartLayoutMemory();
    StartSightWatch();
    if (!Render()) {
        showError(windowHandle, DISPLAY_FAILED);
        DestroyWindow(windowHandle); // saves on the way out, as every close does
        return EXIT_NO_FIRST_FRAME;
    }
    ShowWindow(windowHandle, SW_SHOWNOACTIVATE);
    taskbarCreated = RegisterWindowMessageW(TASKBAR_MESSAGE);
    AddTray();
    Schedule();
    return 0;
}

void RunMessageLoop() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (sizeWindow && IsDialogMessageW(sizeWindow, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void ShutDown(HANDLE mutex) {
    FreeDib();
    renderer.reset();
    face.reset();
    if (mutex) CloseHandle(mutex);
    Gdiplus::GdiplusShutdown(gdipToken);
    gdipToken = 0;
}
