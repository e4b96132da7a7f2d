#include "placement/size_model.h"

using namespace velmor::size;

int LargestSize(unsigned dpi) {
    if (dpi <= REFERENCE_DPI) return LARGEST;
    const unsigned quotient = PIXEL_BUDGET / dpi; // rounds down
    if (quotient >= static_cast<unsigned>(LARGEST)) return LARGEST;
    if (quotient <= static_cast<unsigned>(SMALLEST)) return SMALLEST;
    return static_cast<int>(quotient);
}

int ClampSize(int size, unsigned dpi) {
    if (size < SMALLEST) return SMALLEST;
    const int largest = LargestSize(dpi);
    return size < largest ? size : largest;
}

int Pixels(int size, unsigned dpi) {
    const std::int64_t d = dpi <= REFERENCE_DPI ? REFERENCE_DPI : dpi;
    const std::int64_t s = ClampSize(size, dpi);
    // s * d / 96 to the nearest pixel, halves up (all operands are positive).
    std::int64_t pixels = (s * d + 48) / 96;
    if (pixels > LARGEST_PIXELS) pixels = LARGEST_PIXELS;
    if (pixels < SMALLEST) pixels = SMALLEST;
    return static_cast<int>(pixels);
}

int SizePercent(int size) {
    // MulDiv's rounding: the nearest integer, halves away from zero.
    const std::int64_t num = static_cast<std::int64_t>(size) * 100;
    const std::int64_t half = HUNDRED_PERCENT / 2;
    const std::int64_t rounded =
        num >= 0 ? (num + half) / HUNDRED_PERCENT : -((-num + half) / HUNDRED_PERCENT);
    return static_cast<int>(rounded);
}
