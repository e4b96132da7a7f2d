// The pixel sizes a frame can have.
#pragma once

#include <cstdint>

inline constexpr std::int32_t SMALLEST_FRAME = 160;
inline constexpr std::int32_t LARGEST_FRAME = 1200;

// The renderer draws every size within these limits; a surface made for the
// same clamped size always matches its frame pixel for pixel.
inline std::int32_t FrameSize(std::int32_t size) {
    return size > LARGEST_FRAME ? LARGEST_FRAME : size < SMALLEST_FRAME ? SMALLEST_FRAME : size;
}
