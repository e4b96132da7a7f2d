// Where each hand and its shadow can reach, in dial units (1/1000 of the frame
// width): one source for the rasteriser and for the renderer's bookkeeping of
// the pixels a frame's hands may touch.
#pragma once

namespace velmor::hands {

// Per hand index (0 hour, 1 minute, 2 seconds): length L from the pivot to the
// tip, a bound B of the half-width anywhere along it, the tail T behind the
// pivot, and the shadow's opacity.
struct HandBounds {
    double length;
    double bound;
    double tail;
    double shadowOpacity;
};
inline constexpr HandBounds bounds[3] = {{257, 25, 0, 0.64}, {346, 16, 0, 0.64}, {390, 1.4, 65, 0.42}};

// The pivot of the hands, and the shadow's pivot: the light comes from the upper left.
inline constexpr double pivotX = 500, pivotY = 492;
inline constexpr double shadowX = 508, shadowY = 503;

// The margin J the rasteriser keeps around a hand's band, in dial units, on a
// frame `scale` pixels per unit: 5 units for a shadow's soft edge, 1.5 pixels
// for a hand's anti-aliased one.
inline double bandMargin(bool shadow, double scale) {
    return shadow ? 5 : 1.5 / scale;
}

} // namespace velmor::hands
