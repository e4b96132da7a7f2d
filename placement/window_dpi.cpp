#include "placement/window_dpi.h"

#include "placement/size_model.h"

unsigned WindowDpi(HWND window) {
    const UINT dpi = GetDpiForWindow(window);
    return dpi == 0 ? velmor::size::REFERENCE_DPI : dpi;
}
