// The quick resizer's column pass in AVX2: four columns at a time, the same
// integers as the SSE2 kernel.
#include <cstddef>

#include "renderer/resample_kernels.h"

#if VELMOR_X86_64
namespace velmor::resampling {

namespace {

// Columns k and k + 1: their four channels as 32-bit lanes, one column per half.
[[gnu::target("avx2"), gnu::always_inline]] inline __m256i columnPair(const std::uint16_t* blend,
                                                                      const FastPlan& plan, std::int32_t k,
                                                                      std::int32_t pairBegin,
                                                                      std::int32_t pairEnd) {
    const __m128i t0 =
        fastTaps(blend, plan.columns[static_cast<std::size_t>(k)], k >= pairBegin && k < pairEnd);
    const __m128i t1 =
        fastTaps(blend, plan.columns[static_cast<std::size_t>(k) + 1], k + 1 >= pairBegin && k + 1 < pairEnd);
    const __m256i v = _mm256_inserti128_si256(_mm256_castsi128_si256(t0), t1, 1); // t0 low half, t1 high
    const __m256i w = _mm256_loadu_si256(
        reinterpret_cast<const __m256i*>(plan.weights.data() + 8 * static_cast<std::size_t>(k)));
    // 32-bit products from their 16-bit halves, each tap's in one lane; the
    // left taps' in the low unpack, the right taps' in the high one (per half).
    const __m256i plo = _mm256_mullo_epi16(v, w), phi = _mm256_mulhi_epu16(v, w);
    const __m256i sum = _mm256_add_epi32(_mm256_unpacklo_epi16(plo, phi), _mm256_unpackhi_epi16(plo, phi));
    return _mm256_srli_epi32(_mm256_add_epi32(sum, _mm256_set1_epi32(32768)), 16);
}

} // namespace

[[gnu::target("avx2")]] std::int32_t columnsAvx2(const std::uint16_t* blend, const FastPlan& plan,
                                                 std::int32_t i, std::int32_t end, std::int32_t pairBegin,
                                                 std::int32_t pairEnd, Pixel* row) {
    for (; i + 4 <= end; i += 4) {
        // After the pack the halves hold columns (i, i + 2) and (i + 1, i + 3);
        // the permute (quadwords 0, 2, 1, 3) puts them in order before the
        // bytes are packed.
        const __m256i packed = _mm256_packs_epi32(columnPair(blend, plan, i, pairBegin, pairEnd),
                                                  columnPair(blend, plan, i + 2, pairBegin, pairEnd));
        const __m256i words = _mm256_permute4x64_epi64(packed, 0xD8);
        const __m128i bytes =
            _mm_packus_epi16(_mm256_castsi256_si128(words), _mm256_extracti128_si256(words, 1));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i), bytes);
    }
    return i;
}

} // namespace velmor::resampling
#endif
