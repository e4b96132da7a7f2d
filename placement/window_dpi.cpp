#include "placement/window_dpi.h"

#include "placement/size_model.h"

unsigned WindowDpi(HWND window) {
    return velmor::size::KnownDpi(GetDpiForWindow(window));
}
