// Sampling many points two at a time in SSE2 lanes, for processors without
// AVX2: the axes of two points at once, then each pixel's blend as sampleNarrow
// does it, so the bytes are sample()'s.
#include <cstddef>

#include "renderer/compositing.h"

#if VELMOR_X86_64
namespace velmor::detail {

namespace {
// sampleAxis for two coordinates at once: the same clamp, truncation and
// weight, NaN included (it compares false, so it takes index 0 and weight 0).
// The indices are in the low two 32-bit lanes.
[[gnu::always_inline]] inline void axis2(__m128d v, std::int32_t length, __m128i& i0, __m128i& i1,
                                         __m128d& f) {
    const __m128d last = _mm_set1_pd(static_cast<double>(length - 1));
    const __m128d above = _mm_cmpgt_pd(v, last);
    v = _mm_or_pd(_mm_and_pd(above, last), _mm_andnot_pd(above, v)); // SSE2 has no blendv
    const __m128d positive = _mm_cmpgt_pd(v, _mm_setzero_pd());
    // ANDed with the comparison's mask, lanes not above 0 become +0.0.
    const __m128i whole = _mm_cvttpd_epi32(_mm_and_pd(v, positive));
    f = _mm_and_pd(_mm_sub_pd(v, _mm_cvtepi32_pd(whole)), positive);
    i0 = whole;
    // SSE2 has no 32-bit min: keep the last index where the next one is beyond it.
    const __m128i next = _mm_add_epi32(whole, _mm_set1_epi32(1)), lastIndex = _mm_set1_epi32(length - 1);
    const __m128i beyond = _mm_cmpgt_epi32(next, lastIndex);
    i1 = _mm_or_si128(_mm_and_si128(beyond, lastIndex), _mm_andnot_si128(beyond, next));
}

} // namespace

void sampleManyNarrow(const Image& image, const double* xs, const double* ys, Pixel* out, int n) {
    const Pixel* pixels = image.pixels.data();
    const std::size_t width = static_cast<std::size_t>(image.width);
    int k = 0;
    for (; k + 2 <= n; k += 2) {
        __m128i x0, x1, y0, y1;
        __m128d fx, fy;
        axis2(_mm_loadu_pd(xs + k), image.width, x0, x1, fx);
        axis2(_mm_loadu_pd(ys + k), image.height, y0, y1, fy);
        alignas(16) double fxs[2], fys[2];
        alignas(16) std::int32_t x0s[4], x1s[4], y0s[4], y1s[4];
        _mm_store_pd(fxs, fx);
        _mm_store_pd(fys, fy);
        _mm_store_si128(reinterpret_cast<__m128i*>(x0s), x0);
        _mm_store_si128(reinterpret_cast<__m128i*>(x1s), x1);
        _mm_store_si128(reinterpret_cast<__m128i*>(y0s), y0);
        _mm_store_si128(reinterpret_cast<__m128i*>(y1s), y1);
        for (int l = 0; l < 2; ++l) {
            const Pixel* row0 = pixels + static_cast<std::size_t>(y0s[l]) * width;
            const Pixel* row1 = pixels + static_cast<std::size_t>(y1s[l]) * width;
            out[k + l] =
                blendNarrow(Corners{row0[x0s[l]], row0[x1s[l]], row1[x0s[l]], row1[x1s[l]], fxs[l], fys[l]});
        }
    }
    for (; k < n; ++k)
        out[k] = sampleNarrow(image, xs[k], ys[k]);
}

} // namespace velmor::detail
#endif
