#include "app/size_dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <utility>

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

LRESULT Slider(UINT message) {
    return SendMessageW(sizeSlider, message, 0, 0);
}

RECT WorkArea() {
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

// Wine gives every window the one system DPI, so the dialog's own DPI is given
// by hand; the frame holds the client area at that DPI, and where the window's
// DPI is that DPI (96 under Wine) the client area itself is checked.
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
        FitSizeDialog(sizeWindow, row.dpi);
        RECT frame{0, 0, row.width, row.height}, client{};
        AdjustWindowRectExForDpi(&frame, WS_CAPTION | WS_SYSMENU, FALSE, WS_EX_TOOLWINDOW, row.dpi);
        const RECT outer = WindowRect(sizeWindow);
        EXPECT_EQ(outer.right - outer.left, frame.right - frame.left);
        EXPECT_EQ(outer.bottom - outer.top, frame.bottom - frame.top);
        GetClientRect(sizeWindow, &client);
        if (GetDpiForWindow(sizeWindow) == row.dpi) {
            EXPECT_EQ(std::pair(client.right, client.bottom), std::pair(LONG{row.width}, LONG{row.height}));
        }
        LOGFONTW font{};
        GetObjectW(sizeFont, sizeof font, &font);
        EXPECT_EQ(font.lfHeight, -row.font);
        EXPECT_STREQ(font.lfFaceName, L"Segoe UI");
        for (const ControlPlace& place : SizeDialogControls(row.dpi)) {
            const HWND control = GetDlgItem(sizeWindow, place.id);
            RECT r = WindowRect(control);
            MapWindowPoints(nullptr, sizeWindow, reinterpret_cast<POINT*>(&r), 2);
            EXPECT_EQ((ControlPlace{place.id, {r.left, r.top}, {r.right - r.left, r.bottom - r.top}}), place);
            const bool fonted =
                SendMessageW(control, WM_GETFONT, 0, 0) == reinterpret_cast<LRESULT>(sizeFont);
            EXPECT_EQ(fonted, place.id != SIZE_SLIDER_ID) << place.id; // a trackbar keeps no font
        }
        EXPECT_EQ(std::pair(Slider(TBM_GETRANGEMIN), Slider(TBM_GETRANGEMAX)),
                  std::pair(LRESULT{160}, LRESULT{row.largest}));
        EXPECT_EQ(Slider(TBM_GETPOS), 320);
        EXPECT_EQ(Text(sizeLabel), row.label);
        DestroyWindow(sizeWindow);
    }
}

