// Lanczos-3 and 2 x 2 fixed-point resizing of premultiplied images.
//
// The arithmetic is fixed: every channel of every output sample is a double sum
// taken in tap order, the horizontal pass is stored as float, and bytes come
// from the same rounding rules whichever kernel runs. The kernels only choose
// how many independent sums run side by side (four channels of four or eight
// rows, or of four or eight columns); no single sum is ever reordered or fused,
// so the AVX-512, AVX2 and baseline kernels give identical bytes.
#include "renderer/resample.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <memory>
#include <numbers>

#include "renderer/simd.h"
#include "renderer/visible.h"

namespace velmor {

namespace {

// The widest kernel set the resizers may use: 0 baseline, 1 AVX2, 2 AVX-512.
int kernelLimit = 2;

// The widest kernel set both allowed and offered by the CPU.
int kernelSet() {
#if VELMOR_X86_64
    __builtin_cpu_init();
    if (kernelLimit >= 2 && __builtin_cpu_supports("avx512f")) return 2;
    if (kernelLimit >= 1 && __builtin_cpu_supports("avx2")) return 1;
#endif
    return 0;
}

// A source must hold at least the pixels its width and height promise.
bool usable(const Image& image) {
    return image.width > 0 && image.height > 0 &&
           image.pixels.size() >= static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
}

// A transparent size x size image; a negative size is an impossible vector length
// and throws std::length_error from the vector.
Image transparent(std::int32_t size) {
    const std::size_t edge = static_cast<std::size_t>(size);
    Image image;
    image.pixels.resize(size < 0 ? edge : edge * edge);
    image.width = size;
    image.height = size;
    return image;
}

// v rounded half away from zero, for 0 < v <= 255. v - trunc(v) is exact there,
// so this equals std::round without a library call.
inline std::uint8_t roundPositive(double v) {
    const int t = static_cast<int>(v);
    return static_cast<std::uint8_t>(t + (v - t >= 0.5 ? 1 : 0));
}

// Saturating rounding (see image.h), same results as velmor::saturate.
inline std::uint8_t saturateFast(double v) {
    if (v >= 255.0) return 255;
    if (v > 0.0) return roundPositive(v);
    return 0;
}

// The vertical sums of one output pixel to bytes: alpha saturates; colour is
// bounded by the unrounded, clamped alpha so ringing never breaks premultiplication.
inline Pixel toPixel(double r, double g, double b, double a) {
    const double limit = a >= 255.0 ? 255.0 : (a > 0.0 ? a : 0.0);
    auto colour = [limit](double c) -> std::uint8_t {
        if (c >= limit) c = limit;
        return c > 0.0 ? roundPositive(c) : 0;
    };
    return Pixel{colour(r), colour(g), colour(b), saturateFast(a)};
}

// A tap table in three flat arrays: the taps of output i are first[i]..first[i+1].
struct FlatTaps {
    std::vector<std::int32_t> first;
    std::vector<std::int32_t> index;
    std::vector<double> weight;
};

FlatTaps flatten(const std::vector<std::vector<Tap>>& table) {
    FlatTaps flat;
    std::size_t total = 0;
    for (const auto& list : table) total += list.size();
    flat.first.reserve(table.size() + 1);
    flat.index.reserve(total);
    flat.weight.reserve(total);
    flat.first.push_back(0);
    for (const auto& list : table) {
        for (const Tap& tap : list) {
            flat.index.push_back(tap.index);
            flat.weight.push_back(tap.weight);
        }
        flat.first.push_back(static_cast<std::int32_t>(flat.index.size()));
    }
    return flat;
}

#if defined(__GNUC__)

// Four channels side by side. Element-wise vector arithmetic keeps each channel's
// own order of operations; the build has contraction off, so no FMA appears.
// Buffers are plain double and float arrays read and written through the
// byte-aligned forms, so no alignment beyond the element's is assumed.
#define VELMOR_ALWAYS_INLINE inline __attribute__((always_inline))
typedef double D4 __attribute__((vector_size(32)));
typedef float F4 __attribute__((vector_size(16)));
typedef double D4u __attribute__((vector_size(32), aligned(8)));
typedef float F4u __attribute__((vector_size(16), aligned(4)));
typedef long long L4 __attribute__((vector_size(32)));
typedef int I4 __attribute__((vector_size(16)));
typedef unsigned char U4 __attribute__((vector_size(4)));

// toPixel on all four channels at once. Alpha takes the colour path too: bounded
// by its own clamped value it gives exactly its saturating rounding.
VELMOR_ALWAYS_INLINE Pixel toPixelVector(const D4& v) {
    const D4 zero = {0.0, 0.0, 0.0, 0.0}, top = {255.0, 255.0, 255.0, 255.0};
    const D4 half = {0.5, 0.5, 0.5, 0.5}, one = {1.0, 1.0, 1.0, 1.0};
    const D4 a = __builtin_shuffle(v, L4{3, 3, 3, 3});
    const D4 limit = a >= top ? top : (a > zero ? a : zero);
    D4 c = v >= limit ? limit : v;
    c = c > zero ? c : zero; // NaN too
    const D4 whole = __builtin_convertvector(__builtin_convertvector(c, I4), D4);
    const D4 rounded = whole + ((c - whole) >= half ? one : zero); // the difference is exact
    const U4 bytes = __builtin_convertvector(__builtin_convertvector(rounded, I4), U4);
    return Pixel{bytes[0], bytes[1], bytes[2], bytes[3]};
}


// Horizontal pass for the four source rows y0..y0 + 3 (rows past the last are
// neither read nor stored): the four rows share the column taps, so their sums
// are independent and overlap in the pipeline. `rows` holds the four rows as
// doubles, interleaved per source column; row y0 + r goes to out + r * size * 4.
VELMOR_ALWAYS_INLINE void horizontalBody(const Image& source, const FlatTaps& columns, std::int32_t size, std::int32_t y0,
                                         double* rowData, float* outData) {
    D4u* rows = reinterpret_cast<D4u*>(rowData);
    const std::int32_t width = source.width;
    const std::int32_t count = std::min<std::int32_t>(4, source.height - y0);
    for (std::int32_t r = 0; r < 4; ++r) {
        D4u* dst = rows + r;
        if (r < count) {
            const Pixel* p = source.pixels.data() + static_cast<std::size_t>(y0 + r) * width;
            for (std::int32_t x = 0; x < width; ++x)
                dst[4 * x] = D4{static_cast<double>(p[x].r), static_cast<double>(p[x].g), static_cast<double>(p[x].b),
                                static_cast<double>(p[x].a)};
        } else {
            for (std::int32_t x = 0; x < width; ++x) dst[4 * x] = D4{0.0, 0.0, 0.0, 0.0};
        }
    }
    F4u* out = reinterpret_cast<F4u*>(outData);
    for (std::int32_t i = 0; i < size; ++i) {
        D4 s0 = {0.0, 0.0, 0.0, 0.0}, s1 = s0, s2 = s0, s3 = s0;
        for (std::int32_t k = columns.first[i], end = columns.first[i + 1]; k < end; ++k) {
            const D4u* p = rows + 4 * static_cast<std::size_t>(columns.index[k]);
            const double w = columns.weight[k];
            const D4 wv = {w, w, w, w};
            s0 += p[0] * wv;
            s1 += p[1] * wv;
            s2 += p[2] * wv;
            s3 += p[3] * wv;
        }
        out[i] = __builtin_convertvector(s0, F4);
        if (count > 1) out[size + i] = __builtin_convertvector(s1, F4);
        if (count > 2) out[2 * static_cast<std::size_t>(size) + i] = __builtin_convertvector(s2, F4);
        if (count > 3) out[3 * static_cast<std::size_t>(size) + i] = __builtin_convertvector(s3, F4);
    }
}

// Vertical pass for one output row: sources[k] is the intermediate row of tap k,
// weights[k] its weight. Four columns at a time (they share the taps), then the
// remaining columns one by one.
VELMOR_ALWAYS_INLINE void verticalBody(const float* const* sources, const double* weights, std::int32_t n,
                                       std::int32_t size, Pixel* row) {
    // Intermediate rows start at 16-byte multiples of a new[] block, which is at
    // least 16-byte aligned.
    std::int32_t i = 0;
    for (; i + 4 <= size; i += 4) {
        D4 s0 = {0.0, 0.0, 0.0, 0.0}, s1 = s0, s2 = s0, s3 = s0;
        for (std::int32_t k = 0; k < n; ++k) {
            const F4* m = reinterpret_cast<const F4*>(sources[k]) + i;
            const double w = weights[k];
            const D4 wv = {w, w, w, w};
            s0 += __builtin_convertvector(m[0], D4) * wv;
            s1 += __builtin_convertvector(m[1], D4) * wv;
            s2 += __builtin_convertvector(m[2], D4) * wv;
            s3 += __builtin_convertvector(m[3], D4) * wv;
        }
        row[i] = toPixelVector(s0);
        row[i + 1] = toPixelVector(s1);
        row[i + 2] = toPixelVector(s2);
        row[i + 3] = toPixelVector(s3);
    }
    for (; i < size; ++i) {
        D4 s = {0.0, 0.0, 0.0, 0.0};
        for (std::int32_t k = 0; k < n; ++k) {
            const double w = weights[k];
            const D4 wv = {w, w, w, w};
            s += __builtin_convertvector(reinterpret_cast<const F4*>(sources[k])[i], D4) * wv;
        }
        row[i] = toPixelVector(s);
    }
}

void horizontalBaseline(const Image& source, const FlatTaps& columns, std::int32_t size, std::int32_t y0, double* rows,
                        float* out) {
    horizontalBody(source, columns, size, y0, rows, out);
}
void verticalBaseline(const float* const* sources, const double* weights, std::int32_t n, std::int32_t size, Pixel* row) {
    verticalBody(sources, weights, n, size, row);
}

#if VELMOR_X86_64
// The horizontal pass written out in AVX2, same order of operations as above.
__attribute__((target("avx2"))) void horizontalWide(const Image& source, const FlatTaps& columns, std::int32_t size,
                                                    std::int32_t y0, double* rows, float* out) {
    const std::int32_t width = source.width;
    const std::int32_t count = std::min<std::int32_t>(4, source.height - y0);
    // Rows past the last are copies of it; their sums are not stored.
    const Pixel* p[4];
    for (std::int32_t r = 0; r < 4; ++r)
        p[r] = source.pixels.data() + static_cast<std::size_t>(y0 + std::min(r, count - 1)) * width;
    for (std::int32_t x = 0; x < width; ++x) {
        double* dst = rows + 16 * static_cast<std::size_t>(x);
        for (std::int32_t r = 0; r < 4; ++r) {
            std::int32_t word;
            std::memcpy(&word, p[r] + x, sizeof word);
            _mm256_storeu_pd(dst + 4 * r, _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(_mm_cvtsi32_si128(word))));
        }
    }
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

// The vertical pass written out in AVX2: widening four floats is one instruction
// here, where the generic form above takes three.
//
// toPixel on one pixel's sums, as four 32-bit lanes. min and max return their
// second operand when the comparison fails, which gives the clamps of toPixel
// exactly, NaN and -0 included. For 0 <= c <= 255, truncating the rounded sum
// c + h, h the double just below 0.5, is c rounded half away from zero: below a
// tie the sum stays under the next integer (the only inexact case, c just below
// 0.5, lands on 1 - 2^-53), and at or above a tie it reaches it.
__attribute__((target("avx2"), always_inline)) inline __m128i packWide(__m256d v) {
    const __m256d zero = _mm256_setzero_pd(), top = _mm256_set1_pd(255.0);
    const __m256d belowHalf = _mm256_set1_pd(0.49999999999999994);
    const __m256d a = _mm256_permute4x64_pd(v, 0xFF);
    const __m256d limit = _mm256_min_pd(top, _mm256_max_pd(a, zero));
    const __m256d c = _mm256_max_pd(_mm256_min_pd(limit, v), zero);
    return _mm256_cvttpd_epi32(_mm256_add_pd(c, belowHalf));
}

// Four pixels' lanes to sixteen bytes (every lane is within 0..255).
__attribute__((target("avx2"), always_inline)) inline __m128i packFour(__m128i p0, __m128i p1, __m128i p2, __m128i p3) {
    return _mm_packus_epi16(_mm_packus_epi32(p0, p1), _mm_packus_epi32(p2, p3));
}

// Columns 0..size - 1 of out, which are columns offset.. of the intermediate rows.
__attribute__((target("avx2"))) void verticalWide(const float* const* sources, const double* weights, std::int32_t n,
                                                  std::int32_t size, Pixel* out, std::int32_t offset) {
    auto* row = reinterpret_cast<std::uint8_t*>(out);
    std::int32_t i = 0;
    for (; i + 4 <= size; i += 4) {
        __m256d s0 = _mm256_setzero_pd(), s1 = s0, s2 = s0, s3 = s0;
        for (std::int32_t k = 0; k < n; ++k) {
            const float* m = sources[k] + 4 * (static_cast<std::size_t>(offset) + static_cast<std::size_t>(i));
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
            const float* m = sources[k] + 4 * (static_cast<std::size_t>(offset) + static_cast<std::size_t>(i));
            s = _mm256_add_pd(s, _mm256_mul_pd(_mm256_cvtps_pd(_mm_loadu_ps(m)), _mm256_set1_pd(weights[k])));
        }
        const __m128i lanes = packWide(s);
        const auto p = static_cast<std::uint32_t>(_mm_cvtsi128_si32(packFour(lanes, lanes, lanes, lanes)));
        std::memcpy(row + 4 * static_cast<std::size_t>(i), &p, sizeof p);
    }
}
// GCC 12's AVX-512 headers trip -Wmaybe-uninitialized on their own undefined
// pass-through operands.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

// AVX-512: the same sums, two pixels' channels per register. The horizontal pass
// takes eight source rows at a time (rows r and r + 1 of one column share a
// register), so four registers still carry independent sums.
__attribute__((target("avx512f"))) void horizontalWidest(const Image& source, const FlatTaps& columns,
                                                         std::int32_t size, std::int32_t y0, double* rows, float* out) {
    const std::int32_t width = source.width;
    const std::int32_t count = std::min<std::int32_t>(8, source.height - y0);
    // Rows past the last are copies of it; their sums are not stored.
    const Pixel* p[8];
    for (std::int32_t r = 0; r < 8; ++r)
        p[r] = source.pixels.data() + static_cast<std::size_t>(y0 + std::min(r, count - 1)) * width;
    for (std::int32_t x = 0; x < width; ++x) {
        double* dst = rows + 32 * static_cast<std::size_t>(x);
        for (std::int32_t r = 0; r < 8; ++r) {
            std::int32_t word;
            std::memcpy(&word, p[r] + x, sizeof word);
            _mm256_storeu_pd(dst + 4 * r, _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(_mm_cvtsi32_si128(word))));
        }
    }
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
        const __m256 f[4] = {_mm512_cvtpd_ps(s0), _mm512_cvtpd_ps(s1), _mm512_cvtpd_ps(s2), _mm512_cvtpd_ps(s3)};
        float* o = out + 4 * static_cast<std::size_t>(i);
        for (std::int32_t r = 0; r < count; ++r) {
            const __m256 pair = f[r / 2];
            _mm_storeu_ps(o + static_cast<std::size_t>(r) * stride,
                          r % 2 == 0 ? _mm256_castps256_ps128(pair) : _mm256_extractf128_ps(pair, 1));
        }
    }
}

