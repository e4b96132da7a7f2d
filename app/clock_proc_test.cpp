#include "app/clock_proc.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/clock.h"
#include "app/constants.h"
#include "app/globals.h"
#include "app/open_clock.h"
#include "app/test_clock_window.h"
#include "app/timer_period.h"
#include "placement/dpi.h"
#include "presentation/present.h"
#include "presentation/test_renderer.h"
#include "settings/settings_file.h"

namespace {

std::vector<std::wstring> lines;
void CaptureLine(const wchar_t* line) {
    lines.emplace_back(line);
}
void IgnoreError(HWND, const wchar_t*) {}

// The real clock window, opened as start-up opens it, with the settings file
// in a temporary place and the debugger line captured.
class ClockWindowProc : public WithShell {
  protected:
    void SetUp() override {
        WithShell::SetUp();
        if (HasFatalFailure()) return;
        lines.clear();
        debugLine = CaptureLine;
        cfg.X = 400;
        cfg.Y = 300;
        ASSERT_EQ(OpenClock(IgnoreError), 0);
    }
    void TearDown() override {
        WithShell::TearDown();
        debugLine = OutputDebugStringW;
        beginTimerPeriod = timeBeginPeriod;
        endTimerPeriod = timeEndPeriod;
    }
    static RECT Rect() { return WindowRect(windowHandle); }
};

TEST_F(ClockWindowProc, AFailingTickWritesTheDebuggerLineOnceAndKeepsTicking) {
    renderer.reset(); // every redraw fails from here on
    for (int i = 0; i < 3; ++i)
        SendMessageW(windowHandle, WM_TIMER, 1, 0);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], L"Velmor Clock: layered rendering failed.\n");
    EXPECT_TRUE(KillTimer(windowHandle, 1)); // the tick still runs
}

TEST_F(ClockWindowProc, ADpiChangeClampsTheSizeForGoodMovesToTheSuggestionAndSaves) {
    cfg.Size = 900;
    RECT suggested{500, 200, 900, 600}; // its size is not used
    SendMessageW(windowHandle, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(dpi, 192u);
    // 600 at 192 DPI, or less where the work area cannot hold 1200 pixels.
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromWindow(windowHandle, MONITOR_DEFAULTTONEAREST), &info);
    const int held = std::min(info.rcWork.right - info.rcWork.left, info.rcWork.bottom - info.rcWork.top);
    const int expected = std::min(600, MulDiv(held, 96, 192));
    EXPECT_EQ(cfg.Size, expected);
    const RECT rect = Rect();
    EXPECT_EQ(rect.right - rect.left, MulDiv(expected, 192, 96));
    Settings saved = cfg;
    cfg = DEFAULT_SETTINGS;
    LoadSettings();
    EXPECT_EQ(cfg.Size, saved.Size);
    // Back to 96 DPI the stored size stays.
    SendMessageW(windowHandle, WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(cfg.Size, expected);
    EXPECT_EQ(Rect().right - Rect().left, expected);
}

TEST_F(ClockWindowProc, WheelNotchesResizeAboutTheCentreAndAWorkAreaChangePullsTheClockInside) {
    const RECT before = Rect();
    SendMessageW(windowHandle, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(cfg.Size, 332);
    FinishResize();
    const RECT after = Rect();
    EXPECT_EQ(after.right - after.left, 332);
    EXPECT_EQ(after.left + after.right, before.left + before.right);
    EXPECT_EQ(after.top + after.bottom, before.top + before.bottom);

    SetWindowPos(windowHandle, nullptr, -5000, -5000, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(windowHandle, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromWindow(windowHandle, MONITOR_DEFAULTTONEAREST), &info);
    EXPECT_EQ(Rect().left, info.rcWork.left);
    EXPECT_EQ(Rect().top, info.rcWork.top);
}

int periodsAsked = 0, periodsGiven = 0;
MMRESULT WINAPI AskPeriod(UINT period) {
    EXPECT_EQ(period, 1u);
    ++periodsAsked;
    return TIMERR_NOERROR;
}
MMRESULT WINAPI GivePeriod(UINT period) {
    EXPECT_EQ(period, 1u);
    ++periodsGiven;
    return TIMERR_NOERROR;
}

TEST_F(ClockWindowProc, TheFineTimerPeriodIsHeldExactlyWhileAResizeAnimatesHoweverItEnds) {
    beginTimerPeriod = AskPeriod;
    endTimerPeriod = GivePeriod;
    const HWND clock = windowHandle;
    const RECT suggested{400, 300, 720, 620};
    struct Case {
        const char* name;
        std::function<void()> end;
    };
    const Case cases[] = {
        {"runs its course", [] { Pump(1000); }},
        {"finished by a time change", [clock] { SendMessageW(clock, WM_TIMECHANGE, 0, 0); }},
        {"stopped by a display change", [clock] { SendMessageW(clock, WM_DISPLAYCHANGE, 32, 0); }},
        {"stopped by a DPI change",
         [clock, &suggested] {
             SendMessageW(clock, WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&suggested));
         }},
        {"the window is destroyed", [clock] { DestroyWindow(clock); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        periodsAsked = periodsGiven = 0;
        Resize(cfg.Size + 48);
        ASSERT_TRUE(resizeMotion.active);
        SendMessageW(clock, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0); // a second request while it runs
        EXPECT_TRUE(FineTimerPeriodHeld());
        EXPECT_EQ(periodsAsked, 1);
        EXPECT_EQ(periodsGiven, 0);
        c.end();
        EXPECT_FALSE(resizeMotion.active);
        EXPECT_FALSE(FineTimerPeriodHeld());
        EXPECT_EQ(periodsAsked, 1);
        EXPECT_EQ(periodsGiven, 1);
        // A request for the size on screen animates nothing and asks for nothing.
        if (IsWindow(clock)) Resize(cfg.Size);
        EXPECT_EQ(periodsAsked, 1);
    }
}

} // namespace
