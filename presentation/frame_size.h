// The pixel sizes a frame can have.
#pragma once

#include <cstdint>

#include "placement/size_model.h"

// The renderer draws every size within 160..1200; a surface made for the same
// clamped size always matches its frame pixel for pixel.
inline std::int32_t FrameSize(std::int32_t size) {
    using velmor::size::LARGEST_PIXELS;
    using velmor::size::SMALLEST;
    return size > LARGEST_PIXELS ? LARGEST_PIXELS : size < SMALLEST ? SMALLEST : size;
}
