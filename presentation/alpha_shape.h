// A window's shape from a frame's alpha: the rectangles a window system's
// region is made of, so that clicks on the transparent corners reach what lies
// under the clock and a screen without compositing shows it round.
#pragma once

#include <cstdint>
#include <vector>

#include "renderer/image.h"

struct ShapeRect {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    friend bool operator==(const ShapeRect&, const ShapeRect&) = default;
};

// Pixels at least half opaque belong to the shape: less covered edge pixels
// would show as a dark fringe where nothing blends them.
inline constexpr std::uint8_t SHAPE_ALPHA = 128;

// The shape of `image` in window units of `scale` image pixels each (the
// desktop's integer scale factor; below 1 reads as 1): a unit belongs to it
// when any of its pixels does. Runs of each row, merged with the same runs of
// the rows above into taller rectangles, top to bottom and left to right.
std::vector<ShapeRect> AlphaShape(const velmor::Image& image, std::int32_t scale);
