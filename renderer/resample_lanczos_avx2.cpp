// The Lanczos kernels in AVX2: four channels of four rows, or of four columns,
// side by side in 256-bit lanes, each sum in the baseline kernels' order.
#include <algorithm>
#include <cstddef>
#include <cstring>

#include "renderer/resample_kernels.h"

#if VELMOR_X86_64
namespace velmor::resampling {

[[gnu::target("avx2")]] std::int32_t widenRowsAvx2(const Image& source, std::int32_t y0, std::int32_t group,
                                                   double* rows) {
    const std::int32_t width = source.width;
    const std::int32_t count = std::min<std::int32_t>(group, source.height - y0);
    // Rows past the last are copies of it; their sums are not stored.
    const Pixel* p[8];
    for (std::int32_t r = 0; r < group; ++r)
        p[r] = source.pixels.data() + static_cast<std::size_t>(y0 + std::min(r, count - 1)) * width;
    for (std::int32_t x = 0; x < width; ++x) {
        double* dst = rows + 4 * static_cast<std::size_t>(group) * static_cast<std::size_t>(x);
        for (std::int32_t r = 0; r < group; ++r) {
            std::int32_t word;
            std::memcpy(&word, p[r] + x, sizeof word);
            // One pixel's four bytes, zero-extended to four 32-bit lanes, as doubles.
            _mm256_storeu_pd(dst + 4 * r, _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(_mm_cvtsi32_si128(word))));
        }
    }
    return count;
}

// The horizontal pass, the same order of operations as the baseline kernel.
[[gnu::target("avx2")]] void horizontalAvx2(const Image& source, const FlatTaps& columns, std::int32_t size,
                                            std::int32_t y0, double* rows, float* out) {
    const std::int32_t count = widenRowsAvx2(source, y0, 4, rows);
    const std::size_t stride = static_cast<std::size_t>(size) * 4;
    for (std::int32_t i = 0; i < size; ++i) {
        __m256d s0 = _mm256_setzero_pd(), s1 = s0, s2 = s0, s3 = s0;
        for (std::int32_t k = columns.first[i], end = columns.first[i + 1]; k < end; ++k) {
            const double* q = rows + 16 * static_cast<std::size_t>(columns.index[k]);
            const __m256d w = _mm256_set1_pd(columns.weight[k]);
            s0 = _mm256_add_pd(s0, _mm256_mul_pd(_mm256_loadu_pd(q), w));
            s1 = _mm256_add_pd(s1, _mm256_mul_pd(_mm256_loadu_pd(q + 4), w));
            s2 = _mm256_add_pd(s2, _mm256_mul_pd(_mm256_loadu_pd(q + 8), w));
            s3 = _mm256_add_pd(s3, _mm256_mul_pd(_mm256_loadu_pd(q + 12), w));
        }
        float* o = out + 4 * static_cast<std::size_t>(i);
        _mm_storeu_ps(o, _mm256_cvtpd_ps(s0));
        if (count > 1) _mm_storeu_ps(o + stride, _mm256_cvtpd_ps(s1));
        if (count > 2) _mm_storeu_ps(o + 2 * stride, _mm256_cvtpd_ps(s2));
        if (count > 3) _mm_storeu_ps(o + 3 * stride, _mm256_cvtpd_ps(s3));
    }
}

namespace {

// The vertical pass's byte rule (resample_kernels.h) on one pixel's sums, as
// four 32-bit lanes. min and max return their second operand when the
// comparison fails, which gives the rule's clamps exactly, NaN and -0 included. For 0 <= c <= 255, truncating
// the rounded sum c + h, h the double just below 0.5, is c rounded half away from zero: below a tie the sum
// stays under the next integer (the only inexact case, c just below 0.5, lands on 1 - 2^-53), and at or above
// a tie it reaches it.
[[gnu::target("avx2"), gnu::always_inline]] inline __m128i packWide(__m256d v) {
    const __m256d zero = _mm256_setzero_pd(), top = _mm256_set1_pd(255.0);
    const __m256d belowHalf = _mm256_set1_pd(0.49999999999999994);
    const __m256d a = _mm256_permute4x64_pd(v, 0xFF); // alpha (lane 3) into every lane
    const __m256d limit = _mm256_min_pd(top, _mm256_max_pd(a, zero));
    const __m256d c = _mm256_max_pd(_mm256_min_pd(limit, v), zero);
    return _mm256_cvttpd_epi32(_mm256_add_pd(c, belowHalf));
}

// Four pixels' lanes to sixteen bytes: 32 to 16 bits, then to 8; every lane is
// within 0..255, so no pack saturates.
[[gnu::target("avx2"), gnu::always_inline]] inline __m128i packFour(__m128i p0, __m128i p1, __m128i p2,
                                                                    __m128i p3) {
    return _mm_packus_epi16(_mm_packus_epi32(p0, p1), _mm_packus_epi32(p2, p3));
}

} // namespace

// The vertical pass: widening four floats is one instruction here, where the
// baseline kernel takes three. Columns 0..size - 1 of out, which are columns
// offset.. of the intermediate rows.
[[gnu::target("avx2")]] void verticalAvx2From(const float* const* sources, const double* weights,
                                              std::int32_t n, std::int32_t size, Pixel* out,
                                              std::int32_t offset) {
    auto* row = reinterpret_cast<std::uint8_t*>(out);
    std::int32_t i = 0;
    for (; i + 4 <= size; i += 4) {
        __m256d s0 = _mm256_setzero_pd(), s1 = s0, s2 = s0, s3 = s0;
        for (std::int32_t k = 0; k < n; ++k) {
            const float* m =
                sources[k] + 4 * (static_cast<std::size_t>(offset) + static_cast<std::size_t>(i));
            const __m256d w = _mm256_set1_pd(weights[k]);
            s0 = _mm256_add_pd(s0, _mm256_mul_pd(_mm256_cvtps_pd(_mm_loadu_ps(m)), w));
            s1 = _mm256_add_pd(s1, _mm256_mul_pd(_mm256_cvtps_pd(_mm_loadu_ps(m + 4)), w));
            s2 = _mm256_add_pd(s2, _mm256_mul_pd(_mm256_cvtps_pd(_mm_loadu_ps(m + 8)), w));
            s3 = _mm256_add_pd(s3, _mm256_mul_pd(_mm256_cvtps_pd(_mm_loadu_ps(m + 12)), w));
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(row + 4 * static_cast<std::size_t>(i)),
                         packFour(packWide(s0), packWide(s1), packWide(s2), packWide(s3)));
    }
    for (; i < size; ++i) {
        __m256d s = _mm256_setzero_pd();
        for (std::int32_t k = 0; k < n; ++k) {
            const float* m =
                sources[k] + 4 * (static_cast<std::size_t>(offset) + static_cast<std::size_t>(i));
            s = _mm256_add_pd(s, _mm256_mul_pd(_mm256_cvtps_pd(_mm_loadu_ps(m)), _mm256_set1_pd(weights[k])));
        }
        const __m128i lanes = packWide(s);
        const auto p = static_cast<std::uint32_t>(_mm_cvtsi128_si32(packFour(lanes, lanes, lanes, lanes)));
        std::memcpy(row + 4 * static_cast<std::size_t>(i), &p, sizeof p);
    }
}

[[gnu::target("avx2")]] void verticalAvx2(const float* const* sources, const double* weights, std::int32_t n,
                                          std::int32_t size, Pixel* out) {
    verticalAvx2From(sources, weights, n, size, out, 0);
}

} // namespace velmor::resampling
#endif
