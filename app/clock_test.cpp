#include "app/clock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "app/clock_proc.h"
#include "app/globals.h"
#include "app/test_clock_window.h"
#include "placement/clock_window.h"
#include "placement/dpi.h"
#include "presentation/clock_renderer.h"
#include "presentation/present.h"
#include "presentation/test_renderer.h"
#include "settings/settings.h"

namespace {

// A layered popup tool window like the clock's in `windowHandle`.
class OnTheClock : public WithShell {
  protected:
    void SetUp() override {
        WithShell::SetUp();
        if (HasFatalFailure()) return;
        windowHandle = CreateLayeredTestWindow(L"VelmorClock.ClockTest");
        ASSERT_NE(windowHandle, nullptr);
    }
};

TEST_F(OnTheClock, RenderUsesTheSizeSettingAtTheWindowsDpiWhereTheWindowIs) {
    SetWindowPos(windowHandle, nullptr, 70, 80, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    cfg.Size = 321;
    dpi = 120;
    ASSERT_TRUE(Render());
    EXPECT_EQ(dibSize, 401);
    RECT rect{};
    GetWindowRect(windowHandle, &rect);
    EXPECT_EQ(rect.left, 70);
    EXPECT_EQ(rect.top, 80);
    EXPECT_EQ(rect.right - rect.left, 401);
}

// Waits up to `ms` for the clock window's next timer and hands it to the clock's
// own procedure, as the program's loop would; its id, or 0 when none came.
WPARAM NextTimer(DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    MSG msg;
    do {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message != WM_TIMER || msg.hwnd != windowHandle) {
                DispatchMessageW(&msg);
                continue;
            }
            ClockProc(msg.hwnd, msg.message, msg.wParam, msg.lParam);
            return msg.wParam;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (GetTickCount64() < end);
    return 0;
}

TEST_F(OnTheClock, AResizeAnimatesWithoutTheTickThenDrawsTheExactFinalFrameAndTicksAgain) {
    ASSERT_TRUE(Present(320, POINT{400, 300}, false));
    Schedule();
    Resize(700); // 80 ms ticks at 700 pixels, 50 at 320

    struct Frame {
        LONG width;
        bool fast;
        bool operator==(const Frame&) const = default;
    };
    std::vector<Frame> frames; // each change of width or quality after an animation step
    int ticksWhileAnimating = 0;
    for (const ULONGLONG end = GetTickCount64() + 3000; resizeMotion.active && GetTickCount64() < end;) {
        const WPARAM id = NextTimer(100);
        if (id == TICK_TIMER) ++ticksWhileAnimating;
        RECT rect{};
        GetWindowRect(windowHandle, &rect);
        const Frame frame{rect.right - rect.left, renderer->scaledFast};
        if (id == ANIMATION_TIMER && (frames.empty() || frames.back() != frame)) frames.push_back(frame);
    }
    ASSERT_FALSE(resizeMotion.active);
    EXPECT_EQ(ticksWhileAnimating, 0);
    ASSERT_GE(frames.size(), 4u); // several fast frames, then the full-quality one
    for (std::size_t k = 0; k + 1 < frames.size(); ++k) {
        EXPECT_TRUE(frames[k].fast) << k;
        EXPECT_GT(frames[k].width, k ? frames[k - 1].width : 320) << k;
    }
    EXPECT_EQ(frames.back(), (Frame{700, false}));
    RECT rect{};
    GetWindowRect(windowHandle, &rect);
    EXPECT_EQ(rect.left, 210); // the centre (560, 460) stays
    EXPECT_EQ(rect.top, 110);
    EXPECT_EQ(rect.bottom, 810);
    EXPECT_EQ(dibSize, 700);

    // Scheduled before the request and again at the end: one tick timer, every 80 ms.
    std::vector<ULONGLONG> gaps;
    ULONGLONG last = GetTickCount64();
    for (const ULONGLONG end = last + 1200; GetTickCount64() < end;) {
        if (NextTimer(50) != TICK_TIMER) continue;
        gaps.push_back(GetTickCount64() - last);
        last = GetTickCount64();
    }
    ASSERT_GE(gaps.size(), 5u);
    std::nth_element(gaps.begin(), gaps.begin() + gaps.size() / 2, gaps.end());
    const ULONGLONG median = gaps[gaps.size() / 2];
    EXPECT_GE(median, 60u);
    EXPECT_LE(median, 115u);
    EXPECT_TRUE(KillTimer(windowHandle, TICK_TIMER));
    EXPECT_FALSE(KillTimer(windowHandle, TICK_TIMER));
}

} // namespace
