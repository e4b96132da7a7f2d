#include "selftest/self_test_mode.h"

#include <string>

#include <gtest/gtest.h>

#include "presentation/artwork.h"
#include "presentation/clock_renderer.h"
#include "presentation/gdiplus_session.h"
#include "presentation/test_renderer.h"
#include "resources/resource_ids.h"
#include "selftest/report.h"
#include "settings/settings.h"

namespace {

// {557CF406-1A04-11D3-9A73-0000F81EF32E}, GDI+'s PNG encoder.
constexpr CLSID PNG_ENCODER = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

std::string ReadFileBytes(const std::wstring& path) {
    std::string bytes;
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char buffer[256];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

// A fresh folder under the temporary directory.
std::wstring TempFolder(const wchar_t* name) {
    wchar_t base[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, base);
    return std::wstring(base) + name + std::to_wstring(GetCurrentProcessId());
}

class SelfTestRun : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(gdiplus.started); }
    void TearDown() override {
        renderer.reset();
        face.reset();
        cfg = DEFAULT_SETTINGS;
    }
    GdiplusSession gdiplus;
};

TEST_F(SelfTestRun, EncoderFindsGdiplusPngEncoder) {
    CLSID clsid{};
    ASSERT_EQ(Encoder(clsid), 0);
    EXPECT_TRUE(IsEqualCLSID(clsid, PNG_ENCODER));
}

TEST_F(SelfTestRun, PassesWithTheBuiltInArtworkAndLeavesSettingsAtDefaultsButForTheSwitches) {
    renderer = BuiltInRenderer();
    ASSERT_NE(renderer, nullptr);
    face = LoadPng(GetModuleHandleW(nullptr), FACE_ARTWORK_ID);
    cfg.Size = 700; // not the self-test's business: it starts from the defaults
    cfg.ReflectionStrength = 50;
    const std::wstring folder = TempFolder(L"velmor-selftest-pass-");
    EXPECT_EQ(SelfTest(folder), SELF_TEST_PASSED);
    EXPECT_EQ(ReadFileBytes(folder + L"\\selftest.txt"), ReportBytes(0, 1254));
    // The switches went off one after another and stay off in memory only.
    Settings expected = DEFAULT_SETTINGS;
    expected.Crystal = expected.Shadows = expected.Seconds = false;
    EXPECT_TRUE(cfg == expected);
}

TEST_F(SelfTestRun, FramesWithoutAClockFailTheCentreCheckOfEveryPreview) {
    // No renderer: every frame comes out wholly transparent, so each of the five
    // previews fails its opaque-centre check; nothing else fails.
    renderer.reset();
    face.reset();
    const std::wstring folder = TempFolder(L"velmor-selftest-empty-");
    EXPECT_EQ(SelfTest(folder), SELF_TEST_FAILED);
    EXPECT_EQ(ReadFileBytes(folder + L"\\selftest.txt"), ReportBytes(5, 0));
}

} // namespace
