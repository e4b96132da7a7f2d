#include "app/tray.h"

#include <cstring>

#include <gtest/gtest.h>

#include "app/test_clock_window.h"

namespace {

using TrayIcon = WithClockWindow;

TEST_F(TrayIcon, AddTrayFillsTheRecordAfreshAndAddsAgainForANewTaskbar) {
    std::memset(&tray, 0x5A, sizeof tray); // what an earlier icon may have left
    for (int shell = 0; shell < 2; ++shell) {
        SCOPED_TRACE(shell);
        EXPECT_TRUE(AddTray());
        EXPECT_EQ(tray.cbSize, sizeof(NOTIFYICONDATAW));
        EXPECT_EQ(tray.hWnd, windowHandle);
        EXPECT_EQ(tray.uID, 1u);
        EXPECT_EQ(tray.uFlags, 7u);
        EXPECT_EQ(tray.uCallbackMessage, 0x8001u);
        EXPECT_EQ(tray.hIcon, LoadIconW(instance, MAKEINTRESOURCEW(1)));
        EXPECT_NE(tray.hIcon, nullptr);
        EXPECT_STREQ(tray.szTip, L"Velmor Clock \u2014 right-click for options");
        EXPECT_EQ(tray.uVersion, 4u);
        EXPECT_EQ(tray.dwState | tray.dwStateMask | tray.dwInfoFlags, 0u);
        EXPECT_EQ(tray.szInfo[0] | tray.szInfoTitle[0] | tray.szTip[127], L'\0');
        EXPECT_EQ(tray.hBalloonIcon, nullptr);
        EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &tray)) << "the icon is there";
        // A restarted shell has forgotten the icon; its "TaskbarCreated" adds it again.
        Shell_NotifyIconW(NIM_DELETE, &tray);
    }
}

TEST_F(TrayIcon, ShowClockBringsAHiddenClockBackOnScreenWithoutActivatingIt) {
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    SetWindowPos(windowHandle, nullptr, area.right - 100, area.bottom - 100, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    visible = false;
    ShowWindow(windowHandle, SW_HIDE);
    Forget();
    EXPECT_TRUE(ShowClock());
    EXPECT_TRUE(visible);
    EXPECT_TRUE(IsWindowVisible(windowHandle));
    EXPECT_NE(GetActiveWindow(), windowHandle);
    EXPECT_TRUE(Drawn());
    const RECT rect = WindowRect(windowHandle);
    EXPECT_EQ(rect.right, area.right);
    EXPECT_EQ(rect.bottom, area.bottom);
}

} // namespace
