#include "selftest/self_test_mode.h"

#include <cmath>
#include <memory>
#include <vector>

#include "presentation/artwork.h"
#include "presentation/compose.h"
#include "presentation/system_time.h"
#include "selftest/report.h"
#include "settings/atomic_file.h"
#include "settings/settings.h"

namespace {

constexpr int PREVIEW_SIZES[] = {160, 320, 640, 960, 1200};
constexpr int ROTATION_SIZE = 320;
constexpr int ROTATIONS = 12;
constexpr int FEATURE_SIZE = 640;
constexpr int NO_SECONDS_SIZE = 320;
constexpr double ANGLE_TOLERANCE = 0.001;
constexpr BYTE OPAQUE_CENTRE = 251; // the centre of the face must be at least this opaque

SYSTEMTIME TimeOfDay(WORD hour, WORD minute, WORD second, WORD millisecond) {
    SYSTEMTIME time{};
    time.wHour = hour;
    time.wMinute = minute;
    time.wSecond = second;
    time.wMilliseconds = millisecond;
    return time;
}

int AngleFailures() {
    int failures = 0;
    const HandAngles check = TimeAngles(TimeOfDay(10, 10, 30, 500), true);
    if (std::fabs(check.second - 183.0) > ANGLE_TOLERANCE) ++failures;
    if (std::fabs(check.minute - 63.05) > ANGLE_TOLERANCE) ++failures;
    if (std::fabs(check.hour - 305.25417) > ANGLE_TOLERANCE) ++failures;

    const HandAngles midnight = TimeAngles(TimeOfDay(0, 0, 0, 0), true);
    if (midnight.hour != 0 || midnight.minute != 0 || midnight.second != 0) ++failures;

    const HandAngles last = TimeAngles(TimeOfDay(23, 59, 59, 999), true);
    if (!(last.hour < 360 && last.minute < 360 && last.second < 360)) ++failures;
    return failures;
}

// The alpha at (x, y); a read that fails leaves opaque black.
BYTE AlphaAt(Gdiplus::Bitmap& bitmap, int x, int y) {
    Gdiplus::Color colour(255, 0, 0, 0);
    bitmap.GetPixel(x, y, &colour);
    return colour.GetAlpha();
}

bool Save(Gdiplus::Bitmap& bitmap, const std::wstring& path, const CLSID& png) {
    return bitmap.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
}

bool WriteReport(const std::wstring& path, int failures, unsigned faceWidth) {
    return WriteWholeFile(path, ReportBytes(failures, faceWidth));
}

} // namespace

int Encoder(CLSID& clsid) {
    UINT count = 0, bytes = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0) return 1;
    std::vector<std::uint8_t> buffer(bytes); // zero-filled
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, bytes, encoders) != Gdiplus::Ok) return 1;
    for (UINT i = 0; i < count; ++i)
        if (encoders[i].MimeType && std::wstring(encoders[i].MimeType) == L"image/png") {
            clsid = encoders[i].Clsid;
            return 0;
        }
    return 1;
}

int SelfTest(const std::wstring& folder) {
    // An empty folder text would put every file at the root of the current
    // drive ("\preview-160.png"): a mistake, refused before anything is written.
    if (folder.empty()) return SELF_TEST_FAILED;
    // An existing folder is fine; one that cannot be made shows up as failed saves.
    CreateDirectoryW(folder.c_str(), nullptr);

    CLSID png{};
    if (Encoder(png) != 0) return SELF_TEST_NO_ENCODER;

    int failures = AngleFailures();

    cfg = DEFAULT_SETTINGS;
    const SYSTEMTIME checkTime = TimeOfDay(10, 10, 30, 0);

    for (int size : PREVIEW_SIZES) {
        std::unique_ptr<Gdiplus::Bitmap> frame = Compose(size, checkTime, false);
        if (frame->GetLastStatus() != Gdiplus::Ok) ++failures;
        if (AlphaAt(*frame, 0, 0) != 0) ++failures; // the corner is outside the clock
        if (AlphaAt(*frame, size / 2, size / 2) < OPAQUE_CENTRE) ++failures;
        if (!Save(*frame, folder + L"\\preview-" + std::to_wstring(size) + L".png", png)) ++failures;
    }

    for (int i = 0; i < ROTATIONS; ++i) {
        const SYSTEMTIME time =
            TimeOfDay(static_cast<WORD>(i), static_cast<WORD>(5 * i), static_cast<WORD>(7 * i % 60), 0);
        std::unique_ptr<Gdiplus::Bitmap> frame = Compose(ROTATION_SIZE, time, false);
        if (!Save(*frame, folder + L"\\rotation-" + std::to_wstring(i) + L".png", png)) ++failures;
    }

    // Each switch stays off for the frames after it.
    cfg.Crystal = false;
    std::unique_ptr<Gdiplus::Bitmap> noGlass = Compose(FEATURE_SIZE, checkTime, false);
    if (!Save(*noGlass, folder + L"\\no-glass.png", png)) ++failures;
    cfg.Shadows = false;
    std::unique_ptr<Gdiplus::Bitmap> noShadow = Compose(FEATURE_SIZE, checkTime, false);
    if (!Save(*noShadow, folder + L"\\no-shadow.png", png)) ++failures;
    cfg.Seconds = false;
    std::unique_ptr<Gdiplus::Bitmap> noSeconds = Compose(NO_SECONDS_SIZE, checkTime, false);
    if (!Save(*noSeconds, folder + L"\\no-seconds.png", png)) ++failures;

    const unsigned faceWidth = face ? face->GetWidth() : 0;
    // A report that cannot be written still counts, though it cannot say so.
    if (!WriteReport(folder + L"\\selftest.txt", failures, faceWidth)) ++failures;
    return failures == 0 ? SELF_TEST_PASSED : SELF_TEST_FAILED;
}
