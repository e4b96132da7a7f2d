#include "app/size_dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "app/test_clock_window.h"
#include "placement/size_dialog_layout.h"

namespace {

using SizeDialog = WithClockWindow;

std::wstring Text(HWND window) {
    wchar_t text[200] = {};
    GetWindowTextW(window, text, static_cast<int>(std::size(text)));
    return text;
}

LRESULT Slider(UINT message) { return SendMessageW(sizeSlider, message, 0, 0); }

// Wine gives every window the one system DPI, so the dialog's own DPI is
// given by hand; the client area follows the clock's DPI.
TEST_F(SizeDialog, LaysItselfOutForTheDpi) {
    const struct {
        unsigned dpi;
        int width, height, font, largest;
        const wchar_t* label;
    } rows[] = {
        {96, 480, 220, 16, 900, L"Size: 100%  (320 pixels wide)"},
        {144, 720, 330, 24, 800, L"Size: 100%  (480 pixels wide)"},
        {192, 960, 440, 32, 600, L"Size: 100%  (640 pixels wide)"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.dpi);
        dpi = row.dpi;
        OpenSizeDialog();
        ASSERT_NE(sizeWindow, nullptr);
        LayoutSize(sizeWindow, row.dpi);
        // The frame is the one that holds that client area at the clock's DPI;
        // where the window's own DPI is the same (always 96 under Wine), the
        // client area itself is checked.
        RECT frame{0, 0, row.width, row.height};
        AdjustWindowRectExForDpi(&frame, WS_CAPTION | WS_SYSMENU, FALSE, WS_EX_TOOLWINDOW, row.dpi);
        const RECT outer = WindowRect(sizeWindow);
        EXPECT_EQ(outer.right - outer.left, frame.right - frame.left);
        EXPECT_EQ(outer.bottom - outer.top, frame.bottom - frame.top);
        RECT client{};
        GetClientRect(sizeWindow, &client);
        if (GetDpiForWindow(sizeWindow) == row.dpi) {
            EXPECT_EQ(client.right, row.width);
            EXPECT_EQ(client.bottom, row.height);
        }
        LOGFONTW font{};
        GetObjectW(sizeFont, sizeof font, &font);
        EXPECT_EQ(font.lfHeight, -row.font);
        EXPECT_STREQ(font.lfFaceName, L"Segoe UI");
        for (const ControlPlace& place : SizeDialogControls(row.dpi)) {
            const HWND control = GetDlgItem(sizeWindow, place.id);
            RECT rect = WindowRect(control);
            MapWindowPoints(nullptr, sizeWindow, reinterpret_cast<POINT*>(&rect), 2);
            EXPECT_EQ(rect.left, place.topLeft.x) << place.id;
            EXPECT_EQ(rect.bottom - rect.top, place.size.height) << place.id;
            if (place.id != SIZE_SLIDER_ID) {  // a trackbar keeps no font
                EXPECT_EQ(SendMessageW(control, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(sizeFont)) << place.id;
            }
        }
        EXPECT_EQ(Slider(TBM_GETRANGEMIN), 160);
        EXPECT_EQ(Slider(TBM_GETRANGEMAX), row.largest);
        EXPECT_EQ(Slider(TBM_GETPOS), 320);
        EXPECT_EQ(Text(sizeLabel), row.label);
        DestroyWindow(sizeWindow);
    }
}

TEST_F(SizeDialog, OpensOnceOverTheClockAsAnOwnedToolWindow) {
    OpenSizeDialog();
    const HWND first = sizeWindow;
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(Text(first), L"Velmor Clock \u2014 Size");
    EXPECT_EQ(GetWindow(first, GW_OWNER), windowHandle);
    EXPECT_EQ(GetWindowLongW(first, GWL_STYLE) & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX),
              WS_CAPTION | WS_SYSMENU);
    EXPECT_TRUE(GetWindowLongW(first, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(GetFocus(), sizeSlider);
    const RECT rect = WindowRect(first);
    EXPECT_EQ(rect.left, 100);  // the clock's top-left corner
    EXPECT_EQ(rect.top, 100);
    const HDC dc = GetDC(sizeLabel);
    EXPECT_EQ(SendMessageW(first, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(sizeLabel)),
              reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW)));  // one plain surface
    ReleaseDC(sizeLabel, dc);
    EXPECT_EQ(Text(GetDlgItem(first, 203)),
              L"Mouse wheel over the clock changes its size.\nHold Shift for smaller adjustments.");

    SetForegroundWindow(windowHandle);
    OpenSizeDialog();
    EXPECT_EQ(sizeWindow, first);
    EXPECT_EQ(GetForegroundWindow(), first);
    EXPECT_EQ(FindWindowExW(nullptr, first, L"VelmorClock.Size", nullptr), nullptr);
}

TEST_F(SizeDialog, OpensInsideTheWorkAreaWhenTheClockIsInTheCorner) {
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    SetWindowPos(windowHandle, nullptr, area.right - 60, area.bottom - 60, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    OpenSizeDialog();
    const RECT rect = WindowRect(sizeWindow);
    EXPECT_EQ(rect.right, area.right);
    EXPECT_EQ(rect.bottom, area.bottom);
}

// The slider's own keyboard notifications, "Default size" and a wheel-style
// resize while the dialog is open.
TEST_F(SizeDialog, SliderAndDefaultSizeResizeTheClockAndTheLabelFollowsEverySize) {
    OpenSizeDialog();
    SendMessageW(sizeSlider, WM_KEYDOWN, VK_END, 0);
    EXPECT_EQ(cfg.Size, 900);
    SendMessageW(sizeSlider, WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_EQ(cfg.Size, 899);
    FinishResize();
    EXPECT_EQ(WindowRect(windowHandle).right - WindowRect(windowHandle).left, 899);
    EXPECT_EQ(Text(sizeLabel), L"Size: 281%  (899 pixels wide)");

    Resize(400);
    FinishResize();
    EXPECT_EQ(Text(sizeLabel), L"Size: 125%  (400 pixels wide)");
    EXPECT_EQ(Slider(TBM_GETPOS), 899);  // the thumb stays until the slider is used

    SendMessageW(GetDlgItem(sizeWindow, 204), BM_CLICK, 0, 0);
    EXPECT_EQ(cfg.Size, 320);
    EXPECT_EQ(Slider(TBM_GETPOS), 320);

    // At 480 DPI a 1080-pixel-high work area holds size 216 (the DPI allows 240).
    DestroyWindow(sizeWindow);
    dpi = 480;
    OpenSizeDialog();
    SendMessageW(GetDlgItem(sizeWindow, 204), BM_CLICK, 0, 0);
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    const int cap = MulDiv(std::min(area.right - area.left, area.bottom - area.top), 96, 480);
    EXPECT_EQ(cfg.Size, std::min(cap, 240));
    EXPECT_EQ(Slider(TBM_GETPOS), cfg.Size);
    EXPECT_EQ(Slider(TBM_GETRANGEMAX), 240);
}

TEST_F(SizeDialog, EscDoneAndTheCloseBoxEachCloseItAndSave) {
    const struct {
        const char* name;
        void (*close)();
    } ways[] = {
        {"Esc", [] { PostMessageW(sizeSlider, WM_KEYDOWN, VK_ESCAPE, 0); }},
        {"Done", [] { SendMessageW(GetDlgItem(sizeWindow, 205), BM_CLICK, 0, 0); }},
        {"close box", [] { PostMessageW(sizeWindow, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        OpenSizeDialog();
        ASSERT_NE(sizeWindow, nullptr);
        const HWND dialog = sizeWindow;
        Forget();
        way.close();
        Pump();
        EXPECT_FALSE(IsWindow(dialog));
        EXPECT_EQ(sizeWindow, nullptr);
        EXPECT_EQ(sizeSlider, nullptr);
        EXPECT_EQ(sizeLabel, nullptr);
        EXPECT_EQ(sizeFont, nullptr);
        EXPECT_TRUE(Saved());
        Forget();
        Pump(100);
        EXPECT_FALSE(Saved()) << "saved once, on closing";
    }
}

// The dialog moved to another monitor takes the suggested rectangle; its
// slider and label keep following the clock's DPI.
TEST_F(SizeDialog, DpiChangeTakesTheSuggestedRectangle) {
    OpenSizeDialog();
    dpi = 192;
    RECT suggested{300, 200, 1100, 600};
    SendMessageW(sizeWindow, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    const RECT rect = WindowRect(sizeWindow);
    EXPECT_TRUE(EqualRect(&rect, &suggested));
    EXPECT_EQ(Slider(TBM_GETRANGEMAX), 600);
    EXPECT_EQ(Text(sizeLabel), L"Size: 100%  (640 pixels wide)");
}

} // namespace
