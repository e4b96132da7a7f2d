// The clock's size: a logical edge length (pixels at 96 DPI) limited per DPI so
// the clock is never drawn wider than 1200 screen pixels.
#pragma once

#include <cstdint>

#include "renderer/frame_limits.h"

namespace velmor::size {

inline constexpr int SMALLEST = velmor::smallestFrame;      // smallest size and smallest pixel width
inline constexpr int LARGEST = 900;                         // largest size at 96 DPI and below
inline constexpr int LARGEST_PIXELS = velmor::largestFrame; // the clock is never wider than this
inline constexpr unsigned PIXEL_BUDGET = 115200;            // 1200 x 96
inline constexpr unsigned REFERENCE_DPI = 96;
inline constexpr int HUNDRED_PERCENT = 320; // default size, shown as 100 %

// The system says 0 for the DPI of a window or monitor it cannot tell: read as 96.
constexpr unsigned KnownDpi(unsigned dpi) {
    return dpi == 0 ? REFERENCE_DPI : dpi;
}

} // namespace velmor::size

// Largest size allowed at `dpi`: 900 up to 96 DPI, else 115200 / dpi within 160..900.
int LargestSize(unsigned dpi);

// `size` limited to the sizes allowed at `dpi`.
int ClampSize(int size, unsigned dpi);

// The clock's edge length in screen pixels for `size` at `dpi`, 160..1200.
int Pixels(int size, unsigned dpi);

// The size as the percent the user sees: size * 100 / 320, halves away from zero.
int SizePercent(int size);
