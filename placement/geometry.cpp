#include "placement/geometry.h"

#include <cstdlib>
#include <limits>

std::int32_t MulDivRound(std::int32_t a, std::int32_t b, std::int32_t c) {
    if (c == 0) return -1;
    const std::int64_t product = std::int64_t{a} * b;
    // Round the magnitude half up, then put the sign back: halves go away from zero.
    const std::uint64_t magnitude = static_cast<std::uint64_t>(product < 0 ? -product : product);
    const std::uint64_t divisor = static_cast<std::uint64_t>(std::llabs(std::int64_t{c}));
    const std::uint64_t rounded = (magnitude + divisor / 2) / divisor;
    if (rounded > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) return -1;
    const bool negative = (product < 0) != (c < 0);
    return negative ? -static_cast<std::int32_t>(rounded) : static_cast<std::int32_t>(rounded);
}

std::int32_t KeepInside(std::int64_t position, std::int64_t extent, std::int32_t low, std::int32_t high) {
    std::int64_t highest = std::int64_t{high} - extent;
    if (highest < low) highest = low;
    if (position > highest) position = highest;
    if (position < low) position = low;
    return static_cast<std::int32_t>(position);
}

ScreenPoint KeepInside(ScreenPoint topLeft, std::int64_t width, std::int64_t height,
                       const ScreenRect& workArea) {
    return {KeepInside(topLeft.x, width, workArea.left, workArea.right),
            KeepInside(topLeft.y, height, workArea.top, workArea.bottom)};
}
