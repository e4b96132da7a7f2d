#include "app/start_up.h"

#include <shellapi.h>

#include "app/clock.h"
#include "app/globals.h"
#include "presentation/artwork.h"
#include "presentation/clock_renderer.h"
#include "selftest/self_test_mode.h"

void ShowStartupError(const wchar_t* message) {
    MessageBoxW(nullptr, message, TITLE, MB_OK | MB_ICONERROR);
}

bool StartGraphics() {
    // Version 1, no debug callback, GDI+'s background thread and codecs allowed.
    Gdiplus::GdiplusStartupInput input;
    return Gdiplus::GdiplusStartup(&gdipToken, &input, nullptr) == Gdiplus::Ok;
}

int LoadArtwork(ArtworkIds ids, ErrorBox showError) {
    face = LoadPng(ids.face);
    if (!face) {
        showError(ARTWORK_MISSING);
        return EXIT_NO_ARTWORK;
    }
    std::unique_ptr<Gdiplus::Bitmap> reference = LoadPng(ids.reference);
    if (!reference) {
        showError(ARTWORK_MISSING);
        return EXIT_NO_ARTWORK;
    }
    std::unique_ptr<Gdiplus::Bitmap> crystal = LoadPng(ids.crystal);
    if (!crystal) {
        showError(CRYSTAL_MISSING);
        return EXIT_NO_ARTWORK;
    }

    velmor::Image crystalImage = ReadPixels(crystal.get());
    velmor::Image referenceImage = ReadPixels(reference.get());
    velmor::Image faceImage = ReadPixels(face.get());
    // No renderer comes from an artwork that decoded to no pixels: as good as missing.
    const bool crystalEmpty = crystalImage.empty();
    renderer =
        velmor::Renderer::make(std::move(faceImage), std::move(referenceImage), std::move(crystalImage));
    if (!renderer) {
        showError(crystalEmpty ? CRYSTAL_MISSING : ARTWORK_MISSING);
        return EXIT_NO_ARTWORK;
    }
    // The reference and crystal bitmaps go here; `face` stays for the self-test's report.
    return 0;
}

std::optional<std::wstring> SelfTestFolder(const wchar_t* commandLine) {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(commandLine, &count);
    if (!arguments) return std::nullopt;
    std::optional<std::wstring> folder;
    // The program path counts: exactly three arguments, the switch case-sensitive.
    if (count == 3 && std::wstring(arguments[1]) == SELF_TEST_SWITCH) folder = std::wstring(arguments[2]);
    LocalFree(arguments);
    return folder;
}

int RunSelfTest(const std::wstring& folder) {
    const int code = SelfTest(folder);
    renderer.reset();
    face.reset();
    Gdiplus::GdiplusShutdown(gdipToken);
    gdipToken = 0;
    return code;
}
