// Per-pixel compositing and bilinear sampling, used by the shape rasteriser for
// every pixel it examines; both are inline and allocate nothing.
#pragma once

#include "renderer/image.h"

namespace velmor {

// Composites the straight colour (r, g, b) on the 0..255 scale at opacity a over
// a premultiplied pixel, in place. Colour arguments outside 0..255 saturate after
// the blend, not before.
inline void over(Pixel& pixel, double r, double g, double b, double a) {
    if (a >= 1.0) {
        pixel = Pixel{saturate(r), saturate(g), saturate(b), 255};
    } else if (a > 0.0) {
        const double k = 1.0 - a;
        pixel = Pixel{saturate(r * a + pixel.r * k), saturate(g * a + pixel.g * k),
                      saturate(b * a + pixel.b * k), saturate(255.0 * a + pixel.a * k)};
    }
}

// x / 255 truncated without a division, for 0 <= x <= 65152 (d·k + 127 with
// d, k bytes); no intermediate exceeds 16 bits, so it also runs in 16-bit lanes.
constexpr std::uint32_t divideBy255(std::uint32_t x) { return (x + 1 + (x >> 8)) >> 8; }

namespace detail {
// Splits one coordinate into the two neighbouring indices and the weight of the
// second; coordinates outside the image clamp to its edge.
inline void sampleAxis(double v, std::int32_t length, std::int32_t& i0, std::int32_t& i1, double& f) {
    const double last = static_cast<double>(length - 1);
    if (v > last) v = last;
    if (v > 0.0) {
        i0 = static_cast<std::int32_t>(v);
        f = v - i0;
        i1 = i0 + 1;
    } else {
        i0 = 0;
        f = 0.0;
        i1 = 1;
    }
    if (i1 > length - 1) i1 = length - 1;
}
} // namespace detail

// Bilinear read of premultiplied bytes at (x, y) in pixel coordinates, pixel
// (j, i) centred at (j, i). An empty image reads as transparent.
inline Pixel sample(const Image& image, double x, double y) {
    if (image.empty()) return Pixel{};
    std::int32_t x0, x1, y0, y1;
    double fx, fy;
    detail::sampleAxis(x, image.width, x0, x1, fx);
    detail::sampleAxis(y, image.height, y0, y1, fy);
    const Pixel* row0 = image.pixels.data() + static_cast<std::size_t>(y0) * image.width;
    const Pixel* row1 = image.pixels.data() + static_cast<std::size_t>(y1) * image.width;
    const Pixel p00 = row0[x0], p10 = row0[x1], p01 = row1[x0], p11 = row1[x1];
    const double gx = 1.0 - fx, gy = 1.0 - fy;
    auto mix = [&](double c00, double c10, double c01, double c11) {
        return saturate((c00 * gx + c10 * fx) * gy + (c01 * gx + c11 * fx) * fy);
    };
    return Pixel{mix(p00.r, p10.r, p01.r, p11.r), mix(p00.g, p10.g, p01.g, p11.g),
                 mix(p00.b, p10.b, p01.b, p11.b), mix(p00.a, p10.a, p01.a, p11.a)};
}

} // namespace velmor
