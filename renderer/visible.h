// The visible stretch of a row of pixels: from its first to its last pixel that
// is not all zero. Layers like the crystal are clear over most of each row, and
// work on them can skip what lies outside.
#pragma once

#include <cstdint>

#include "renderer/image.h"

namespace velmor {

// [begin, end) of row[0..width): begin is the first pixel with any byte set,
// end one past the last; begin == end == width for a row that is all zero.
struct Visible {
    std::int32_t begin = 0;
    std::int32_t end = 0;
};
Visible visibleStretch(const Pixel* row, std::int32_t width);

} // namespace velmor