// packWide on two pixels' sums at once: eight 32-bit lanes.
__attribute__((target("avx512f"), always_inline)) inline __m256i packWidest(__m512d v) {
    const __m512d zero = _mm512_setzero_pd(), top = _mm512_set1_pd(255.0);
    const __m512d belowHalf = _mm512_set1_pd(0.49999999999999994);
    const __m512d a = _mm512_permutex_pd(v, 0xFF); // each pixel's alpha, within its half
    const __m512d limit = _mm512_min_pd(top, _mm512_max_pd(a, zero));
    const __m512d c = _mm512_max_pd(_mm512_min_pd(limit, v), zero);
    return _mm512_cvttpd_epi32(_mm512_add_pd(c, belowHalf));
}

// Four pixels' lanes to sixteen bytes (every lane is within 0..255).
__attribute__((target("avx512f"), always_inline)) inline __m128i packFourWidest(__m256i p01, __m256i p23) {
    return _mm512_cvtepi32_epi8(_mm512_inserti64x4(_mm512_castsi256_si512(p01), p23, 1));
}

__attribute__((target("avx512f"))) void verticalWidest(const float* const* sources, const double* weights,
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
    if (i < size) verticalWide(sources, weights, n, size - i, out + i, i);
}

__attribute__((target("avx2"))) void verticalWideRow(const float* const* sources, const double* weights, std::int32_t n,
                                                     std::int32_t size, Pixel* out) {
    verticalWide(sources, weights, n, size, out, 0);
}

