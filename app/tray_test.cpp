#include "app/tray.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "app/test_clock_window.h"
#include "placement/clock_window.h"

namespace {

constexpr UINT FLAGS = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;

// What the shell received, in order, with copies of the records; adds are
// refused while `refusedAdds` lasts, everything else goes to the real shell.
std::vector<DWORD> messages;
std::vector<NOTIFYICONDATAW> records;
int refusedAdds = 0;

BOOL WINAPI RecordingShell(DWORD message, PNOTIFYICONDATAW record) {
    messages.push_back(message);
    records.push_back(*record);
    if (message == NIM_ADD && refusedAdds > 0) return --refusedAdds, FALSE;
    return Shell_NotifyIconW(message, record);
}

void ForgetCalls() {
    messages.clear();
    records.clear();
}

// 0 for a released icon.
int IconWidth(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return 0;
    BITMAP bitmap{};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

// The shell holds the icon exactly when modifying nothing of it succeeds.
bool IconShown() {
    NOTIFYICONDATAW probe{};
    probe.cbSize = sizeof probe;
    probe.hWnd = windowHandle;
    probe.uID = 1;
    return Shell_NotifyIconW(NIM_MODIFY, &probe);
}

class TrayIcon : public WithClockWindow {
  protected:
    void SetUp() override {
        WithClockWindow::SetUp();
        ForgetCalls();
        refusedAdds = 0;
        notifyIcon = RecordingShell;
    }
    void TearDown() override {
        RemoveTray();
        notifyIcon = Shell_NotifyIconW;
        WithClockWindow::TearDown();
    }
};

TEST_F(TrayIcon, AddTrayFillsTheRecordAfreshWithTheTooltipShownAndAddsAgainForANewTaskbar) {
    std::memset(&tray, 0x5A, sizeof tray); // what an earlier icon may have left
    HICON earlier = nullptr;
    for (int shell = 0; shell < 2; ++shell) {
        SCOPED_TRACE(shell);
        ForgetCalls();
        EXPECT_TRUE(AddTray());
        EXPECT_EQ(tray.cbSize, sizeof(NOTIFYICONDATAW));
        EXPECT_EQ(tray.hWnd, windowHandle);
        EXPECT_EQ(tray.uID, 1u);
        EXPECT_EQ(tray.uFlags, FLAGS);
        EXPECT_EQ(tray.uCallbackMessage, 0x8001u);
        EXPECT_EQ(IconWidth(tray.hIcon), GetSystemMetrics(SM_CXSMICON)) << "the shell's small size";
        EXPECT_STREQ(tray.szTip, L"Velmor Clock \u2014 right-click for options");
        EXPECT_EQ(tray.uVersion, 4u);
        EXPECT_EQ(tray.dwState | tray.dwStateMask | tray.dwInfoFlags, 0u);
        EXPECT_EQ(tray.szInfo[0] | tray.szInfoTitle[0] | tray.szTip[127], L'\0');
        EXPECT_EQ(tray.hBalloonIcon, nullptr);
        // The shell got the tooltip flag with the add, then version 4.
        ASSERT_EQ(messages, (std::vector<DWORD>{NIM_ADD, NIM_SETVERSION}));
        EXPECT_EQ(records[0].uFlags, FLAGS);
        EXPECT_EQ(records[1].uVersion, 4u);
        EXPECT_TRUE(IconShown());
        if (earlier) {
            EXPECT_EQ(IconWidth(earlier), 0) << "the image before is released";
        }
        earlier = tray.hIcon;
        // A restarted shell has forgotten the icon; its "TaskbarCreated" adds it again.
        Shell_NotifyIconW(NIM_DELETE, &tray);
    }
    // A DPI change hands the shell an icon loaded afresh.
    ASSERT_TRUE(AddTray());
    const HICON before = tray.hIcon;
    ForgetCalls();
    RefreshTrayIcon();
    ASSERT_EQ(messages, std::vector<DWORD>{NIM_MODIFY});
    EXPECT_EQ(records[0].hIcon, tray.hIcon);
    EXPECT_EQ(IconWidth(before), 0);
    EXPECT_TRUE(IconShown());
    RemoveTray();
    EXPECT_FALSE(IconShown());
}

TEST_F(TrayIcon, TheIconResourceHoldsEverySizeThatScalingFrom100To300PercentAsksFor) {
    const HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(1), RT_GROUP_ICON);
    ASSERT_NE(found, nullptr);
    // The group directory: a 6-byte header with the count at 4, then 14-byte
    // entries, each starting with its width and height (0 for 256).
    const auto* group = static_cast<const BYTE*>(LockResource(LoadResource(instance, found)));
    std::vector<int> sizes;
    for (int i = 0; i < (group[4] | group[5] << 8); ++i)
        sizes.push_back(group[6 + 14 * i] ? group[6 + 14 * i] : 256);
    for (int size : {16, 20, 24, 32, 40, 48, 64, 256})
        EXPECT_EQ(std::count(sizes.begin(), sizes.end(), size), 1) << size;
}

// A busy shell refuses the add: the timer tries again until an add succeeds,
// or a modify does (an add the shell timed out on may have gone through),
// then asks for version 4; after two minutes it gives up. A new taskbar
// starts the tries afresh.
TEST_F(TrayIcon, ARefusedAddIsTriedAgainOnTheTimerUntilItSucceedsOrTwoMinutesPass) {
    refusedAdds = 2;
    EXPECT_FALSE(AddTray());
    EXPECT_EQ(messages, (std::vector<DWORD>{NIM_ADD, NIM_MODIFY})) << "no version for a missing icon";
    RetryTray(); // as the window procedure does on the timer
    EXPECT_FALSE(IconShown());
    ForgetCalls();
    RetryTray();
    EXPECT_EQ(messages, (std::vector<DWORD>{NIM_ADD, NIM_SETVERSION}));
    EXPECT_EQ(records.back().uFlags, FLAGS);
    EXPECT_TRUE(IconShown());
    EXPECT_FALSE(KillTimer(windowHandle, TRAY_TIMER)) << "stopped at the first success";

    refusedAdds = 1000;
    ForgetCalls();
    EXPECT_TRUE(AddTray()) << "a new taskbar that kept the icon";
    EXPECT_EQ(messages, (std::vector<DWORD>{NIM_ADD, NIM_MODIFY, NIM_SETVERSION}));

    Shell_NotifyIconW(NIM_DELETE, &tray);
    ForgetCalls();
    EXPECT_FALSE(AddTray());
    for (int retry = 0; retry < LOGON_RETRIES; ++retry)
        RetryTray();
    EXPECT_EQ(std::count(messages.begin(), messages.end(), DWORD{NIM_ADD}), 1 + LOGON_RETRIES);
    EXPECT_FALSE(KillTimer(windowHandle, TRAY_TIMER)) << "given up";
    EXPECT_FALSE(AddTray()); // "TaskbarCreated"
    EXPECT_TRUE(KillTimer(windowHandle, TRAY_TIMER));
}

// The icon's menu, by mouse or keyboard, opens at the anchor the shell gives
// in wParam; afterwards the keyboard focus goes back to the icon unless the
// command opened the size dialog or closed the clock. A click or Enter on the
// icon brings a hidden clock forward.
TEST_F(TrayIcon, TheIconsMenuOpensAtTheAnchorAndGivesTheFocusBackAndASelectBringsTheClockForward) {
    EXPECT_NE(GetForegroundWindow(), windowHandle);
    for (WORD event : {NIN_SELECT, NIN_KEYSELECT}) {
        visible = false;
        ShowWindow(windowHandle, SW_HIDE);
        TrayEvent(MAKEWPARAM(400, 300), MAKELPARAM(event, 1));
        EXPECT_TRUE(visible && IsWindowVisible(windowHandle)) << event;
        EXPECT_EQ(GetForegroundWindow(), windowHandle) << event;
    }
    ASSERT_TRUE(AddTray());
    const struct {
        unsigned id;
        bool focusBack;
    } cases[] = {
        {0, true}, {CMD_SHOW_HIDE, true}, {CMD_SHOW_HIDE, true}, {CMD_CLOCK_SIZE, false}, {CMD_EXIT, false}};
    for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
        SCOPED_TRACE(cases[i].id);
        const int x = 300 + 40 * i, y = 200 + 10 * i;
        menuProbe.keys = cases[i].id ? KeysFor(MenuItems(cfg, visible, false), cases[i].id)
                                     : std::vector<WPARAM>{VK_ESCAPE};
        Pump();
        ForgetCalls();
        TrayEvent(MAKEWPARAM(x, y), MAKELPARAM(WM_CONTEXTMENU, 1));
        Pump();
        EXPECT_EQ(menuProbe.opened, i + 1);
        EXPECT_EQ(menuProbe.place.left, x);
        EXPECT_EQ(menuProbe.place.top, y);
        EXPECT_EQ(!messages.empty() && messages.back() == NIM_SETFOCUS, cases[i].focusBack);
        if (cases[i].id == CMD_CLOCK_SIZE) {
            EXPECT_NE(sizeWindow, nullptr);
        }
    }
    EXPECT_FALSE(IsWindow(windowHandle)) << "Exit";
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
