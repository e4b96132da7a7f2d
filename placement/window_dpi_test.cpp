#include "placement/window_dpi.h"

#include <gtest/gtest.h>

namespace {

TEST(WindowDpi, RealWindowReportsItsMonitorDpi) {
    SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    HWND window = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW, L"STATIC", L"dpi", WS_POPUP, 100, 100,
                                  320, 320, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    const unsigned dpi = WindowDpi(window);
    EXPECT_EQ(dpi, GetDpiForWindow(window));
    EXPECT_GE(dpi, 96u);
    DestroyWindow(window);
}

TEST(WindowDpi, NoWindowReadsAs96) {
    // The platform reports 0 for a handle that names no window.
    EXPECT_EQ(GetDpiForWindow(nullptr), 0u);
    EXPECT_EQ(WindowDpi(nullptr), 96u);
    HWND window = CreateWindowExW(0, L"STATIC", L"gone", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    DestroyWindow(window);
    EXPECT_EQ(WindowDpi(window), 96u);
}

} // namespace
