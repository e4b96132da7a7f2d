// The frame sizes the renderer draws, in pixels: any other is clamped into
// them. The clock's size model and the presentation surface use the same.
#pragma once

#include <cstdint>

namespace velmor {

inline constexpr std::int32_t smallestFrame = 160;
inline constexpr std::int32_t largestFrame = 1200;

// `size` clamped into smallestFrame..largestFrame: a surface made for the
// clamped size always matches the frame drawn for it pixel for pixel.
inline std::int32_t frameSize(std::int32_t size) {
    return size > largestFrame ? largestFrame : size < smallestFrame ? smallestFrame : size;
}

} // namespace velmor
