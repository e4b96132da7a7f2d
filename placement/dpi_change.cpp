#include "placement/dpi_change.h"

#include "placement/size_model.h"

int ScaledEdge(int size, unsigned newDpi) {
    const unsigned d = newDpi == 0 ? velmor::size::REFERENCE_DPI : newDpi;
    return Pixels(ClampSize(size, d), d);
}

ScreenPoint PlaceInSuggested(const ScreenRect& suggested, int width) {
    // Integer division rounds toward zero, as the resize about a centre does.
    const auto along = [width](std::int32_t low, std::int32_t high) {
        return static_cast<std::int32_t>((std::int64_t{low} + high - width) / 2);
    };
    if (suggested.Width() == width && suggested.Height() == width) return {suggested.left, suggested.top};
    return {along(suggested.left, suggested.right), along(suggested.top, suggested.bottom)};
}
