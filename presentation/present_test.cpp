#include "presentation/present.h"

#include <cstdint>
#include <cstring>

#include <gtest/gtest.h>

#include "presentation/gdiplus_session.h"
#include "presentation/test_renderer.h"
#include "settings/settings.h"

namespace {

// A layered popup tool window like the clock's, destroyed with the fixture.
class Presenting : public WithBuiltInRenderer {
  protected:
    void SetUp() override {
        WithBuiltInRenderer::SetUp();
        if (HasFatalFailure()) return;
        window = CreateLayeredTestWindow(L"VelmorClock.PresentTest");
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override {
        FreeDib();
        if (window) DestroyWindow(window);
        window = nullptr;
        presentationFrame = {};
        WithBuiltInRenderer::TearDown();
    }
    bool Present(int size, POINT topLeft, bool fast) {
        return PresentFrame(window, cfg, size, topLeft, fast);
    }
    HWND window = nullptr;
};

// Width and height of the DIB section as GDI reports them.
BITMAP DibInfo() {
    BITMAP info{};
    GetObjectW(dib, sizeof info, &info);
    return info;
}

TEST_F(Presenting, CreatesTheSurfaceOncePerSizeAndReplacesItOnANewSize) {
    ASSERT_TRUE(Present(320, POINT{40, 50}, false));
    EXPECT_EQ(dibSize, 320);
    ASSERT_NE(dib, nullptr);
    ASSERT_NE(dibDC, nullptr);
    EXPECT_EQ(GetCurrentObject(dibDC, OBJ_BITMAP), dib);
    EXPECT_EQ(DibInfo().bmWidth, 320);
    EXPECT_EQ(DibInfo().bmBitsPixel, 32);
    const HBITMAP first = dib;
    void* const firstBits = dibBits;

    ASSERT_TRUE(Present(320, POINT{40, 50}, false));
    EXPECT_EQ(dib, first);
    EXPECT_EQ(dibBits, firstBits);

    ASSERT_TRUE(Present(400, POINT{40, 50}, true));
    EXPECT_EQ(dibSize, 400);
    EXPECT_EQ(DibInfo().bmWidth, 400);
    EXPECT_EQ(DibInfo().bmHeight, 400);

    RECT rect{};
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, 40);
    EXPECT_EQ(rect.top, 50);
    EXPECT_EQ(rect.right - rect.left, 400);

    FreeDib();
    EXPECT_EQ(dibSize, 0);
    EXPECT_EQ(dib, nullptr);
    EXPECT_EQ(dibDC, nullptr);
    EXPECT_EQ(dibBits, nullptr);
    ASSERT_TRUE(Present(400, POINT{40, 50}, false));
    EXPECT_EQ(dibSize, 400);
    EXPECT_NE(dib, nullptr);
}

// Pixels of the surface that differ from the frame with red and blue swapped.
std::size_t SurfaceMismatches() {
    const auto* bytes = static_cast<const std::uint8_t*>(dibBits);
    std::size_t mismatches = 0;
    for (std::size_t i = 0; i < presentationFrame.pixels.size(); ++i) {
        const velmor::Pixel p = presentationFrame.pixels[i];
        const std::uint8_t* d = bytes + 4 * i;
        if (d[0] != p.b || d[1] != p.g || d[2] != p.r || d[3] != p.a) ++mismatches;
    }
    return mismatches;
}

TEST_F(Presenting, SurfaceHoldsTheFrameWithRedAndBlueSwapped) {
    ASSERT_TRUE(Present(200, POINT{0, 0}, false));
    ASSERT_EQ(presentationFrame.pixels.size(), 200u * 200u);
    EXPECT_EQ(SurfaceMismatches(), 0u);
    std::size_t transparent = 0;
    for (const velmor::Pixel& p : presentationFrame.pixels)
        transparent += p.a == 0;
    EXPECT_GT(transparent, 0u); // the corners lie outside the clock
}

// Steady ticks copy only the pixels their hands change: over a run of real
// ticks with options flipped, the window hidden and shown, a resize, a fast
// step and a failed update, the surface always holds exactly the whole frame.
// (That the frame itself is the whole frame is the renderer's own test.)
TEST_F(Presenting, PartialTicksLeaveTheSurfaceHoldingTheWholeFrame) {
    for (int k = 0; k < 60; ++k) {
        SCOPED_TRACE(k);
        cfg.Shadows = k < 20 || k >= 30;
        cfg.Crystal = k < 35 || k >= 40;
        const int size = k < 45 ? 320 : 333;
        if (k == 50) {
            // A window that is not layered refuses the update.
            const HWND plain = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                               nullptr, nullptr);
            EXPECT_FALSE(PresentFrame(plain, cfg, size, POINT{10, 10}, false));
            EXPECT_EQ(dibShownOn, nullptr);
            DestroyWindow(plain);
        }
        // Hidden for a few ticks and shown again: the ticks go on over it.
        if (k == 25) ShowWindow(window, SW_HIDE);
        if (k == 28) ShowWindow(window, SW_SHOWNOACTIVATE);
        ASSERT_TRUE(Present(size, POINT{10, 10}, k == 45));
        ASSERT_EQ(SurfaceMismatches(), 0u);
        Sleep(15); // the seconds hand sweeps on
    }
}

TEST_F(Presenting, SizesOutsideTheDrawableRangeAreClamped) {
    ASSERT_TRUE(Present(100, POINT{0, 0}, false));
    EXPECT_EQ(dibSize, 160);
    EXPECT_EQ(presentationFrame.width, 160);
    EXPECT_EQ(DibInfo().bmWidth, 160);
    ASSERT_TRUE(Present(5000, POINT{0, 0}, true));
    EXPECT_EQ(dibSize, 1200);
    EXPECT_EQ(presentationFrame.width, 1200);
    EXPECT_EQ(DibInfo().bmWidth, 1200);
}

TEST_F(Presenting, NothingHappensWithoutAWindow) {
    EXPECT_FALSE(PresentFrame(nullptr, cfg, 320, POINT{0, 0}, false));
    EXPECT_EQ(dibSize, 0);
    EXPECT_EQ(dib, nullptr);
}

} // namespace