#pragma GCC diagnostic pop
#endif

#endif // __GNUC__

} // namespace

std::vector<std::vector<Tap>> taps(std::int32_t srcLength, std::int32_t dstLength) {
    // A negative length is an impossible vector length: std::length_error.
    std::vector<std::vector<Tap>> table(static_cast<std::size_t>(dstLength));
    // No source sample to weight: every list stays empty rather than naming index -1.
    if (srcLength <= 0) return table;

    const double ratio = static_cast<double>(srcLength) / dstLength;
    const double scale = ratio > 1.0 ? ratio : 1.0; // shrinking widens the kernel
    const double support = 3.0 * scale;
    constexpr double pi = std::numbers::pi;
    for (std::int32_t i = 0; i < dstLength; ++i) {
        const double c = (i + 0.5) * srcLength / dstLength - 0.5;
        const auto lo = static_cast<std::int64_t>(std::ceil(c - support));
        const auto hi = static_cast<std::int64_t>(std::floor(c + support));
        std::vector<Tap>& list = table[static_cast<std::size_t>(i)];
        list.reserve(hi >= lo ? static_cast<std::size_t>(hi - lo + 1) : 0);
        double sum = 0.0;
        for (std::int64_t j = lo; j <= hi; ++j) {
            const double x = (c - static_cast<double>(j)) / scale;
            double w = 1.0;
            if (!(std::fabs(x) < 1e-9)) {
                const double px = x * pi;
                w = std::sin(px) / px;
                const double u = x / 3.0;
                if (!(std::fabs(u) < 1e-9)) {
                    const double pu = u * pi;
                    w *= std::sin(pu) / pu;
                }
            }
            const std::int64_t index = std::min<std::int64_t>(std::max<std::int64_t>(j, 0), srcLength - 1);
            list.push_back(Tap{static_cast<std::int32_t>(index), w});
            sum += w;
        }
        for (Tap& tap : list) tap.weight /= sum;
    }
    return table;
}

