#include "presentation/compose.h"

#include <cstdint>

#include <gtest/gtest.h>

#include "presentation/frame_request.h"
#include "presentation/gdiplus_session.h"
#include "presentation/system_time.h"
#include "presentation/test_renderer.h"
#include "settings/settings.h"

namespace {

SYSTEMTIME TenPastTen() {
    SYSTEMTIME time{};
    time.wYear = 2026; // the date plays no part
    time.wHour = 10;
    time.wMinute = 10;
    time.wSecond = 30;
    time.wMilliseconds = 250;
    return time;
}

class ComposeFrames : public WithBuiltInRenderer {};

// The bitmap's bytes as a velmor image, read back without any conversion.
velmor::Image Bytes(Gdiplus::Bitmap& bitmap) {
    const Gdiplus::Rect area(0, 0, static_cast<INT>(bitmap.GetWidth()), static_cast<INT>(bitmap.GetHeight()));
    Gdiplus::BitmapData locked{};
    if (bitmap.LockBits(&area, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &locked) != Gdiplus::Ok)
        return {};
    velmor::Image image{
        static_cast<std::int32_t>(locked.Width), static_cast<std::int32_t>(locked.Height), {}};
    for (UINT y = 0; y < locked.Height; ++y) {
        const auto* row =
            static_cast<const std::uint8_t*>(locked.Scan0) + static_cast<std::ptrdiff_t>(y) * locked.Stride;
        for (UINT x = 0; x < locked.Width; ++x) {
            const std::uint8_t* p = row + 4 * x;
            image.pixels.push_back(velmor::Pixel{p[2], p[1], p[0], p[3]}); // memory b, g, r, a
        }
    }
    bitmap.UnlockBits(&locked);
    return image;
}

// The frame the renderer itself draws for the same inputs, from a second renderer.
velmor::Image Expected(int size, const SYSTEMTIME& time) {
    std::unique_ptr<velmor::Renderer> own = BuiltInRenderer();
    velmor::Image frame;
    own->renderTo(frame, size, FrameTime(time), FrameOptions(cfg), false);
    return frame;
}

TEST_F(ComposeFrames, BitmapHoldsTheRenderersFrameWithRedAndBlueSwapped) {
    cfg.ReflectionStrength = 135;
    cfg.Shadows = false;
    std::unique_ptr<Gdiplus::Bitmap> bitmap = Compose(240, TenPastTen(), false);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->GetLastStatus(), Gdiplus::Ok);
    EXPECT_EQ(bitmap->GetWidth(), 240u);
    EXPECT_EQ(bitmap->GetPixelFormat(), PixelFormat32bppPARGB);
    const velmor::Image expected = Expected(240, TenPastTen());
    const velmor::Image got = Bytes(*bitmap);
    ASSERT_EQ(got.pixels.size(), expected.pixels.size());
    EXPECT_TRUE(got.pixels == expected.pixels);
    // Premultiplication is untouched: some pixels are partly transparent and
    // keep colour values that only premultiplied data can have (never above alpha).
    std::size_t partial = 0;
    for (const velmor::Pixel& p : got.pixels)
        if (p.a > 0 && p.a < 255) {
            ++partial;
            EXPECT_LE(std::max({p.r, p.g, p.b}), p.a);
        }
    EXPECT_GT(partial, 0u);
}

TEST_F(ComposeFrames, SizesOutsideTheDrawableRangeAreClamped) {
    std::unique_ptr<Gdiplus::Bitmap> small = Compose(100, TenPastTen(), false);
    EXPECT_EQ(small->GetLastStatus(), Gdiplus::Ok);
    EXPECT_EQ(small->GetWidth(), 160u);
    EXPECT_EQ(small->GetHeight(), 160u);
    EXPECT_TRUE(Bytes(*small).pixels == Expected(160, TenPastTen()).pixels);
    std::unique_ptr<Gdiplus::Bitmap> large = Compose(5000, TenPastTen(), false);
    EXPECT_EQ(large->GetWidth(), 1200u);
    EXPECT_EQ(large->GetHeight(), 1200u);
    std::unique_ptr<Gdiplus::Bitmap> negative = Compose(-7, TenPastTen(), false);
    EXPECT_EQ(negative->GetWidth(), 160u);
}

TEST_F(ComposeFrames, FollowsTheSettingsOfTheMoment) {
    const velmor::Image with = Bytes(*Compose(320, TenPastTen(), false));
    cfg.Seconds = false;
    const velmor::Image without = Bytes(*Compose(320, TenPastTen(), false));
    EXPECT_FALSE(with.pixels == without.pixels);
    EXPECT_TRUE(without.pixels == Expected(320, TenPastTen()).pixels);
}

} // namespace
