#include "presentation/present.h"

#include "presentation/clock_renderer.h"
#include "presentation/frame_request.h"
#include "presentation/frame_timing.h"
#include "presentation/pixel_order.h"
#include "presentation/system_time.h"
#include "renderer/frame_limits.h"
#include "settings/settings.h"

velmor::Image presentationFrame;
std::int32_t dibSize = 0;
void* dibBits = nullptr;
HBITMAP dib = nullptr;
HDC dibDC = nullptr;
HBITMAP oldDib = nullptr;
HWND dibShownOn = nullptr;
LayeredUpdate layeredUpdate = UpdateLayeredWindowIndirect;

namespace {

constexpr int BYTES_PER_PIXEL = 4;

// A memory DC with a top-down 32-bit DIB section of `size` selected into it.
bool CreateDib(std::int32_t size) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = -size; // negative: rows top-down, as in the frame
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;

    dibDC = CreateCompatibleDC(nullptr);
    dib = dibDC ? CreateDIBSection(dibDC, &info, DIB_RGB_COLORS, &dibBits, nullptr, 0) : nullptr;
    if (!dibDC || !dib || !dibBits) {
        FreeDib();
        return false;
    }
    oldDib = static_cast<HBITMAP>(SelectObject(dibDC, dib));
    dibSize = size;
    return true;
}

} // namespace

bool PresentFrame(HWND window, const Settings& settings, int size, POINT topLeft, bool fast) {
    // The frame, the surface and the window must all have the one clamped size,
    // or the pixel copy would run past one of them.
    size = velmor::frameSize(size);
    if (!window || !renderer) return false;

    FrameStageTimer drawing(FrameStage::Drawing);
    SYSTEMTIME now{};
    GetLocalTime(&now);
    // presentationFrame is written by nothing else, so a steady tick may draw
    // over the frame it holds.
    const velmor::Renderer::RowSpan changed =
        renderer->renderOver(presentationFrame, size, FrameTime(now), FrameOptions(settings), fast);

    if (size != dibSize) {
        FreeDib();
        if (!CreateDib(size)) return false;
    }
    // Only a surface that holds the last frame shown takes just what changed:
    // the changed columns of the changed rows, and their bounds as the dirty
    // rectangle.
    RECT dirty{0, 0, size, size};
    if (dibShownOn == window) {
        const velmor::RowReach written = BgraStretchesFromImage(
            presentationFrame, static_cast<std::uint8_t*>(dibBits), size * BYTES_PER_PIXEL, size,
            renderer->changedColumns, changed.top, changed.bottom);
        dirty = written.first <= written.last
                    ? RECT{written.first, changed.top, written.last + 1, changed.bottom}
                    : RECT{0, 0, 0, 0};
    } else {
        BgraRowsFromImage(presentationFrame, static_cast<std::uint8_t*>(dibBits), size * BYTES_PER_PIXEL,
                          size);
    }
    drawing.Stop();

    const FrameStageTimer update(FrameStage::LayeredUpdate);

    SIZE extent{size, size};
    POINT origin{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UPDATELAYEREDWINDOWINFO info{};
    info.cbSize = sizeof info;
    info.pptDst = &topLeft;
    info.psize = &extent;
    info.hdcSrc = dibDC;
    info.pptSrc = &origin;
    info.pblend = &blend;
    info.dwFlags = ULW_ALPHA;
    info.prcDirty = dirty.top < dirty.bottom ? &dirty : nullptr;
    // The window shows the surface's frame once the update succeeds; after a
    // failed one it shows something else, so the next update takes every row.
    const bool shown = layeredUpdate(window, &info) != FALSE;
    dibShownOn = shown ? window : nullptr;
    return shown;
}

void ForgetShownFrame() {
    dibShownOn = nullptr;
}

void FreeDib() {
    if (dibDC) SelectObject(dibDC, oldDib);
    if (dib) DeleteObject(dib);
    if (dibDC) DeleteDC(dibDC);
    dibDC = nullptr;
    dib = nullptr;
    oldDib = nullptr;
    dibBits = nullptr;
    dibSize = 0;
    dibShownOn = nullptr;
}