Image resample(const Image& source, std::int32_t size) {
    if (source.width == size && source.height == size) return source;
    if (!usable(source) || size <= 0) return transparent(size);

    const FlatTaps columns = flatten(taps(source.width, size));
    // A square source (the artwork) has the same table on both axes.
    const FlatTaps rowTable = source.height == source.width ? FlatTaps{} : flatten(taps(source.height, size));
    const FlatTaps& rowTaps = source.height == source.width ? columns : rowTable;
    Image result = transparent(size);

#if defined(__GNUC__)
    using Horizontal = void (*)(const Image&, const FlatTaps&, std::int32_t, std::int32_t, double*, float*);
    using Vertical = void (*)(const float* const*, const double*, std::int32_t, std::int32_t, Pixel*);
    Horizontal horizontal = horizontalBaseline;
    Vertical vertical = verticalBaseline;
    std::int32_t group = 4; // source rows narrowed together
#if VELMOR_X86_64
    const int kernels = kernelSet();
    if (kernels == 2) {
        horizontal = horizontalWidest;
        vertical = verticalWidest;
        group = 8;
    } else if (kernels == 1) {
        horizontal = horizontalWide;
        vertical = verticalWideRow;
    }
#endif
    // Output rows are made in order, and each needs the intermediate rows of its
    // taps only, so the intermediate lives in a ring of rows that stays in cache:
    // source rows are narrowed (a group at a time) just before the first output row
    // that reads them, and a slot is reused once no later output row reads it.
    // Each source row is still narrowed exactly once. The ring holds every row
    // from the lowest an output row reads to the last one narrowed by then.
    std::int32_t capacity = 4, narrowed = 0;
    std::size_t longest = 0;
    for (std::int32_t j = 0; j < size; ++j) {
        const std::int32_t first = rowTaps.first[j], end = rowTaps.first[j + 1];
        if (first == end) continue;
        const auto [lowest, highest] = std::minmax_element(rowTaps.index.begin() + first, rowTaps.index.begin() + end);
        while (narrowed <= *highest) narrowed += group;
        capacity = std::max(capacity, narrowed - *lowest);
        longest = std::max(longest, static_cast<std::size_t>(end - first));
    }
    capacity = (capacity + group - 1) / group * group; // a group's rows take adjacent slots
    const std::size_t stride = static_cast<std::size_t>(size) * 4;
    // Not zeroed: a slot is always written before it is read.
    const std::unique_ptr<float[]> ring(new float[static_cast<std::size_t>(capacity) * stride]);
    const std::unique_ptr<double[]> rows(new double[4 * static_cast<std::size_t>(group) * static_cast<std::size_t>(source.width)]);
    std::vector<const float*> sources(longest);
    narrowed = 0;
    for (std::int32_t j = 0; j < size; ++j) {
        const std::int32_t first = rowTaps.first[j], end = rowTaps.first[j + 1];
        for (std::int32_t k = first; k < end; ++k) {
            const std::int32_t y = rowTaps.index[k];
            for (; narrowed <= y; narrowed += group)
                horizontal(source, columns, size, narrowed, rows.get(),
                           ring.get() + static_cast<std::size_t>(narrowed % capacity) * stride);
            sources[static_cast<std::size_t>(k - first)] = ring.get() + static_cast<std::size_t>(y % capacity) * stride;
        }
        vertical(sources.data(), rowTaps.weight.data() + first, end - first, size,
                 result.pixels.data() + static_cast<std::size_t>(j) * size);
    }
#else
    // Plain form of the same sums for compilers without vector extensions.
    std::vector<float> middle(static_cast<std::size_t>(source.height) * size * 4);
    for (std::int32_t y = 0; y < source.height; ++y) {
        const Pixel* p = source.pixels.data() + static_cast<std::size_t>(y) * source.width;
        for (std::int32_t i = 0; i < size; ++i) {
            double s[4] = {0.0, 0.0, 0.0, 0.0};
            for (std::int32_t k = columns.first[i]; k < columns.first[i + 1]; ++k) {
                const Pixel q = p[columns.index[k]];
                const double w = columns.weight[k];
                s[0] += q.r * w;
                s[1] += q.g * w;
                s[2] += q.b * w;
                s[3] += q.a * w;
            }
            for (int c = 0; c < 4; ++c) middle[(static_cast<std::size_t>(y) * size + i) * 4 + c] = static_cast<float>(s[c]);
        }
    }
    for (std::int32_t j = 0; j < size; ++j) {
        for (std::int32_t i = 0; i < size; ++i) {
            double s[4] = {0.0, 0.0, 0.0, 0.0};
            for (std::int32_t k = rowTaps.first[j]; k < rowTaps.first[j + 1]; ++k) {
                const float* m = &middle[(static_cast<std::size_t>(rowTaps.index[k]) * size + i) * 4];
                const double w = rowTaps.weight[k];
                for (int c = 0; c < 4; ++c) s[c] += static_cast<double>(m[c]) * w;
            }
            result.pixels[static_cast<std::size_t>(j) * size + i] = toPixel(s[0], s[1], s[2], s[3]);
        }
    }
#endif
    return result;
}

