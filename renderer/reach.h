// Where a frame's hands, shadows and discs may draw, as one stretch of columns
// per row. The renderer redraws only these pixels over a cached face, so every
// stretch must hold all that the rasteriser can touch; holding more only costs
// time. Geometry is in dial units, 1/1000 of the frame's width.
#pragma once

#include <cstdint>
#include <vector>

namespace velmor {

// Columns first..last of one row; first > last when nothing there may change.
struct RowReach {
    std::int32_t first = 0;
    std::int32_t last = -1;
};

// Makes `rows` one entry per row of a frame `height` rows high, none reached
// yet, in the storage it already has when that is large enough.
void noReach(std::vector<RowReach>& rows, std::int32_t height);

// Widens `rows` (of a frame `width` pixels wide) by what the rasteriser's hand
// `hand` (0 hour, 1 minute, 2 seconds) or its shadow may touch at `angle`.
void reachHand(std::vector<RowReach>& rows, std::int32_t width, std::int32_t hand, double angle, bool shadow);

// Widens `rows` by what a disc of `radius` centred at (cx, cy) may touch.
void reachDisc(std::vector<RowReach>& rows, std::int32_t width, double cx, double cy, double radius);

} // namespace velmor
