#include "app/start_up.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/globals.h"
#include "presentation/artwork.h"
#include "presentation/clock_renderer.h"
#include "presentation/gdiplus_session.h"

namespace {

constexpr int MISSING = 999;

// Start-up's messages, captured instead of shown.
std::vector<std::wstring> shown;
void Capture(const wchar_t* message) {
    shown.emplace_back(message);
}

class StartUp : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(gdiplus.started);
        instance = GetModuleHandleW(nullptr);
        shown.clear();
        renderer.reset();
        face.reset();
    }
    void TearDown() override {
        renderer.reset();
        face.reset();
    }
    GdiplusSession gdiplus;
};

TEST_F(StartUp, AllArtworkBuildsTheRendererAndKeepsTheFace) {
    EXPECT_EQ(LoadArtwork(ArtworkIds{}, Capture), 0);
    EXPECT_TRUE(shown.empty());
    ASSERT_NE(renderer, nullptr);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->GetWidth(), 1254u);
    EXPECT_EQ(renderer->faceImage.width, 1254);
    EXPECT_EQ(renderer->referenceImage.width, 1254);
    EXPECT_EQ(renderer->crystalImage.width, 1254);
    EXPECT_FALSE(renderer->faceImage.pixels == renderer->referenceImage.pixels);
    EXPECT_EQ(renderer->scaledSize, 0);
}

TEST_F(StartUp, MissingFaceNamesTheClockArtworkAndStopsThere) {
    EXPECT_EQ(LoadArtwork(ArtworkIds{MISSING, REFERENCE_ARTWORK, CRYSTAL_ARTWORK}, Capture), EXIT_NO_ARTWORK);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], L"The clock artwork could not be loaded. Please reinstall Velmor Clock.");
    EXPECT_EQ(face, nullptr);
    EXPECT_EQ(renderer, nullptr);
    // The other two are not looked at: both missing as well changes nothing.
    shown.clear();
    EXPECT_EQ(LoadArtwork(ArtworkIds{MISSING, MISSING, MISSING}, Capture), EXIT_NO_ARTWORK);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], ARTWORK_MISSING);
}

TEST_F(StartUp, MissingReferenceNamesTheClockArtwork) {
    EXPECT_EQ(LoadArtwork(ArtworkIds{FACE_ARTWORK, MISSING, CRYSTAL_ARTWORK}, Capture), EXIT_NO_ARTWORK);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], L"The clock artwork could not be loaded. Please reinstall Velmor Clock.");
    EXPECT_EQ(renderer, nullptr);
}

TEST_F(StartUp, MissingCrystalNamesTheCrystalArtwork) {
    EXPECT_EQ(LoadArtwork(ArtworkIds{FACE_ARTWORK, REFERENCE_ARTWORK, MISSING}, Capture), EXIT_NO_ARTWORK);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], L"The crystal artwork could not be loaded. Please reinstall Velmor Clock.");
    EXPECT_EQ(renderer, nullptr);
}

TEST(SelfTestFolder, OnlyTheExactSwitchAndOneFolder) {
    EXPECT_EQ(SelfTestFolder(L"clock.exe --self-test C:\\out"), std::wstring(L"C:\\out"));
    EXPECT_EQ(SelfTestFolder(L"\"C:\\Program Files\\clock.exe\" --self-test \"C:\\my frames\""),
              std::wstring(L"C:\\my frames"));
    EXPECT_EQ(SelfTestFolder(L"clock.exe"), std::nullopt);
    EXPECT_EQ(SelfTestFolder(L"clock.exe --self-test"), std::nullopt);
    EXPECT_EQ(SelfTestFolder(L"clock.exe --self-test C:\\out extra"), std::nullopt);
    EXPECT_EQ(SelfTestFolder(L"clock.exe --SELF-TEST C:\\out"), std::nullopt);
    EXPECT_EQ(SelfTestFolder(L"clock.exe C:\\out --self-test"), std::nullopt);
}

} // namespace
