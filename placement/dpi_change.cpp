#include "placement/dpi_change.h"

#include "placement/size_model.h"

int ScaledEdge(int size, unsigned newDpi) {
    return Pixels(size, newDpi); // the size clamped for the new DPI, in its pixels
}

ScreenPoint PlaceInSuggested(const ScreenRect& suggested, int width) {
    // Integer division rounds toward zero, as the resize about a centre does.
    const auto along = [width](std::int32_t low, std::int32_t high) {
        return static_cast<std::int32_t>((std::int64_t{low} + high - width) / 2);
    };
    return {along(suggested.left, suggested.right), along(suggested.top, suggested.bottom)};
}
