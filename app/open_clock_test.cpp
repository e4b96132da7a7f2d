#include "app/open_clock.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "app/clock.h"
#include "app/constants.h"
#include "app/globals.h"
#include "app/test_clock_window.h"
#include "placement/dpi.h"
#include "presentation/present.h"
#include "presentation/test_renderer.h"
#include "settings/settings_file.h"

namespace {

struct Shown {
    HWND owner;
    std::wstring message;
};
std::vector<Shown> shown;
void Capture(HWND owner, const wchar_t* message) {
    shown.push_back({owner, message});
}

class OpenClockTest : public WithShell {
  protected:
    void SetUp() override {
        WithShell::SetUp();
        shown.clear();
        // Start-up registers the classes after the settings: each test does
        // it when it needs them.
        UnregisterClassW(APPCLASS, instance);
        UnregisterClassW(SIZECLASS, instance);
    }
};

TEST_F(OpenClockTest, WithoutItsWindowClassNoWindowIsMadeAndTheExitCodeIs3) {
    EXPECT_EQ(OpenClock(Capture), EXIT_NO_WINDOW);
    EXPECT_EQ(windowHandle, nullptr);
    EXPECT_TRUE(shown.empty());
}

TEST_F(OpenClockTest, AFirstFrameThatFailsTellsTheUserSavesAndExits4) {
    RegisterClasses(instance);
    renderer.reset(); // nothing can draw the first frame
    cfg.Size = 900;
    EXPECT_EQ(OpenClock(Capture), EXIT_NO_FIRST_FRAME);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].message, L"Windows could not display the clock. Please restart the application.");
    EXPECT_NE(shown[0].owner, nullptr);
    EXPECT_FALSE(IsWindow(shown[0].owner)); // destroyed before returning
    // The destruction saved the settings on the way out.
    EXPECT_NE(GetFileAttributesW(iniPath.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(OpenClockTest, AClockNeverPlacedIsCentredOnItsWorkAreaAndShownWithoutActivation) {
    RegisterClasses(instance);
    ASSERT_EQ(OpenClock(Capture), 0);
    EXPECT_TRUE(shown.empty());
    EXPECT_FALSE(initializing);
    EXPECT_NE(taskbarCreated, 0u);
    RECT rect{};
    GetWindowRect(windowHandle, &rect);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromWindow(windowHandle, MONITOR_DEFAULTTONEAREST), &info);
    EXPECT_EQ(rect.right - rect.left, 320);
    EXPECT_EQ(rect.left, info.rcWork.left + (info.rcWork.right - info.rcWork.left - 320) / 2);
    EXPECT_EQ(rect.top, info.rcWork.top + (info.rcWork.bottom - info.rcWork.top - 320) / 2);
    EXPECT_TRUE(IsWindowVisible(windowHandle));
    EXPECT_NE(GetForegroundWindow(), windowHandle);
    const LONG_PTR style = GetWindowLongPtrW(windowHandle, GWL_EXSTYLE);
    EXPECT_EQ(style & (WS_EX_LAYERED | WS_EX_TOOLWINDOW), WS_EX_LAYERED | WS_EX_TOOLWINDOW);
    // The tick runs: a timer 1 exists to be killed.
    EXPECT_TRUE(KillTimer(windowHandle, 1));
}

TEST_F(OpenClockTest, APlacedClockKeepsItsPlaceEachCoordinateOnItsOwn) {
    RegisterClasses(instance);
    cfg.X = 300; // Y never saved: created at 100, not centred
    ASSERT_EQ(OpenClock(Capture), 0);
    RECT rect{};
    GetWindowRect(windowHandle, &rect);
    EXPECT_EQ(rect.left, 300);
    EXPECT_EQ(rect.top, 100);
}

TEST_F(OpenClockTest, ASecondClaimAsksTheRunningClockToShowItselfAndEnds) {
    HANDLE first = nullptr;
    ASSERT_TRUE(ClaimSingleInstance(first));
    ASSERT_NE(first, nullptr);

    // The running clock's window, as a second start finds it by its class.
    RegisterClasses(instance);
    cfg.X = 200;
    cfg.Y = 200;
    ASSERT_EQ(OpenClock(Capture), 0);
    visible = false;
    ShowWindow(windowHandle, SW_HIDE);
    ASSERT_NE(GetForegroundWindow(), windowHandle);

    HANDLE second = nullptr;
    EXPECT_FALSE(ClaimSingleInstance(second));
    EXPECT_EQ(second, nullptr);
    MSG message;
    bool asked = false;
    for (int i = 0; i < 100 && !asked; ++i) {
        while (PeekMessageW(&message, windowHandle, 0, 0, PM_REMOVE)) {
            asked |= message.message == WM_SHOW_REQUEST;
            DispatchMessageW(&message);
        }
        if (!asked) Sleep(10);
    }
    EXPECT_TRUE(asked);
    EXPECT_TRUE(visible);
    EXPECT_TRUE(IsWindowVisible(windowHandle));
    EXPECT_EQ(GetForegroundWindow(), windowHandle) << "the clock takes the foreground itself";
    CloseHandle(first);
}

} // namespace