// The clock at 144 DPI, the monitor the dialog opens on at the window's own
// DPI (Wine's one system DPI): the dialog is laid out for its monitor, while
// the slider and the label follow the clock.
TEST_F(SizeDialog, OpensAtTheDpiOfItsMonitorNotTheClocks) {
    dpi = 144;
    OpenSizeDialog();
    const unsigned own = GetDpiForWindow(sizeWindow);
    ASSERT_NE(own, 144u);
    const ScreenSize client = SizeDialogClient(own);
    RECT rect{};
    GetClientRect(sizeWindow, &rect);
    EXPECT_EQ(std::pair(rect.right, rect.bottom), std::pair(LONG{client.width}, LONG{client.height}));
    LOGFONTW font{};
    GetObjectW(sizeFont, sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -SizeDialogFontHeight(own));
    const ControlPlace done = SizeDialogControls(own)[DONE_ID - SIZE_LABEL_ID];
    rect = WindowRect(GetDlgItem(sizeWindow, DONE_ID));
    MapWindowPoints(nullptr, sizeWindow, reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ((ScreenPoint{rect.left, rect.top}), done.topLeft);
    EXPECT_EQ(Slider(TBM_GETRANGEMAX), 800);
    EXPECT_EQ(Text(sizeLabel), L"Size: 100%  (480 pixels wide)");
}

// Size dialogs of this test's own thread: other test programs run beside it
// on the same desktop, with dialogs of the same class.
int OwnSizeDialogs() {
    int count = 0;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM found) -> BOOL {
            wchar_t name[32] = L"";
            GetClassNameW(window, name, 32);
            *reinterpret_cast<int*>(found) += std::wcscmp(name, SIZECLASS) == 0;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

TEST_F(SizeDialog, OpensOnceOverTheClockInsideTheWorkArea) {
    OpenSizeDialog();
    const HWND first = sizeWindow;
    EXPECT_EQ(Text(first), L"Velmor Clock \u2014 Size");
    EXPECT_EQ(GetWindow(first, GW_OWNER), windowHandle);
    EXPECT_EQ(GetFocus(), sizeSlider);
    EXPECT_EQ(WindowRect(first).left, 100); // the clock's top-left corner
    EXPECT_EQ(WindowRect(first).top, 100);
    SetForegroundWindow(windowHandle);
    OpenSizeDialog();
    EXPECT_EQ(sizeWindow, first);
    EXPECT_EQ(GetForegroundWindow(), first);
    EXPECT_EQ(OwnSizeDialogs(), 1);
    DestroyWindow(first);

    const RECT area = WorkArea();
    SetWindowPos(windowHandle, nullptr, area.right - 60, area.bottom - 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    OpenSizeDialog();
    EXPECT_EQ(WindowRect(sizeWindow).right, area.right);
    EXPECT_EQ(WindowRect(sizeWindow).bottom, area.bottom);
}

// The slider's own keyboard notifications, a wheel-style resize, "Default size".
TEST_F(SizeDialog, SliderAndDefaultSizeResizeTheClockAndTheLabelFollowsEverySize) {
    OpenSizeDialog();
    SendMessageW(sizeSlider, WM_KEYDOWN, VK_END, 0);
    SendMessageW(sizeSlider, WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_EQ(cfg.Size, 899);
    FinishResize();
    EXPECT_EQ(WindowRect(windowHandle).right - WindowRect(windowHandle).left, 899);
    EXPECT_EQ(Text(sizeLabel), L"Size: 281%  (899 pixels wide)");
    Resize(400);
    FinishResize();
    EXPECT_EQ(Text(sizeLabel), L"Size: 125%  (400 pixels wide)");
    EXPECT_EQ(Slider(TBM_GETPOS), 899); // the thumb stays until the slider is used
    SendMessageW(GetDlgItem(sizeWindow, DEFAULT_SIZE_ID), BM_CLICK, 0, 0);
    EXPECT_EQ(cfg.Size, 320);
    EXPECT_EQ(Slider(TBM_GETPOS), 320);

    // At 480 DPI the size is at most 240, and a 1080-pixel work area holds 216.
    DestroyWindow(sizeWindow);
    dpi = 480;
    OpenSizeDialog();
    SendMessageW(GetDlgItem(sizeWindow, DEFAULT_SIZE_ID), BM_CLICK, 0, 0);
    const RECT area = WorkArea();
    EXPECT_EQ(cfg.Size,
              std::min<int>(MulDiv(std::min(area.right - area.left, area.bottom - area.top), 96, 480), 240));
    EXPECT_EQ(Slider(TBM_GETPOS), cfg.Size);
}

// Esc and Enter as keys pressed on the slider, through IsDialogMessageW.
TEST_F(SizeDialog, EscEnterDoneAndTheCloseBoxEachCloseItAndSaveOnce) {
    for (auto close : {+[] { PostMessageW(sizeSlider, WM_KEYDOWN, VK_ESCAPE, 0); },
                       +[] { PostMessageW(sizeSlider, WM_KEYDOWN, VK_RETURN, 0); },
                       +[] { SendMessageW(GetDlgItem(sizeWindow, DONE_ID), BM_CLICK, 0, 0); },
                       +[] { PostMessageW(sizeWindow, WM_SYSCOMMAND, SC_CLOSE, 0); }}) {
        OpenSizeDialog();
        const HWND dialog = sizeWindow;
        Forget();
        close();
        Pump();
        EXPECT_FALSE(IsWindow(dialog));
        EXPECT_FALSE(sizeWindow || sizeSlider || sizeLabel || sizeFont);
        EXPECT_TRUE(Saved());
        Forget();
        Pump(100);
        EXPECT_FALSE(Saved());
    }
}

// Moved to a monitor of another DPI: the suggested rectangle, and the slider
// and label still following the clock's DPI.
TEST_F(SizeDialog, DpiChangeTakesTheSuggestedRectangle) {
    OpenSizeDialog();
    dpi = 192;
    RECT suggested{300, 200, 1100, 600};
    SendMessageW(sizeWindow, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    const RECT rect = WindowRect(sizeWindow);
    EXPECT_TRUE(EqualRect(&rect, &suggested));
    LOGFONTW font{};
    GetObjectW(sizeFont, sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -32); // laid out for the DPI the message gives
    EXPECT_EQ(Slider(TBM_GETRANGEMAX), 600);
    EXPECT_EQ(Text(sizeLabel), L"Size: 100%  (640 pixels wide)");
}

} // namespace
