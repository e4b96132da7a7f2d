#include "presentation/artwork.h"

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "presentation/gdiplus_session.h"
#include "resources/resource_ids.h"

namespace {

using velmor::Pixel;

constexpr int NOT_A_PNG = 201;    // test resource: text bytes
constexpr int KNOWN_PIXELS = 202; // test resource: a 2 x 2 PNG

class Artwork : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(gdiplus.started); }
    GdiplusSession gdiplus;
    const HMODULE module = GetModuleHandleW(nullptr);
};

TEST_F(Artwork, MissingResourceAndBytesThatAreNotPngLoadNothing) {
    EXPECT_EQ(LoadPng(module, 999), nullptr);
    EXPECT_EQ(LoadPng(module, NOT_A_PNG), nullptr);
    // Only the low 16 bits name the resource.
    EXPECT_NE(LoadPng(module, 0x10000 + KNOWN_PIXELS), nullptr);
}

TEST_F(Artwork, KnownPixelsArePremultipliedInRedGreenBlueAlphaOrder) {
    std::unique_ptr<Gdiplus::Bitmap> bitmap = LoadPng(module, KNOWN_PIXELS);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->GetPixelFormat(), PixelFormat32bppPARGB);
    const velmor::Image image = ReadPixels(bitmap.get());
    ASSERT_EQ(image.width, 2);
    ASSERT_EQ(image.height, 2);
    ASSERT_EQ(image.pixels.size(), 4u);
    EXPECT_EQ(image.pixels[0], (Pixel{255, 0, 0, 255}));
    EXPECT_EQ(image.pixels[1], (Pixel{0, 0, 128, 128})); // 255 at alpha 128
    EXPECT_EQ(image.pixels[2], (Pixel{0, 0, 0, 0}));     // transparent is all zeros
    EXPECT_EQ(image.pixels[3], (Pixel{10, 20, 30, 255}));
}

TEST_F(Artwork, BuiltInArtworkDecodesAtItsOwnSize) {
    for (int id : {FACE_ARTWORK_ID, REFERENCE_ARTWORK_ID, CRYSTAL_ARTWORK_ID}) {
        std::unique_ptr<Gdiplus::Bitmap> bitmap = LoadPng(module, id);
        ASSERT_NE(bitmap, nullptr) << id;
        const velmor::Image image = ReadPixels(bitmap.get());
        EXPECT_EQ(image.width, 1254) << id;
        EXPECT_EQ(image.height, 1254) << id;
        EXPECT_EQ(image.pixels.size(), 1254u * 1254u) << id;
        EXPECT_EQ(image.pixels.front().a, 0) << id; // transparent outside the round clock
    }
}

TEST_F(Artwork, ReadPixelsKeepsMemoryBytesBlueGreenRedAlpha) {
    std::uint8_t bytes[] = {10, 20, 30, 40};
    Gdiplus::Bitmap bitmap(1, 1, 4, PixelFormat32bppPARGB, bytes);
    ASSERT_EQ(bitmap.GetLastStatus(), Gdiplus::Ok);
    const velmor::Image image = ReadPixels(&bitmap);
    ASSERT_EQ(image.pixels.size(), 1u);
    EXPECT_EQ(image.pixels[0], (Pixel{30, 20, 10, 40}));
}

TEST_F(Artwork, ReadPixelsFollowsANegativeStride) {
    // Two rows stored bottom-up: the first row in memory is the image's last.
    std::vector<std::uint8_t> bytes = {0, 0,   200, 255, 0, 0,   201, 255,  // bottom row
                                       0, 100, 0,   255, 0, 101, 0,   255}; // top row
    Gdiplus::Bitmap bitmap(2, 2, -8, PixelFormat32bppPARGB, bytes.data() + 8);
    ASSERT_EQ(bitmap.GetLastStatus(), Gdiplus::Ok);
    Gdiplus::BitmapData locked{};
    const Gdiplus::Rect area(0, 0, 2, 2);
    ASSERT_EQ(bitmap.LockBits(&area, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &locked),
              Gdiplus::Ok);
    const INT stride = locked.Stride;
    bitmap.UnlockBits(&locked);
    const velmor::Image image = ReadPixels(&bitmap);
    ASSERT_EQ(image.pixels.size(), 4u);
    EXPECT_EQ(image.pixels[0], (Pixel{0, 100, 0, 255})) << "stride " << stride;
    EXPECT_EQ(image.pixels[1], (Pixel{0, 101, 0, 255}));
    EXPECT_EQ(image.pixels[2], (Pixel{200, 0, 0, 255}));
    EXPECT_EQ(image.pixels[3], (Pixel{201, 0, 0, 255}));
}

TEST_F(Artwork, ZeroByZeroBitmapGivesTheEmptyImage) {
    Gdiplus::Bitmap bitmap(0, 0, PixelFormat32bppPARGB);
    const velmor::Image image = ReadPixels(&bitmap);
    EXPECT_EQ(image.width, 0);
    EXPECT_EQ(image.height, 0);
    EXPECT_TRUE(image.pixels.empty());
}

} // namespace
