// The quick resizer's plain loops, one byte or one channel at a time: the
// reference the lane kernels are held to. They finish what the lanes leave of
// each row, and do all of it where the tests ask for the plain path.
#include <cstddef>

#include "renderer/resample_kernels.h"

namespace velmor::resampling {

void blendPlain(const std::uint8_t* top, const std::uint8_t* bottom, std::uint32_t u, std::uint32_t t,
                std::uint16_t* blend, std::int32_t n, std::int32_t end) {
    for (; n < end; ++n)
        blend[n] = static_cast<std::uint16_t>(top[n] * u + bottom[n] * t);
}

void columnsPlain(const std::uint16_t* blend, const FastPlan& plan, std::int32_t i, std::int32_t end,
                  Pixel* row) {
    for (; i < end; ++i) {
        const FastTap& c = plan.columns[static_cast<std::size_t>(i)];
        const std::uint32_t wr = static_cast<std::uint32_t>(c.rightWeight), wl = 256 - wr;
        const std::uint16_t* l = blend + 4 * c.left;
        const std::uint16_t* r = blend + 4 * c.right;
        auto channel = [&](int ch) {
            return static_cast<std::uint8_t>((l[ch] * wl + r[ch] * wr + 32768) >> 16);
        };
        row[i] = Pixel{channel(0), channel(1), channel(2), channel(3)};
    }
}

} // namespace velmor::resampling
