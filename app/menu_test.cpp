#include "app/menu.h"

#include <sddl.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/test_clock_window.h"
#include "settings/startup.h"

namespace {

// A message box the menu asked for, captured instead of shown.
struct Shown {
    HWND owner;
    std::wstring text;
    std::wstring caption;
    UINT type;
    friend bool operator==(const Shown&, const Shown&) = default;
};
std::vector<Shown> shown;

int WINAPI Capture(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    shown.push_back({owner, text, caption, type});
    return IDOK;
}

class MenuOnTheClock : public WithClockWindow {
protected:
    void SetUp() override {
        WithClockWindow::SetUp();
        shown.clear();
    }
    // Opens the real menu and picks `id` with the keyboard while it is open;
    // 0 dismisses it with Esc.
    static void Choose(unsigned id) {
        menuProbe.keys = id == 0 ? std::vector<WPARAM>{VK_ESCAPE} : KeysFor(MenuItems(cfg, visible, StartupEnabled()), id);
        const int opened = menuProbe.opened;
        Menu(POINT{150, 150}, Capture);
        Pump();
        EXPECT_EQ(menuProbe.opened, opened + 1);
    }
};

TEST_F(MenuOnTheClock, RealMenuHoldsTheTableAndADismissedOneChangesNothing) {
    Settings off = DEFAULT_SETTINGS;
    off.AlwaysOnTop = off.LockPosition = true;
    off.Seconds = off.Smooth = off.Crystal = off.Shadows = false;
    off.ReflectionStrength = 80;
    for (const Settings& state : {DEFAULT_SETTINGS, off}) {
        cfg = state;
        Choose(0);
        ASSERT_EQ(menuProbe.items.size(), 16u);
        EXPECT_EQ(menuProbe.items, MenuItems(state, true, false));
        EXPECT_EQ(cfg, state);
        EXPECT_FALSE(Drawn());
        EXPECT_FALSE(Saved());
    }
    const std::vector<MenuItem>& strengths = menuProbe.items[7].items;
    ASSERT_EQ(strengths.size(), 3u);
    for (const MenuItem& item : strengths) EXPECT_FALSE(item.checked) << "strength 80";
}

TEST_F(MenuOnTheClock, HideClockThenTheMenuOffersShowClock) {
    Choose(CMD_SHOW_HIDE);
    EXPECT_FALSE(visible);
    EXPECT_FALSE(IsWindowVisible(windowHandle));
    EXPECT_TRUE(Drawn());
    EXPECT_TRUE(Saved());
    Choose(0);
    EXPECT_EQ(menuProbe.items[12].text, L"Show clock");
    Choose(CMD_SHOW_HIDE);
    EXPECT_TRUE(visible);
    EXPECT_TRUE(IsWindowVisible(windowHandle));
    Choose(0);
    EXPECT_EQ(menuProbe.items[12].text, L"Hide clock");
}

TEST_F(MenuOnTheClock, EachCommandDoesItsWorkThenDrawsAndSaves) {
    const struct {
        unsigned id;
        void (*before)();
        void (*check)();
    } rows[] = {
        {CMD_ALWAYS_ON_TOP, [] {},
         [] {
             EXPECT_TRUE(cfg.AlwaysOnTop);
             EXPECT_TRUE(GetWindowLongW(windowHandle, GWL_EXSTYLE) & WS_EX_TOPMOST);
         }},
        {CMD_LOCK_POSITION, [] {}, [] { EXPECT_TRUE(cfg.LockPosition); }},
        {CMD_CRYSTAL, [] {}, [] { EXPECT_FALSE(cfg.Crystal); }},
        {CMD_SHADOWS, [] {}, [] { EXPECT_FALSE(cfg.Shadows); }},
        {CMD_STRONG, [] { cfg.Crystal = false; },
         [] {
             EXPECT_TRUE(cfg.Crystal);
             EXPECT_EQ(cfg.ReflectionStrength, 135);
         }},
        {CMD_SOFT, [] {}, [] { EXPECT_EQ(cfg.ReflectionStrength, 65); }},
        {CMD_NORMAL, [] { cfg.ReflectionStrength = 80; }, [] { EXPECT_EQ(cfg.ReflectionStrength, 100); }},
        // Smooth stays selectable with the seconds hand off; the tick it sets
        // is the once-a-second one: no tick within 600 ms, but one is running.
        {CMD_SMOOTH, [] { cfg.Seconds = false; },
         [] {
             EXPECT_FALSE(cfg.Smooth);
             EXPECT_EQ(Pump(600), 0);
             EXPECT_TRUE(KillTimer(windowHandle, 1));
         }},
        {CMD_SECONDS, [] { cfg.Seconds = false; },
         [] {
             EXPECT_TRUE(cfg.Seconds);
             EXPECT_GT(Pump(600), 0);  // a sweeping hand ticks every 50 ms
         }},
        {CMD_ABOUT, [] {},
         [] {
             EXPECT_EQ(shown, (std::vector<Shown>{{windowHandle, ABOUT_TEXT, L"Velmor Clock", MB_ICONINFORMATION}}));
         }},
        // A hidden clock off to the side comes back centred on its work area.
        // The hiding settles first: under Wine an activation change that
        // arrives while a menu is open closes it.
        {CMD_CENTER,
         [] {
             SetWindowPos(windowHandle, nullptr, 30, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
             visible = false;
             ShowWindow(windowHandle, SW_HIDE);
             Pump(100);
         },
         [] {
             EXPECT_TRUE(visible);
             EXPECT_TRUE(IsWindowVisible(windowHandle));
             RECT area{};
             SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
             const RECT rect = WindowRect(windowHandle);
             EXPECT_NEAR(rect.left + rect.right, area.left + area.right, 1);
             EXPECT_NEAR(rect.top + rect.bottom, area.top + area.bottom, 1);
             EXPECT_EQ(cfg.X, rect.left);  // the new position is saved
             EXPECT_EQ(cfg.Y, rect.top);
         }},
        {CMD_CLOCK_SIZE, [] {},
         [] {
             ASSERT_NE(sizeWindow, nullptr);
             DestroyWindow(sizeWindow);
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.id);
        cfg = DEFAULT_SETTINGS;
        row.before();
        Forget();
        Choose(row.id);
        EXPECT_TRUE(Drawn());
        EXPECT_TRUE(Saved());
        row.check();
        shown.clear();
    }
}

TEST_F(MenuOnTheClock, ExitDestroysTheClockWithoutDrawingOrSaving) {
    Choose(CMD_EXIT);
    EXPECT_FALSE(IsWindow(windowHandle));
    EXPECT_FALSE(Drawn());
    EXPECT_FALSE(Saved());
}

// The Run value of the test prefix's own registry: cases (separate processes,
// possibly at the same time) take turns with the start-up tests through their
// mutex, and the value found at the start is put back at the end.
class StartWithWindows : public MenuOnTheClock {
protected:
    void SetUp() override {
        turn = CreateMutexW(nullptr, FALSE, L"Local\\Dashwelle.VelmorClock.RunValueTest");
        ASSERT_NE(turn, nullptr);
        ASSERT_NE(WaitForSingleObject(turn, 60000), WAIT_TIMEOUT);
        wasEnabled = StartupEnabled();
        ASSERT_TRUE(SetStartup(false));
        MenuOnTheClock::SetUp();
    }
    void TearDown() override {
        MenuOnTheClock::TearDown();
        AllowWriting();
        SetStartup(wasEnabled);
        ReleaseMutex(turn);
        CloseHandle(turn);
    }
    // Denies everyone writing to the Run key, keeping its access list to put back.
    void DenyWriting() {
        const HKEY run = OpenRunKey();
        DWORD bytes = 0;
        RegGetKeySecurity(run, DACL_SECURITY_INFORMATION, nullptr, &bytes);
        savedAccess.resize(bytes);
        ASSERT_EQ(RegGetKeySecurity(run, DACL_SECURITY_INFORMATION, savedAccess.data(), &bytes), ERROR_SUCCESS);
        PSECURITY_DESCRIPTOR denied = nullptr;
        ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(D;;0x2;;;WD)(A;;KA;;;WD)",
                                                                         SDDL_REVISION_1, &denied, nullptr));
        EXPECT_EQ(RegSetKeySecurity(run, DACL_SECURITY_INFORMATION, denied), ERROR_SUCCESS);
        LocalFree(denied);
        RegCloseKey(run);
    }
    void AllowWriting() {
        if (savedAccess.empty()) return;
        const HKEY run = OpenRunKey();
        EXPECT_EQ(RegSetKeySecurity(run, DACL_SECURITY_INFORMATION, savedAccess.data()), ERROR_SUCCESS);
        RegCloseKey(run);
        savedAccess.clear();
    }
    static HKEY OpenRunKey() {
        HKEY run = nullptr;
        EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0,
                                READ_CONTROL | WRITE_DAC, &run),
                  ERROR_SUCCESS);
        return run;
    }
    HANDLE turn = nullptr;
    bool wasEnabled = false;
    std::vector<BYTE> savedAccess;
};
TEST_F(StartWithWindows, TogglesTheRunValueAndItsCheckFollowsTheRegistry) {
    Choose(0);
    EXPECT_FALSE(menuProbe.items[10].checked);
    Choose(CMD_STARTUP);
    EXPECT_TRUE(StartupEnabled());
    EXPECT_TRUE(Saved());
    Choose(0);
    EXPECT_TRUE(menuProbe.items[10].checked);
    Choose(CMD_STARTUP);
    EXPECT_FALSE(StartupEnabled());
    EXPECT_TRUE(shown.empty());
}

TEST_F(StartWithWindows, AFailureToWriteTheRunValueIsShown) {
    DenyWriting();
    Choose(CMD_STARTUP);
    AllowWriting();
    EXPECT_FALSE(StartupEnabled());
    EXPECT_EQ(shown, (std::vector<Shown>{{windowHandle, L"Windows could not save the startup setting.",
                                         L"Velmor Clock", MB_ICONERROR}}));
    EXPECT_TRUE(Drawn());
    EXPECT_TRUE(Saved());
}

} // namespace
