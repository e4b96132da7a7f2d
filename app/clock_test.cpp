#include "app/clock.h"

#include <gtest/gtest.h>

#include "app/globals.h"
#include "placement/dpi.h"
#include "presentation/present.h"
#include "presentation/test_renderer.h"
#include "settings/settings.h"

namespace {

// A layered popup tool window like the clock's in `windowHandle`, the built-in
// renderer and default settings; all undone afterwards.
class OnTheClock : public WithBuiltInRenderer {
protected:
    void SetUp() override {
        WithBuiltInRenderer::SetUp();
        if (HasFatalFailure()) return;
        instance = GetModuleHandleW(nullptr);
        dpi = 96;
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = L"VelmorClock.ClockTest";
        RegisterClassExW(&windowClass);
        windowHandle = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW, windowClass.lpszClassName, L"test", WS_POPUP,
                                       100, 100, 320, 320, nullptr, nullptr, instance, nullptr);
        ASSERT_NE(windowHandle, nullptr);
    }
    void TearDown() override {
        FreeDib();
        if (windowHandle) DestroyWindow(windowHandle);
        windowHandle = nullptr;
        presentationFrame = {};
        dpi = 96;
        resizeMotion = {};
        WithBuiltInRenderer::TearDown();
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

} // namespace
