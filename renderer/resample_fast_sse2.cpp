// The quick resizer's kernels in SSE2, which every x86-64 processor has: the
// plain loops' integers in 16-bit and 32-bit lanes.
#include <cstddef>

#include "renderer/resample_kernels.h"

#if VELMOR_X86_64
namespace velmor::resampling {

// Sixteen bytes of each row at a time, widened to 16 bits: at most 255·256, so
// no lane overflows.
std::int32_t blendSse2(const std::uint8_t* top, const std::uint8_t* bottom, std::uint32_t u, std::uint32_t t,
                       std::uint16_t* blend, std::int32_t n, std::int32_t end) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i uv = _mm_set1_epi16(static_cast<short>(u)), tv = _mm_set1_epi16(static_cast<short>(t));
    for (; n + 16 <= end; n += 16) {
        // Unpacking with zero widens bytes to 16-bit lanes, the low eight and the high eight.
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(top + n));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bottom + n));
        const __m128i lo = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(a, zero), uv),
                                         _mm_mullo_epi16(_mm_unpacklo_epi8(b, zero), tv));
        const __m128i hi = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(a, zero), uv),
                                         _mm_mullo_epi16(_mm_unpackhi_epi8(b, zero), tv));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(blend + n), lo);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(blend + n + 8), hi);
    }
    return n;
}

// Two columns at a time, each one column's four channels in 32-bit lanes.
std::int32_t columnsSse2(const std::uint16_t* blend, const FastPlan& plan, std::int32_t i, std::int32_t end,
                         std::int32_t pairBegin, std::int32_t pairEnd, Pixel* row) {
    const __m128i half = _mm_set1_epi32(32768);
    auto pixel = [&](std::int32_t k) {
        const __m128i v =
            fastTaps(blend, plan.columns[static_cast<std::size_t>(k)], k >= pairBegin && k < pairEnd);
        const __m128i w = _mm_loadu_si128(
            reinterpret_cast<const __m128i*>(plan.weights.data() + 8 * static_cast<std::size_t>(k)));
        // The full 32-bit products from their low and high 16-bit halves;
        // interleaving them puts each tap's product in one lane, left taps in
        // the low unpack, right taps in the high one, so one add sums them.
        const __m128i plo = _mm_mullo_epi16(v, w), phi = _mm_mulhi_epu16(v, w);
        const __m128i sum = _mm_add_epi32(_mm_unpacklo_epi16(plo, phi), _mm_unpackhi_epi16(plo, phi));
        return _mm_srli_epi32(_mm_add_epi32(sum, half), 16);
    };
    for (; i + 2 <= end; i += 2) {
        // Both columns' lanes to 16 bits, then to bytes: every lane is within 0..255.
        const __m128i packed = _mm_packs_epi32(pixel(i), pixel(i + 1));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(row + i), _mm_packus_epi16(packed, packed));
    }
    return i;
}

} // namespace velmor::resampling
#endif
