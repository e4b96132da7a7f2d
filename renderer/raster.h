// Pixel helpers the disc and hand rasterisers share.
#pragma once

#include "renderer/compositing.h"
#include "renderer/image.h"

namespace velmor::raster {

// A pixel index from a double, kept far inside the int range so a wild
// coordinate cannot overflow the conversion; the callers clip to the image.
inline int toIndex(double v) {
    if (!(v > -1e9)) return -1000000000; // NaN too
    if (v > 1e9) return 1000000000;
    return static_cast<int>(v);
}

// The straight colour of a premultiplied sample; its alpha is not an opacity.
inline void unpremultiply(Pixel p, double& r, double& g, double& b) {
    if (p.a == 255) { // c * 255 / 255 is exactly c
        r = p.r, g = p.g, b = p.b;
        return;
    }
    const double d = p.a >= 2 ? p.a : 1;
    r = p.r * 255.0 / d;
    g = p.g * 255.0 / d;
    b = p.b * 255.0 / d;
}

// A reference sample's colour over `target` at `coverage` (at most 1).
[[gnu::always_inline]] inline void overSample(Pixel& target, Pixel sample, double coverage) {
    if (coverage >= 1 && sample.a == 255) {
        target = sample; // over() at full opacity writes an opaque sample's own bytes
        return;
    }
    double r, g, b;
    unpremultiply(sample, r, g, b);
    over(target, r, g, b, coverage);
}

} // namespace velmor::raster
