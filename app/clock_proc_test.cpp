#include "app/clock_proc.h"

#include <wtsapi32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/clock.h"
#include "app/constants.h"
#include "app/globals.h"
#include "app/open_clock.h"
#include "app/sight_watch.h"
#include "app/test_clock_window.h"
#include "app/timer_period.h"
#include "app/tray.h"
#include "placement/clock_window.h"
#include "placement/dpi.h"
#include "presentation/present.h"
#include "presentation/test_renderer.h"
#include "settings/settings_file.h"
#include "testing/display_state_notice.h"

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

int refusedAdds = 0;
BOOL WINAPI RefusingShell(DWORD message, PNOTIFYICONDATAW record) {
    if (message == NIM_ADD && refusedAdds > 0) return --refusedAdds, FALSE;
    return Shell_NotifyIconW(message, record);
}

TEST_F(ClockWindowProc, AnIconTheNewTaskbarRefusesComesOnTheTrayTimer) {
    Shell_NotifyIconW(NIM_DELETE, &tray); // the shell restarted
    refusedAdds = 1;
    notifyIcon = RefusingShell;
    SendMessageW(windowHandle, taskbarCreated, 0, 0);
    EXPECT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &tray));
    SendMessageW(windowHandle, WM_TIMER, TRAY_TIMER, 0);
    EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &tray));
    EXPECT_EQ(tray.uVersion, 4u);
    EXPECT_FALSE(KillTimer(windowHandle, TRAY_TIMER));
    notifyIcon = Shell_NotifyIconW;
}

// What Windows asks and then suggests at a DPI: the clock's own edge there.
SIZE AskScaledSize(unsigned newDpi) {
    SIZE size{1, 1};
    EXPECT_EQ(SendMessageW(windowHandle, WM_GETDPISCALEDSIZE, newDpi, reinterpret_cast<LPARAM>(&size)), TRUE);
    return size;
}

RECT SuggestedAt(LONG left, LONG top, unsigned newDpi) {
    const SIZE size = AskScaledSize(newDpi);
    return RECT{left, top, left + size.cx, top + size.cy};
}

void SendDpiChanged(unsigned newDpi, const RECT& suggested) {
    SendMessageW(windowHandle, WM_DPICHANGED, MAKEWPARAM(newDpi, newDpi),
                 reinterpret_cast<LPARAM>(&suggested));
}

RECT WorkArea() {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromWindow(windowHandle, MONITOR_DEFAULTTONEAREST), &info);
    return info.rcWork;
}

TEST_F(ClockWindowProc, ADpiChangeClampsTheSizeForGoodTakesTheSuggestionAndSaves) {
    cfg.Size = 900;
    // The size model's limit alone: 600 at 192 DPI, 1200 pixels.
    const SIZE asked = AskScaledSize(192);
    EXPECT_EQ(std::pair(asked.cx, asked.cy), std::pair(1200L, 1200L));
    SendDpiChanged(192, SuggestedAt(0, 0, 192));
    EXPECT_EQ(dpi, 192u);
    // 600 at 192 DPI, or less where the work area cannot hold 1200 pixels.
    const RECT area = WorkArea();
    const int held = std::min(area.right - area.left, area.bottom - area.top);
    const int expected = std::min(600, MulDiv(held, 96, 192));
    EXPECT_EQ(cfg.Size, expected);
    const RECT rect = Rect();
    EXPECT_EQ(rect.right - rect.left, MulDiv(expected, 192, 96));
    Settings saved = cfg;
    cfg = DEFAULT_SETTINGS;
    LoadSettings();
    EXPECT_EQ(cfg.Size, saved.Size);
    // Back to 96 DPI the stored size stays.
    EXPECT_EQ(AskScaledSize(96).cx, expected);
    SendDpiChanged(96, SuggestedAt(500, 200, 96));
    EXPECT_EQ(cfg.Size, expected);
    EXPECT_EQ(Rect().right - Rect().left, expected);
}

// Windows sends WM_DPICHANGED from inside the SetWindowPos or
// UpdateLayeredWindow that carried the window onto the other monitor; Wine
// never does. Inside a SetWindowPos it is sent here when the window hears the
// WM_WINDOWPOSCHANGED that Wine sends from inside it (the test's procedure in
// front of ClockProc); Wine's layered update sends nothing from inside, so
// there the presentation's stand-in for it sends the change after the real
// update, before returning.
struct Nested {
    bool armed = false;
    RECT suggested{};
    bool inside = false;    // the change was sent from inside a call
    HDC dcInside = nullptr; // the surface before and after the change was sent
    int sizeInside = 0;
    HDC dcAfter = nullptr;
    int sizeAfter = 0;
} nested;
WNDPROC clockProc = nullptr;

void SendNestedChange() {
    if (!nested.armed) return;
    nested.armed = false;
    nested.inside = true;
    nested.dcInside = dibDC;
    nested.sizeInside = dibSize;
    nested.suggested = SuggestedAt(200, 100, 192); // asked first, as Windows does
    SendDpiChanged(192, nested.suggested);
    nested.dcAfter = dibDC;
    nested.sizeAfter = dibSize;
}

LRESULT CALLBACK ChangeInsideSetWindowPos(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_WINDOWPOSCHANGED) SendNestedChange();
    return CallWindowProcW(clockProc, window, message, wParam, lParam);
}