namespace {

// Sample position of output i on an axis of `length` source samples: the two
// neighbouring indexes, clamped, and the 8-bit weight of the second.
FastTap fastAxis(std::int32_t i, std::int32_t length, std::int32_t size) {
    const double d = (i + 0.5) * length / size - 0.5;
    const double e = std::floor(d);
    const auto base = static_cast<std::int64_t>(e);
    FastTap c;
    // (d - e) · 256 lies in 0..256; rounded half up, which is half away from zero
    // there, without the C runtime's round (not exact everywhere).
    const double scaled = (d - e) * 256.0;
    const auto whole = static_cast<std::int32_t>(scaled);
    c.rightWeight = whole + (scaled - whole >= 0.5 ? 1 : 0);
    c.left = static_cast<std::int32_t>(std::clamp<std::int64_t>(base, 0, length - 1));
    c.right = static_cast<std::int32_t>(std::clamp<std::int64_t>(base + 1, 0, length - 1));
    return c;
}

#if VELMOR_X86_64
// The two taps of column k of a blended row pair, left pixel in the low half.
// Neighbouring taps, as all but a few clamped columns at the edges have, are one load.
__attribute__((target("avx2"), always_inline)) inline __m128i fastTaps(const std::uint16_t* blend, const FastTap& c,
                                                                         bool paired) {
    return paired ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(blend + 4 * c.left))
                  : _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(blend + 4 * c.left)),
                                       _mm_loadl_epi64(reinterpret_cast<const __m128i*>(blend + 4 * c.right)));
}

