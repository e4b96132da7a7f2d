// The size dialog's layout: its client area, its five controls and its font,
// designed in logical pixels at 96 DPI and scaled to a DPI with MulDiv rounding.
#pragma once

#include <array>

#include "placement/geometry.h"

// Control ids, also the controls' order in the dialog.
inline constexpr int SIZE_LABEL_ID = 201;
inline constexpr int SIZE_SLIDER_ID = 202;
inline constexpr int SIZE_HINT_ID = 203;
inline constexpr int DEFAULT_SIZE_ID = 204;
inline constexpr int DONE_ID = 205;
inline constexpr int SIZE_CONTROL_COUNT = 5;

// A width and height in pixels.
struct ScreenSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const ScreenSize&, const ScreenSize&) = default;
};

struct ControlPlace {
    int id = 0;
    ScreenPoint topLeft;
    ScreenSize size;
    friend bool operator==(const ControlPlace&, const ControlPlace&) = default;
};

// The dialog's client area at `dpi` (0 reads as 96).
ScreenSize SizeDialogClient(unsigned dpi);

// The five controls' places in the client area at `dpi`, in id order.
std::array<ControlPlace, SIZE_CONTROL_COUNT> SizeDialogControls(unsigned dpi);

// The character height of the dialog's font in pixels at `dpi`.
int SizeDialogFontHeight(unsigned dpi);
