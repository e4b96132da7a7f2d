// A move of the clock onto a monitor of another DPI: the edge the clock asks
// the system for at the new DPI, and where it goes in the rectangle the system
// then suggests.
#pragma once

#include "placement/geometry.h"

// The clock's edge in pixels at `newDpi` (0 reads as 96): the size as that DPI
// limits it, in that DPI's pixels. The system builds its suggested rectangle
// from this answer, so the clock keeps its place under the pointer.
int ScaledEdge(int size, unsigned newDpi);

// The top-left corner of a clock `width` pixels wide in the rectangle the
// system suggests: the rectangle's own corner when it is the clock's size (the
// system made it from ScaledEdge); otherwise the clock, which is always
// square and as large as its settings say, is centred on the rectangle.
ScreenPoint PlaceInSuggested(const ScreenRect& suggested, int width);
