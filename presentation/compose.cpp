#include "presentation/compose.h"

#include "presentation/clock_renderer.h"
#include "presentation/frame_request.h"
#include "presentation/pixel_order.h"
#include "presentation/system_time.h"
#include "renderer/frame_limits.h"
#include "settings/settings.h"

std::unique_ptr<Gdiplus::Bitmap> Compose(int size, const SYSTEMTIME& time, bool fast) {
    size = velmor::frameSize(size);
    velmor::Image frame;
    if (renderer) renderer->renderTo(frame, size, FrameTime(time), FrameOptions(cfg), fast);

    std::unique_ptr<Gdiplus::Bitmap> bitmap(new Gdiplus::Bitmap(size, size, PixelFormat32bppPARGB));
    const Gdiplus::Rect area(0, 0, size, size);
    Gdiplus::BitmapData locked{};
    // A failed lock or unlock is left as the bitmap's last status.
    if (bitmap->LockBits(&area, Gdiplus::ImageLockModeWrite, PixelFormat32bppPARGB, &locked) != Gdiplus::Ok)
        return bitmap;
    BgraRowsFromImage(frame, static_cast<std::uint8_t*>(locked.Scan0), locked.Stride, size);
    bitmap->UnlockBits(&locked);
    return bitmap;
}
