// Screen geometry shared by the placement rules: points and rectangles in
// screen pixels, the work-area rule and the platform's MulDiv rounding.
#pragma once

#include <cstdint>

struct ScreenPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

// Left and top inside, right and bottom just outside, as the platform's RECT.
struct ScreenRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    std::int64_t Width() const { return std::int64_t{right} - left; }
    std::int64_t Height() const { return std::int64_t{bottom} - top; }
    friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

// a * b / c to the nearest integer, halves away from zero, as the platform's
// MulDiv; -1 when c is 0 or the result does not fit 32 bits, as MulDiv too.
std::int32_t MulDivRound(std::int32_t a, std::int32_t b, std::int32_t c);

// One coordinate of a window `extent` long kept inside [low, high): at least
// low, at most max(low, high - extent). A window longer than the area stays at
// its low edge.
std::int32_t KeepInside(std::int64_t position, std::int64_t extent, std::int32_t low, std::int32_t high);

// The top-left corner of a `width` x `height` window at `topLeft` kept inside
// `workArea` by the rule above on each axis.
ScreenPoint KeepInside(ScreenPoint topLeft, std::int64_t width, std::int64_t height,
                       const ScreenRect& workArea);
