// Scans for the first and last pixel with a byte set, sixteen pixels at a time
// where SSE2 is there: the clear bulk of a row then costs little more than
// reading it.
#include "renderer/visible.h"

#include <cstring>

#include "renderer/simd.h"

namespace velmor {

namespace {

bool clear(const Pixel& p) {
    std::uint32_t word;
    std::memcpy(&word, &p, sizeof word);
    return word == 0;
}

#if VELMOR_X86_64
// True when the sixteen pixels from p on are all zero.
inline bool clearBlock(const Pixel* p) {
    const auto* v = reinterpret_cast<const __m128i*>(p);
    const __m128i any = _mm_or_si128(_mm_or_si128(_mm_loadu_si128(v), _mm_loadu_si128(v + 1)),
                                     _mm_or_si128(_mm_loadu_si128(v + 2), _mm_loadu_si128(v + 3)));
    // One mask bit per byte that compared equal to zero: all sixteen set.
    return _mm_movemask_epi8(_mm_cmpeq_epi8(any, _mm_setzero_si128())) == 0xFFFF;
}
#endif

} // namespace

Visible visibleStretch(const Pixel* row, std::int32_t width) {
    std::int32_t b = 0;
#if VELMOR_X86_64
    while (b + 16 <= width && clearBlock(row + b))
        b += 16;
#endif
    while (b < width && clear(row[b]))
        ++b;
    if (b == width) return Visible{width, width};
    std::int32_t e = width;
#if VELMOR_X86_64
    while (e - 16 > b && clearBlock(row + e - 16))
        e -= 16;
#endif
    while (clear(row[e - 1]))
        --e; // stops at b at the latest
    return Visible{b, e};
}

} // namespace velmor