BOOL WINAPI ChangeInsideLayeredUpdate(HWND window, const UPDATELAYEREDWINDOWINFO* info) {
    const BOOL updated = UpdateLayeredWindowIndirect(window, info);
    SendNestedChange();
    return updated;
}

TEST_F(ClockWindowProc, ADpiChangeSentInsideOurOwnWindowCallWaitsUntilItReturns) {
    clockProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(windowHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ChangeInsideSetWindowPos)));
    ASSERT_NE(clockProc, nullptr);
    layeredUpdate = ChangeInsideLayeredUpdate;
    const struct {
        const char* call;
        void (*run)();
    } calls[] = {
        {"a change of z-order (SetWindowPos), then a layered update",
         +[] {
             cfg.AlwaysOnTop = !cfg.AlwaysOnTop;
             KeepVisible(false);
         }},
        {"a layered update at a new size, ending an animation",
         +[] {
             Resize(cfg.Size + 12);
             FinishResize();
         }},
        {"a redraw", +[] { Render(); }},
    };
    for (const auto& call : calls) {
        SCOPED_TRACE(call.call);
        cfg.Size = 320;
        SendDpiChanged(96, SuggestedAt(100, 100, 96));
        nested = {};
        nested.armed = true;
        call.run();
        if (!nested.inside) {
            ADD_FAILURE() << "the change was not sent from inside the call";
            continue;
        }
        // Inside, the surface the call was using stayed as it was.
        EXPECT_EQ(nested.dcAfter, nested.dcInside);
        EXPECT_EQ(nested.sizeAfter, nested.sizeInside);
        // Once it had returned, the change was handled: the new DPI, the
        // suggested rectangle, a clock that draws.
        EXPECT_EQ(dpi, 192u);
        const RECT rect = Rect();
        EXPECT_TRUE(EqualRect(&rect, &nested.suggested))
            << rect.left << "," << rect.top << "," << rect.right << "," << rect.bottom;
        EXPECT_EQ(dibSize, rect.right - rect.left);
        EXPECT_TRUE(Render());
    }
    layeredUpdate = UpdateLayeredWindowIndirect;
    SetWindowLongPtrW(windowHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(clockProc));
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

// A display power notice as Windows sends it: the console display's state.
LRESULT SendDisplayState(DWORD state) {
    DisplayStateNotice notice = MakeDisplayStateNotice(state);
    return SendMessageW(windowHandle, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE,
                        reinterpret_cast<LPARAM>(&notice));
}

// Locked, disconnected or with the display off nobody sees the clock: no tick
// (nor a reschedule, as a menu choice makes) until the last of them is over,
// and then a frame at once before the first tick.
TEST_F(ClockWindowProc, NoTickWhileNobodyCanSeeTheClockAndAFrameAtOnceWhenSomebodyCan) {
    ASSERT_GT(Pump(300), 0); // smooth seconds: a tick every 50 ms
    SendMessageW(windowHandle, WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, 0);
    EXPECT_EQ(Pump(300), 0);
    Schedule();
    EXPECT_EQ(SendDisplayState(0), TRUE); // off
    SendMessageW(windowHandle, WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, 0);
    SendMessageW(windowHandle, WM_WTSSESSION_CHANGE, WTS_REMOTE_DISCONNECT, 0);
    SendDisplayState(2); // dimmed: seen again, but still disconnected
    EXPECT_EQ(Pump(300), 0);

    presentationFrame = {};
    SendMessageW(windowHandle, WM_WTSSESSION_CHANGE, WTS_REMOTE_CONNECT, 0);
    EXPECT_FALSE(presentationFrame.pixels.empty()) << "no frame when the clock came back";
    EXPECT_GT(Pump(300), 0);

    // Locked while a wheel's resize animation runs: its end starts no tick.
    SendMessageW(windowHandle, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    ASSERT_TRUE(resizeMotion.active);
    SendMessageW(windowHandle, WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, 0);
    Pump(400);
    EXPECT_FALSE(resizeMotion.active);
    EXPECT_EQ(Pump(300), 0);
    SendMessageW(windowHandle, WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, 0);
    EXPECT_GT(Pump(300), 0);
}

// Refused early at logon, the session's notices are asked for again every two
// seconds until granted, and for two minutes at most.
TEST_F(ClockWindowProc, SessionNoticesAreAskedForAgainUntilGranted) {
    static int asks = 0, refusals = 0;
    auto refuseSome = [](HWND, DWORD) -> BOOL { return ++asks > refusals; };
    registerSessionNotices = refuseSome;
    for (int refused : {2, 1000}) {
        StopSightWatch();
        asks = 0;
        refusals = refused;
        StartSightWatch();
        // Whether the retry timer runs (killed to tell, then started again).
        auto asking = [] {
            return KillTimer(windowHandle, SESSION_TIMER) &&
                   SetTimer(windowHandle, SESSION_TIMER, 2000, nullptr);
        };
        const int timers = refused == 2 ? 2 : 59; // the 60th ask is the last
        for (int i = 0; i < timers; ++i) {
            EXPECT_TRUE(asking()) << i;
            SendMessageW(windowHandle, WM_TIMER, SESSION_TIMER, 0);
        }
        EXPECT_EQ(asks, refused == 2 ? 3 : 60);
        EXPECT_FALSE(KillTimer(windowHandle, SESSION_TIMER)) << "still asking after " << asks;
    }
    registerSessionNotices = WTSRegisterSessionNotification;
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
