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
    std::wstring text, caption;
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
    // Opens the real menu and picks `id` with keys posted while it is open; 0 dismisses it.
    static void Choose(unsigned id) {
        menuProbe.keys = id ? KeysFor(MenuItems(cfg, visible, false), id) : std::vector<WPARAM>{VK_ESCAPE};
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
        EXPECT_FALSE(Drawn() || Saved());
    }
    for (const MenuItem& item : menuProbe.items[7].items)
        EXPECT_FALSE(item.checked) << "strength 80";

    Choose(CMD_SHOW_HIDE);
    EXPECT_FALSE(visible || IsWindowVisible(windowHandle));
    Choose(0);
    EXPECT_EQ(menuProbe.items[12].text, L"Show clock");
    Choose(CMD_SHOW_HIDE);
    EXPECT_TRUE(visible && IsWindowVisible(windowHandle));
}

// What each command does on the real clock beyond the settings (those are
// held by the portable table's tests); each ends drawn and saved.
TEST_F(MenuOnTheClock, EachCommandDoesItsWorkThenDrawsAndSaves) {
    const struct {
        unsigned id;
        void (*before)();
        void (*check)();
    } rows[] = {
        {CMD_ALWAYS_ON_TOP, [] {},
         [] { EXPECT_TRUE(GetWindowLongW(windowHandle, GWL_EXSTYLE) & WS_EX_TOPMOST); }},
        {CMD_STRONG, [] { cfg.Crystal = false; },
         [] { EXPECT_TRUE(cfg.Crystal && cfg.ReflectionStrength == 135); }},
        // With the seconds hand off, the tick Smooth sets is the stepping one:
        // the first comes in the next second of the local clock, just after it
        // begins (a sweeping one would come within 50 ms).
        {CMD_SMOOTH, [] { cfg.Seconds = false; },
         [] {
             SYSTEMTIME chosen{}, ticked{};
             GetLocalTime(&chosen);
             for (const ULONGLONG end = GetTickCount64() + 1500; Pump(1) == 0 && GetTickCount64() < end;) {
             }
             GetLocalTime(&ticked);
             EXPECT_NE(ticked.wSecond, chosen.wSecond);
             EXPECT_LE(ticked.wMilliseconds, 150);
             EXPECT_TRUE(KillTimer(windowHandle, 1));
         }},
        {CMD_ABOUT, [] {},
         [] {
             EXPECT_EQ(shown,
                       (std::vector<Shown>{{windowHandle, ABOUT_TEXT, L"Velmor Clock", MB_ICONINFORMATION}}));
         }},
        // A hidden clock off to the side comes back centred. The hiding settles
        // first: under Wine an activation change arriving while a menu is open closes it.
        {CMD_CENTER,
         [] {
             SetWindowPos(windowHandle, nullptr, 30, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
             visible = false;
             ShowWindow(windowHandle, SW_HIDE);
             Pump(100);
         },
         [] {
             EXPECT_TRUE(visible && IsWindowVisible(windowHandle));
             RECT area{};
             SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
             const RECT rect = WindowRect(windowHandle);
             EXPECT_NEAR(rect.left + rect.right, area.left + area.right, 1);
             EXPECT_NEAR(rect.top + rect.bottom, area.top + area.bottom, 1);
             EXPECT_EQ(cfg.X, rect.left); // the new position is saved
         }},
        {CMD_CLOCK_SIZE, [] {},
         [] {
             EXPECT_TRUE(IsWindow(sizeWindow));
             DestroyWindow(sizeWindow);
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.id);
        cfg = DEFAULT_SETTINGS;
        row.before();
        Forget();
        Choose(row.id);
        EXPECT_TRUE(Drawn() && Saved());
        row.check();
        shown.clear();
    }
    Forget();
    Choose(CMD_EXIT);
    EXPECT_FALSE(IsWindow(windowHandle));
    EXPECT_FALSE(Drawn() || Saved()); // the clock's own procedure saves as it goes
}

// The Run value of the test prefix's registry: cases take turns with the
// start-up tests through their mutex; the value found is put back.
class StartWithWindows : public MenuOnTheClock {
  protected:
    void SetUp() override {
        turn = CreateMutexW(nullptr, FALSE, L"Local\\Dashwelle.VelmorClock.RunValueTest");
        ASSERT_NE(WaitForSingleObject(turn, 60000), WAIT_TIMEOUT);
        wasEnabled = StartupEnabled();
        ASSERT_TRUE(SetStartup(false));
        MenuOnTheClock::SetUp();
    }
    void TearDown() override {
        MenuOnTheClock::TearDown();
        if (!savedAccess.empty()) SetRunKeyAccess(savedAccess.data());
        SetStartup(wasEnabled);
        ReleaseMutex(turn);
        CloseHandle(turn);
    }
    static void SetRunKeyAccess(PSECURITY_DESCRIPTOR access) {
        HKEY run = nullptr;
        RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0, WRITE_DAC,
                      &run);
        EXPECT_EQ(RegSetKeySecurity(run, DACL_SECURITY_INFORMATION, access), ERROR_SUCCESS);
        RegCloseKey(run);
    }
    HANDLE turn = nullptr;
    bool wasEnabled = false;
    std::vector<BYTE> savedAccess;
};

TEST_F(StartWithWindows, TogglesTheRunValueAndItsCheckFollowsTheRegistry) {
    for (bool enabled : {true, false}) {
        Choose(CMD_STARTUP);
        EXPECT_EQ(StartupEnabled(), enabled);
        Choose(0);
        EXPECT_EQ(menuProbe.items[10].checked, enabled);
    }
    EXPECT_TRUE(shown.empty());
}

TEST_F(StartWithWindows, AFailureToWriteTheRunValueIsShown) {
    HKEY run = nullptr;
    RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0, READ_CONTROL,
                  &run);
    DWORD bytes = 1024;
    savedAccess.resize(bytes);
    ASSERT_EQ(RegGetKeySecurity(run, DACL_SECURITY_INFORMATION, savedAccess.data(), &bytes), ERROR_SUCCESS);
    RegCloseKey(run);
    PSECURITY_DESCRIPTOR denied = nullptr; // writing denied to everyone
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(D;;0x2;;;WD)(A;;KA;;;WD)",
                                                                     SDDL_REVISION_1, &denied, nullptr));
    SetRunKeyAccess(denied);
    LocalFree(denied);

    Choose(CMD_STARTUP);
    EXPECT_FALSE(StartupEnabled());
    EXPECT_EQ(shown, (std::vector<Shown>{{windowHandle, L"Windows could not save the startup setting.",
                                          L"Velmor Clock", MB_ICONERROR}}));
    EXPECT_TRUE(Drawn() && Saved());
}

} // namespace
