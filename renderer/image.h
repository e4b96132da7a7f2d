// The renderer's one raster type: 8-bit RGBA, colour premultiplied by alpha.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

namespace velmor {

// Memory order r, g, b, a; read as a little-endian word red is the lowest byte.
// Premultiplied: r, g and b never exceed a, and transparent is all zeros.
struct Pixel {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    std::uint8_t a = 0;

    friend bool operator==(const Pixel&, const Pixel&) = default;
};
static_assert(sizeof(Pixel) == 4);

// Row-major, top row first; pixel (x, y) is at flat index y * width + x.
struct Image {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<Pixel> pixels;

    bool empty() const { return width <= 0 || height <= 0 || pixels.empty(); }
};

// Saturating rounding, the one double-to-byte rule of compositing, sampling,
// the glass layer and the high-quality resizer: 255 when v is not below 255,
// else v rounded half away from zero when it is above 0, else 0 (NaN too).
inline std::uint8_t saturate(double v) {
    if (v >= 255.0) return 255;
    // v - trunc(v) is exact here. Not std::round: some C runtimes (MinGW's)
    // round 0.49999999999999994 up to 1.
    if (v > 0.0) {
        const int whole = static_cast<int>(v);
        return static_cast<std::uint8_t>(whole + (v - whole >= 0.5 ? 1 : 0));
    }
    return 0;
}

} // namespace velmor