// Columns k and k + 1: their four channels as 32-bit lanes, one column per half.
__attribute__((target("avx2"), always_inline)) inline __m256i fastPairWide(const std::uint16_t* blend, const FastPlan& plan,
                                                                             std::int32_t k, std::int32_t pairBegin,
                                                                             std::int32_t pairEnd) {
    const __m128i t0 = fastTaps(blend, plan.columns[static_cast<std::size_t>(k)], k >= pairBegin && k < pairEnd);
    const __m128i t1 = fastTaps(blend, plan.columns[static_cast<std::size_t>(k) + 1], k + 1 >= pairBegin && k + 1 < pairEnd);
    const __m256i v = _mm256_inserti128_si256(_mm256_castsi128_si256(t0), t1, 1);
    const __m256i w = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(plan.weights.data() + 8 * static_cast<std::size_t>(k)));
    const __m256i plo = _mm256_mullo_epi16(v, w), phi = _mm256_mulhi_epu16(v, w);
    const __m256i sum = _mm256_add_epi32(_mm256_unpacklo_epi16(plo, phi), _mm256_unpackhi_epi16(plo, phi));
    return _mm256_srli_epi32(_mm256_add_epi32(sum, _mm256_set1_epi32(32768)), 16);
}

// The column pass of the quick resizer in AVX2 for columns i.. of one row, four
// at a time, with the same integers as the SSE2 loop in runFast; returns the
// first column left.
__attribute__((target("avx2"))) std::int32_t fastColumnsWide(const std::uint16_t* blend, const FastPlan& plan, std::int32_t i,
                                                              std::int32_t end, std::int32_t pairBegin, std::int32_t pairEnd,
                                                              Pixel* row) {
    for (; i + 4 <= end; i += 4) {
        // After the pack the halves hold columns (i, i + 2) and (i + 1, i + 3);
        // the permute puts them in order before the bytes are packed.
        const __m256i packed = _mm256_packs_epi32(fastPairWide(blend, plan, i, pairBegin, pairEnd),
                                                  fastPairWide(blend, plan, i + 2, pairBegin, pairEnd));
        const __m256i words = _mm256_permute4x64_epi64(packed, 0xD8);
        const __m128i bytes = _mm_packus_epi16(_mm256_castsi256_si128(words), _mm256_extracti128_si256(words, 1));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i), bytes);
    }
    return i;
}
#endif

} // namespace

FastPlan planFast(const Image& source, std::int32_t size) {
    FastPlan plan;
    plan.size = size;
    if (size <= 0 || (source.width == size && source.height == size) || !usable(source)) return plan;

    const std::int32_t width = source.width, height = source.height;
    plan.columns.resize(static_cast<std::size_t>(size));
    plan.rows.resize(static_cast<std::size_t>(size));
    for (std::int32_t i = 0; i < size; ++i) {
        plan.columns[static_cast<std::size_t>(i)] = fastAxis(i, width, size);
        plan.rows[static_cast<std::size_t>(i)] = fastAxis(i, height, size);
    }
    // Per source row, the pixels from the first to the last that is not all zero
    // (an empty span for a clear row). An output whose taps all lie outside the
    // spans of its two rows is zero, so the clear bulk of a layer like the
    // crystal is skipped.
    plan.spanBegin.resize(static_cast<std::size_t>(height));
    plan.spanEnd.resize(static_cast<std::size_t>(height));
    for (std::int32_t y = 0; y < height; ++y) {
        const Visible v = visibleStretch(source.pixels.data() + static_cast<std::size_t>(y) * width, width);
        plan.spanBegin[static_cast<std::size_t>(y)] = v.begin < v.end ? v.begin : width;
        plan.spanEnd[static_cast<std::size_t>(y)] = v.begin < v.end ? v.end : 0;
    }
    plan.blend.resize(4 * static_cast<std::size_t>(width) + 8);
    plan.written.resize(static_cast<std::size_t>(size));
#if VELMOR_X86_64
    // Per column, the weights as eight 16-bit lanes: left weight for the left
    // pixel's channels, right weight for the right pixel's.
    plan.weights.resize(8 * static_cast<std::size_t>(size));
    for (std::int32_t i = 0; i < size; ++i) {
        const auto wr = static_cast<std::int16_t>(plan.columns[static_cast<std::size_t>(i)].rightWeight);
        const auto wl = static_cast<std::int16_t>(256 - wr);
        std::int16_t* w = plan.weights.data() + 8 * static_cast<std::size_t>(i);
        for (int k = 0; k < 4; ++k) w[k] = wl, w[k + 4] = wr;
    }
#endif
    return plan;
}

