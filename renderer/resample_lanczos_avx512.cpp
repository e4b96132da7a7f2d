// The Lanczos kernels in AVX-512, each sum in the baseline kernels' order.
#include <cstddef>

#include "renderer/resample_kernels.h"

#if VELMOR_X86_64
namespace velmor::resampling {

// GCC 12's AVX-512 headers trip -Wmaybe-uninitialized on their own undefined
// pass-through operands.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

// AVX-512: the same sums, two pixels' channels per register. The horizontal pass
// takes eight source rows at a time (rows r and r + 1 of one column share a
// register), so four registers still carry independent sums.
[[gnu::target("avx512f")]] void horizontalAvx512(const Image& source, const FlatTaps& columns,
                                                 std::int32_t size, std::int32_t y0, double* rows,
                                                 float* out) {
    const std::int32_t count = widenRowsAvx2(source, y0, 8, rows);
    const std::size_t stride = static_cast<std::size_t>(size) * 4;
    for (std::int32_t i = 0; i < size; ++i) {
        __m512d s0 = _mm512_setzero_pd(), s1 = s0, s2 = s0, s3 = s0;
        for (std::int32_t k = columns.first[i], end = columns.first[i + 1]; k < end; ++k) {
            const double* q = rows + 32 * static_cast<std::size_t>(columns.index[k]);
            const __m512d w = _mm512_set1_pd(columns.weight[k]);
            s0 = _mm512_add_pd(s0, _mm512_mul_pd(_mm512_loadu_pd(q), w));
            s1 = _mm512_add_pd(s1, _mm512_mul_pd(_mm512_loadu_pd(q + 8), w));
            s2 = _mm512_add_pd(s2, _mm512_mul_pd(_mm512_loadu_pd(q + 16), w));
            s3 = _mm512_add_pd(s3, _mm512_mul_pd(_mm512_loadu_pd(q + 24), w));
        }
        const __m256 f[4] = {_mm512_cvtpd_ps(s0), _mm512_cvtpd_ps(s1), _mm512_cvtpd_ps(s2),
                             _mm512_cvtpd_ps(s3)};
        float* o = out + 4 * static_cast<std::size_t>(i);
        for (std::int32_t r = 0; r < count; ++r) {
            const __m256 pair = f[r / 2];
            _mm_storeu_ps(o + static_cast<std::size_t>(r) * stride,
                          r % 2 == 0 ? _mm256_castps256_ps128(pair) : _mm256_extractf128_ps(pair, 1));
        }
    }
}

namespace {

// The AVX2 kernel's packWide on two pixels' sums at once: eight 32-bit lanes.
[[gnu::target("avx512f"), gnu::always_inline]] inline __m256i packWidest(__m512d v) {
    const __m512d zero = _mm512_setzero_pd(), top = _mm512_set1_pd(255.0);
    const __m512d belowHalf = _mm512_set1_pd(0.49999999999999994);
    const __m512d a = _mm512_permutex_pd(v, 0xFF); // each pixel's alpha, within its half
    const __m512d limit = _mm512_min_pd(top, _mm512_max_pd(a, zero));
    const __m512d c = _mm512_max_pd(_mm512_min_pd(limit, v), zero);
    return _mm512_cvttpd_epi32(_mm512_add_pd(c, belowHalf));
}

// Four pixels' lanes to sixteen bytes, each 32-bit lane truncated to its low
// byte (every lane is within 0..255).
[[gnu::target("avx512f"), gnu::always_inline]] inline __m128i packFourWidest(__m256i p01, __m256i p23) {
    return _mm512_cvtepi32_epi8(_mm512_inserti64x4(_mm512_castsi256_si512(p01), p23, 1));
}

} // namespace

[[gnu::target("avx512f")]] void verticalAvx512(const float* const* sources, const double* weights,
                                               std::int32_t n, std::int32_t size, Pixel* out) {
    auto* row = reinterpret_cast<std::uint8_t*>(out);
    std::int32_t i = 0;
    for (; i + 8 <= size; i += 8) {
        __m512d s0 = _mm512_setzero_pd(), s1 = s0, s2 = s0, s3 = s0;
        for (std::int32_t k = 0; k < n; ++k) {
            const float* m = sources[k] + 4 * static_cast<std::size_t>(i);
            const __m512d w = _mm512_set1_pd(weights[k]);
            s0 = _mm512_add_pd(s0, _mm512_mul_pd(_mm512_cvtps_pd(_mm256_loadu_ps(m)), w));
            s1 = _mm512_add_pd(s1, _mm512_mul_pd(_mm512_cvtps_pd(_mm256_loadu_ps(m + 8)), w));
            s2 = _mm512_add_pd(s2, _mm512_mul_pd(_mm512_cvtps_pd(_mm256_loadu_ps(m + 16)), w));
            s3 = _mm512_add_pd(s3, _mm512_mul_pd(_mm512_cvtps_pd(_mm256_loadu_ps(m + 24)), w));
        }
        std::uint8_t* o = row + 4 * static_cast<std::size_t>(i);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(o), packFourWidest(packWidest(s0), packWidest(s1)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(o + 16), packFourWidest(packWidest(s2), packWidest(s3)));
    }
    // The last columns (fewer than eight) by the AVX2 kernel.
    if (i < size) verticalAvx2From(sources, weights, n, size - i, out + i, i);
}

#pragma GCC diagnostic pop

} // namespace velmor::resampling
#endif
