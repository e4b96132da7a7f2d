#include "app/size_dialog.h"

#include <commctrl.h>

#include "app/clock.h"
#include "app/constants.h"
#include "app/globals.h"
#include "app/windows_clock_window.h"
#include "placement/dpi.h"
#include "placement/geometry.h"
#include "placement/size_dialog_layout.h"
#include "placement/size_model.h"
#include "placement/window_dpi.h"
#include "settings/settings.h"

namespace {

// A caption with a close box; not resizable, no minimise or maximise box, no taskbar button.
constexpr DWORD DIALOG_STYLE = WS_CAPTION | WS_SYSMENU;
constexpr DWORD DIALOG_EX_STYLE = WS_EX_TOOLWINDOW;
constexpr wchar_t DIALOG_TITLE[] = L"Velmor Clock \u2014 Size";
constexpr wchar_t FONT_FACE[] = L"Segoe UI";

struct ControlKind {
    int id;
    const wchar_t* windowClass;
    const wchar_t* text;
    DWORD style;
};

// In id order, as SizeDialogControls places them.
constexpr ControlKind CONTROLS[SIZE_CONTROL_COUNT] = {
    {SIZE_LABEL_ID, L"STATIC", L"", WS_CHILD | WS_VISIBLE},
    {SIZE_SLIDER_ID, TRACKBAR_CLASSW, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP},
    {SIZE_HINT_ID, L"STATIC",
     L"Mouse wheel over the clock changes its size.\nHold Shift for smaller adjustments.",
     WS_CHILD | WS_VISIBLE},
    {DEFAULT_SIZE_ID, L"BUTTON", L"Default size", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
    {DONE_ID, L"BUTTON", L"Done", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
};

void OnCreate(HWND dialog) {
    for (const ControlKind& kind : CONTROLS) {
        const HWND control =
            CreateWindowExW(0, kind.windowClass, kind.text, kind.style, 0, 0, 0, 0, dialog,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kind.id)), instance, nullptr);
        if (kind.id == SIZE_LABEL_ID) sizeLabel = control;
        if (kind.id == SIZE_SLIDER_ID) sizeSlider = control;
    }
    // Laid out by OpenSizeDialog once the window's own DPI is known.
}

// Every notification, so the clock follows the thumb while it is dragged.
void OnScroll(LPARAM source) {
    if (sizeSlider && reinterpret_cast<HWND>(source) == sizeSlider)
        Resize(static_cast<int>(SendMessageW(sizeSlider, TBM_GETPOS, 0, 0)));
}

void OnCommand(HWND dialog, WORD id) {
    switch (id) {
    case DEFAULT_SIZE_ID:
        Resize(velmor::size::HUNDRED_PERCENT);
        // The DPI limit or the monitor cap may have lowered it.
        SendMessageW(sizeSlider, TBM_SETPOS, TRUE, cfg.Size);
        break;
    case DONE_ID:
    case IDOK:     // Enter, through IsDialogMessageW, when it found no default button
    case IDCANCEL: // Esc, through IsDialogMessageW
        DestroyWindow(dialog);
        break;
    default:
        break;
    }
}

void OnDestroy() {
    SaveSettings();
    sizeWindow = nullptr;
    sizeSlider = nullptr;
    sizeLabel = nullptr;
    if (sizeFont) DeleteObject(sizeFont);
    sizeFont = nullptr;
}

// The labels and the slider take the window's own background, not the grey of
// a dialog box, so the controls sit on one plain surface.
LRESULT OnStaticColor(HDC dc) {
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
}

// Moved to a monitor of another DPI: take the suggested rectangle and lay out
// again for the DPI the message gives.
void OnDpiChanged(HWND dialog, WPARAM wParam, const RECT& suggested) {
    SetWindowPos(dialog, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    LayoutSize(dialog, velmor::size::KnownDpi(HIWORD(wParam)));
}

// The outer size of the dialog whose client area is laid out at `dialogDpi`.
ScreenSize DialogFrame(unsigned dialogDpi) {
    const ScreenSize client = SizeDialogClient(dialogDpi);
    RECT frame{0, 0, client.width, client.height};
    AdjustWindowRectExForDpi(&frame, DIALOG_STYLE, FALSE, DIALOG_EX_STYLE, dialogDpi);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

} // namespace

void OpenSizeDialog() {
    if (sizeWindow) {
        SetForegroundWindow(sizeWindow);
        return;
    }
    // Sized first for the clock's DPI: the dialog opens on the clock's monitor.
    const ScreenSize frame = DialogFrame(dpi);
    WindowsClockWindow clock(windowHandle, cfg, dpi, sizeLabel);
    const ScreenRect clockRect = clock.Rect();
    const ScreenPoint at =
        KeepInside({clockRect.left, clockRect.top}, frame.width, frame.height, clock.WorkArea(clockRect));

    sizeWindow = CreateWindowExW(DIALOG_EX_STYLE, SIZECLASS, DIALOG_TITLE, DIALOG_STYLE, at.x, at.y,
                                 frame.width, frame.height, windowHandle, nullptr, instance, nullptr);
    if (!sizeWindow) return; // the next request tries again
    // The window has the DPI of the monitor it opened on, which is not the
    // clock's when the clock straddles two monitors or has not yet heard of
    // its own new DPI; Windows sends no DPI change for a window being created.
    FitSizeDialog(sizeWindow, WindowDpi(sizeWindow));
    ShowWindow(sizeWindow, SW_SHOW);
    SetForegroundWindow(sizeWindow);
    SetFocus(sizeSlider);
}

void FitSizeDialog(HWND dialog, unsigned dialogDpi) {
    const ScreenSize frame = DialogFrame(dialogDpi);
    RECT rect{};
    GetWindowRect(dialog, &rect);
    if (rect.right - rect.left != frame.width || rect.bottom - rect.top != frame.height) {
        WindowsClockWindow clock(windowHandle, cfg, dpi, sizeLabel);
        const ScreenPoint at = KeepInside({rect.left, rect.top}, frame.width, frame.height,
                                          clock.WorkArea({rect.left, rect.top, rect.right, rect.bottom}));
        SetWindowPos(dialog, nullptr, at.x, at.y, frame.width, frame.height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    LayoutSize(dialog, dialogDpi);
}

LRESULT CALLBACK SizeProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        OnCreate(dialog);
        return 0;
    case WM_HSCROLL:
        OnScroll(lParam);
        return 0;
    case WM_COMMAND:
        OnCommand(dialog, LOWORD(wParam));
        return 0;
    case WM_CLOSE:
        DestroyWindow(dialog);
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_CTLCOLORSTATIC:
        return OnStaticColor(reinterpret_cast<HDC>(wParam));
    case WM_DPICHANGED:
        OnDpiChanged(dialog, wParam, *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case DM_GETDEFID: // Enter in the dialog presses "Done" (IsDialogMessageW asks for it)
        return MAKELRESULT(DONE_ID, DC_HASDEFID);
    default:
        return DefWindowProcW(dialog, message, wParam, lParam);
    }
}

void LayoutSize(HWND dialog) {
    LayoutSize(dialog, WindowDpi(dialog));
}

void LayoutSize(HWND dialog, unsigned dialogDpi) {
    // The new font is in place before the old one goes, so no control ever holds a deleted font.
    const HFONT previous = sizeFont;
    sizeFont = CreateFontW(-SizeDialogFontHeight(dialogDpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                           DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                           DEFAULT_PITCH | FF_DONTCARE, FONT_FACE);
    for (const ControlPlace& place : SizeDialogControls(dialogDpi)) {
        const HWND control = GetDlgItem(dialog, place.id);
        if (!control) continue;
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(sizeFont), TRUE);
        MoveWindow(control, place.topLeft.x, place.topLeft.y, place.size.width, place.size.height, TRUE);
    }
    if (previous) DeleteObject(previous);
    // The range and the label follow the clock's DPI, not the dialog's.
    SendMessageW(sizeSlider, TBM_SETRANGE, TRUE, MAKELPARAM(velmor::size::SMALLEST, LargestSize(dpi)));
    SendMessageW(sizeSlider, TBM_SETPOS, TRUE, cfg.Size);
    UpdateLabel();
}