// The kernel is ((P00·wl + P10·wr)·u + (P01·wl + P11·wr)·t + 32768) >> 16. All
// terms are exact integers, so it equals (V(x0)·wl + V(x1)·wr + 32768) >> 16
// with V(x) = P(x, top)·u + P(x, bottom)·t, which fits 16 bits (at most
// 255·256): each output row blends its two source rows once, then every output
// pixel needs only two taps.
void runFast(const Image& source, FastPlan& plan, Image& out) {
    const std::int32_t size = plan.size;
    if (size <= 0) {
        out.width = out.height = size < 0 ? 0 : size;
        out.pixels.clear();
        return;
    }
    const std::size_t count = static_cast<std::size_t>(size) * static_cast<std::size_t>(size);
    out.width = size;
    out.height = size;
    if (plan.columns.empty()) {
        // A same-size copy, or transparent from an unusable source.
        if (source.width == size && source.height == size && usable(source))
            out.pixels.assign(source.pixels.begin(), source.pixels.begin() + static_cast<std::ptrdiff_t>(count));
        else
            out.pixels.assign(count, Pixel{});
        return;
    }
    // Every pixel is written below, zeros included, so storage from an earlier
    // frame needs no clearing first.
    out.pixels.resize(count);

    const std::int32_t width = source.width;
    std::uint16_t* blend = plan.blend.data();
    // SSE2 is part of x86-64; the plain loops below finish each row, and do all
    // of it when the tests ask for the baseline kernels.
    const bool vector = kernelLimit > 0;
#if VELMOR_X86_64
    const bool wide = kernelSet() >= 1;
#endif

    // The columns whose right tap is the left one's neighbour: a run in the
    // middle, since only clamping at either edge makes them the same.
    std::int32_t pairBegin = 0, pairEnd = size;
    auto paired = [&](std::int32_t k) {
        const FastTap& c = plan.columns[static_cast<std::size_t>(k)];
        return c.right == c.left + 1;
    };
    while (pairBegin < size && !paired(pairBegin)) ++pairBegin;
    while (pairEnd > pairBegin && !paired(pairEnd - 1)) --pairEnd;

    for (std::int32_t j = 0; j < size; ++j) {
        const FastTap r = plan.rows[static_cast<std::size_t>(j)];
        const std::uint32_t t = static_cast<std::uint32_t>(r.rightWeight), u = 256 - t;
        const auto* top = reinterpret_cast<const std::uint8_t*>(source.pixels.data() + static_cast<std::size_t>(r.left) * width);
        const auto* bottom = reinterpret_cast<const std::uint8_t*>(source.pixels.data() + static_cast<std::size_t>(r.right) * width);
        Pixel* row = out.pixels.data() + static_cast<std::size_t>(j) * size;
        const std::int32_t lo = std::min(plan.spanBegin[static_cast<std::size_t>(r.left)], plan.spanBegin[static_cast<std::size_t>(r.right)]);
        const std::int32_t hi = std::max(plan.spanEnd[static_cast<std::size_t>(r.left)], plan.spanEnd[static_cast<std::size_t>(r.right)]);
        if (lo >= hi) {
            std::memset(static_cast<void*>(row), 0, static_cast<std::size_t>(size) * sizeof(Pixel));
            plan.written[static_cast<std::size_t>(j)] = Visible{size, size};
            continue;
        }

        std::int32_t n = 4 * lo; // bytes of the row blended so far
        const std::int32_t bytes = 4 * hi;
#if VELMOR_X86_64
        if (vector) {
            const __m128i zero = _mm_setzero_si128();
            const __m128i uv = _mm_set1_epi16(static_cast<short>(u)), tv = _mm_set1_epi16(static_cast<short>(t));
            for (; n + 16 <= bytes; n += 16) {
                const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(top + n));
                const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bottom + n));
                const __m128i lo = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(a, zero), uv),
                                                 _mm_mullo_epi16(_mm_unpacklo_epi8(b, zero), tv));
                const __m128i hi = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(a, zero), uv),
                                                 _mm_mullo_epi16(_mm_unpackhi_epi8(b, zero), tv));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(blend + n), lo);
                _mm_storeu_si128(reinterpret_cast<__m128i*>(blend + n + 8), hi);
            }
        }
#endif
        for (; n < bytes; ++n) blend[n] = static_cast<std::uint16_t>(top[n] * u + bottom[n] * t);
        // The two taps of a column are neighbours, so a column read below has its
        // taps in lo - 1 .. hi; outside the span the blend is zero, not a stale row.
        if (lo > 0) std::fill_n(blend + 4 * (lo - 1), 4, std::uint16_t{0});
        if (hi < width) std::fill_n(blend + 4 * hi, 4, std::uint16_t{0});
        // Columns are in order: those with a tap in lo .. hi - 1; the others are zero.
        const auto firstColumn = std::partition_point(plan.columns.begin(), plan.columns.end(),
                                                      [lo](const FastTap& c) { return c.right < lo; });
        const auto endColumn = std::partition_point(firstColumn, plan.columns.end(),
                                                    [hi](const FastTap& c) { return c.left < hi; });
        const auto columnEnd = static_cast<std::int32_t>(endColumn - plan.columns.begin());
        std::int32_t i = static_cast<std::int32_t>(firstColumn - plan.columns.begin());
        plan.written[static_cast<std::size_t>(j)] = i < columnEnd ? Visible{i, columnEnd} : Visible{size, size};
        // memset, not fill: GCC stores a four-byte struct one at a time.
        std::memset(static_cast<void*>(row), 0, static_cast<std::size_t>(i) * sizeof(Pixel));
        std::memset(static_cast<void*>(row + columnEnd), 0, static_cast<std::size_t>(size - columnEnd) * sizeof(Pixel));

#if VELMOR_X86_64
        if (vector) {
            const __m128i half = _mm_set1_epi32(32768);
            auto pixel = [&](std::int32_t k) {
                const FastTap& c = plan.columns[static_cast<std::size_t>(k)];
                // Neighbouring taps, as all but a few clamped columns at the
                // edges have, are one load.
                const __m128i v = k >= pairBegin && k < pairEnd
                                      ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(blend + 4 * c.left))
                                      : _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(blend + 4 * c.left)),
                                                           _mm_loadl_epi64(reinterpret_cast<const __m128i*>(blend + 4 * c.right)));
                const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(plan.weights.data() + 8 * static_cast<std::size_t>(k)));
                const __m128i plo = _mm_mullo_epi16(v, w), phi = _mm_mulhi_epu16(v, w);
                const __m128i sum = _mm_add_epi32(_mm_unpacklo_epi16(plo, phi), _mm_unpackhi_epi16(plo, phi));
                return _mm_srli_epi32(_mm_add_epi32(sum, half), 16);
            };
            if (wide) i = fastColumnsWide(blend, plan, i, columnEnd, pairBegin, pairEnd, row);
            for (; i + 2 <= columnEnd; i += 2) {
                const __m128i packed = _mm_packs_epi32(pixel(i), pixel(i + 1));
                _mm_storel_epi64(reinterpret_cast<__m128i*>(row + i), _mm_packus_epi16(packed, packed));
            }
        }
#endif
        for (; i < columnEnd; ++i) {
            const FastTap& c = plan.columns[static_cast<std::size_t>(i)];
            const std::uint32_t wr = static_cast<std::uint32_t>(c.rightWeight), wl = 256 - wr;
            const std::uint16_t* l = blend + 4 * c.left;
            const std::uint16_t* rr = blend + 4 * c.right;
            auto channel = [&](int ch) {
                return static_cast<std::uint8_t>((l[ch] * wl + rr[ch] * wr + 32768) >> 16);
            };
            row[i] = Pixel{channel(0), channel(1), channel(2), channel(3)};
        }
    }
}

Image resampleFast(const Image& source, std::int32_t size) {
    if (source.width == size && source.height == size) return source;
    if (!usable(source) || size <= 0) return transparent(size);
    FastPlan plan = planFast(source, size);
    Image result;
    result.pixels.reserve(static_cast<std::size_t>(size) * static_cast<std::size_t>(size));
    runFast(source, plan, result);
    return result;
}

void resampleFastInto(const Image& source, std::int32_t size, Image& out) {
    FastPlan plan = planFast(source, size);
    const std::size_t count = size > 0 ? static_cast<std::size_t>(size) * static_cast<std::size_t>(size) : 0;
    if (out.pixels.capacity() < count) {
        // Fresh storage: the old pixels are about to be overwritten, so copying
        // them over, as growing the vector would, is wasted work.
        std::vector<Pixel> fresh;
        fresh.reserve(count);
        out.pixels.swap(fresh);
    }
    runFast(source, plan, out); // allocates nothing now
}

namespace detail {
void useBaselineKernels(bool baseline) { kernelLimit = baseline ? 0 : 2; }
void limitKernels(int widest) { kernelLimit = widest; }
} // namespace detail

} // namespace velmor
