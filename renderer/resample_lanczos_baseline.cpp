// The Lanczos kernels in the baseline instruction set. On x86-64 that is SSE2,
// written out in intrinsics: two channels per register, so one pixel's sums
// are two registers and every accumulator of a group stays in one. Elsewhere
// GCC's vector extensions, four channels side by side. The tests hold every
// kernel, these included, to the plain formulas.
#include <algorithm>
#include <cstddef>
#include <cstring>

#include "renderer/resample_kernels.h"

namespace velmor::resampling {

#if VELMOR_X86_64

namespace {

// The vertical pass's byte rule (resample_kernels.h) on one pixel's sums, red
// and green in `low`, blue and alpha in `high`, as four 32-bit lanes. min and
// max return their second operand when the comparison fails, which gives the
// rule's clamps exactly, NaN and -0 included. For 0 <= c <= 255, truncating
// c + h, h the double just below 0.5, is c rounded half away from zero (see
// packWide in the AVX2 kernels).
[[gnu::always_inline]] inline __m128i toLanes(__m128d low, __m128d high) {
    const __m128d zero = _mm_setzero_pd(), top = _mm_set1_pd(255.0);
    const __m128d belowHalf = _mm_set1_pd(0.49999999999999994);
    const __m128d a = _mm_unpackhi_pd(high, high);
    const __m128d limit = _mm_min_pd(top, _mm_max_pd(a, zero));
    const __m128d c0 = _mm_max_pd(_mm_min_pd(limit, low), zero);
    const __m128d c1 = _mm_max_pd(_mm_min_pd(limit, high), zero);
    return _mm_unpacklo_epi64(_mm_cvttpd_epi32(_mm_add_pd(c0, belowHalf)),
                              _mm_cvttpd_epi32(_mm_add_pd(c1, belowHalf)));
}

// Four pixels' lanes to sixteen bytes; every lane is within 0..255, so neither
// pack saturates.
[[gnu::always_inline]] inline __m128i packFour(__m128i p0, __m128i p1, __m128i p2, __m128i p3) {
    return _mm_packus_epi16(_mm_packs_epi32(p0, p1), _mm_packs_epi32(p2, p3));
}

// Four pixels' sums, two channels a register: the sixteen doubles at q go to
// s0..s7 in order, each times the tap's weight. Every sum is its own, taken in
// tap order; eight independent ones overlap in the pipeline.
struct FourPixels {
    __m128d s0 = _mm_setzero_pd(), s1 = s0, s2 = s0, s3 = s0, s4 = s0, s5 = s0, s6 = s0, s7 = s0;

    [[gnu::always_inline]] void add(const double* q, double weight) {
        const __m128d w = _mm_set1_pd(weight);
        s0 = _mm_add_pd(s0, _mm_mul_pd(_mm_load_pd(q), w));
        s1 = _mm_add_pd(s1, _mm_mul_pd(_mm_load_pd(q + 2), w));
        s2 = _mm_add_pd(s2, _mm_mul_pd(_mm_load_pd(q + 4), w));
        s3 = _mm_add_pd(s3, _mm_mul_pd(_mm_load_pd(q + 6), w));
        s4 = _mm_add_pd(s4, _mm_mul_pd(_mm_load_pd(q + 8), w));
        s5 = _mm_add_pd(s5, _mm_mul_pd(_mm_load_pd(q + 10), w));
        s6 = _mm_add_pd(s6, _mm_mul_pd(_mm_load_pd(q + 12), w));
        s7 = _mm_add_pd(s7, _mm_mul_pd(_mm_load_pd(q + 14), w));
    }
};

// A pixel's sums rounded to float, stored widened back to double.
[[gnu::always_inline]] inline void storeAsFloat(double* o, __m128d low, __m128d high) {
    _mm_storeu_pd(o, _mm_cvtps_pd(_mm_cvtpd_ps(low)));
    _mm_storeu_pd(o + 2, _mm_cvtps_pd(_mm_cvtpd_ps(high)));
}

// A pixel's four bytes zero-extended to 32-bit lanes.
[[gnu::always_inline]] inline __m128i bytesToLanes(const Pixel* p) {
    std::int32_t word;
    std::memcpy(&word, p, sizeof word);
    const __m128i zero = _mm_setzero_si128();
    return _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(word), zero), zero);
}

} // namespace

// Horizontal pass for the four source rows y0..y0 + 3 (rows past the last are
// neither read nor stored): the four rows share the column taps, so their eight
// pairs of sums are independent and overlap in the pipeline. `rows` holds the
// four rows as doubles, interleaved per source column (new[] gives it 16-byte
// alignment, and each column's block is 128 bytes); row y0 + r goes to
// out + r * size * 4, each sum rounded to float and widened back.
void horizontalBaseline(const Image& source, const FlatTaps& columns, std::int32_t size, std::int32_t y0,
                        double* rows, double* out) {
    const std::int32_t width = source.width;
    const std::int32_t count = std::min<std::int32_t>(4, source.height - y0);
    for (std::int32_t r = 0; r < 4; ++r) {
        double* dst = rows + 4 * r;
        if (r < count) {
            const Pixel* p = source.pixels.data() + static_cast<std::size_t>(y0 + r) * width;
            for (std::int32_t x = 0; x < width; ++x) {
                const __m128i lanes = bytesToLanes(p + x);
                _mm_store_pd(dst + 16 * static_cast<std::size_t>(x), _mm_cvtepi32_pd(lanes));
                _mm_store_pd(dst + 16 * static_cast<std::size_t>(x) + 2,
                             _mm_cvtepi32_pd(_mm_unpackhi_epi64(lanes, lanes)));
            }
        } else {
            for (std::int32_t x = 0; x < width; ++x) {
                _mm_store_pd(dst + 16 * static_cast<std::size_t>(x), _mm_setzero_pd());
                _mm_store_pd(dst + 16 * static_cast<std::size_t>(x) + 2, _mm_setzero_pd());
            }
        }
    }
    const std::size_t stride = static_cast<std::size_t>(size) * 4;
    const std::int32_t* first = columns.first.data();
    const std::int32_t* index = columns.index.data();
    const double* weight = columns.weight.data();
    for (std::int32_t i = 0; i < size; ++i) {
        FourPixels s;
        for (std::int32_t k = first[i], end = first[i + 1]; k < end; ++k)
            s.add(rows + 16 * static_cast<std::size_t>(index[k]), weight[k]);
        double* o = out + 4 * static_cast<std::size_t>(i);
        storeAsFloat(o, s.s0, s.s1);
        if (count > 1) storeAsFloat(o + stride, s.s2, s.s3);
        if (count > 2) storeAsFloat(o + 2 * stride, s.s4, s.s5);
        if (count > 3) storeAsFloat(o + 3 * stride, s.s6, s.s7);
    }
}

// Vertical pass for one output row: sources[k] is the intermediate row of tap k,
// weights[k] its weight. Four columns at a time (they share the taps), then the
// remaining columns one by one. Ring rows start at 32-byte multiples of a new[]
// block, so every pixel's entries are 16-byte aligned.
void verticalBaseline(const double* const* sources, const double* weights, std::int32_t n, std::int32_t size,
                      Pixel* out) {
    auto* row = reinterpret_cast<std::uint8_t*>(out);
    std::int32_t i = 0;
    for (; i + 4 <= size; i += 4) {
        FourPixels s;
        for (std::int32_t k = 0; k < n; ++k)
            s.add(sources[k] + 4 * static_cast<std::size_t>(i), weights[k]);
        _mm_storeu_si128(
            reinterpret_cast<__m128i*>(row + 4 * static_cast<std::size_t>(i)),
            packFour(toLanes(s.s0, s.s1), toLanes(s.s2, s.s3), toLanes(s.s4, s.s5), toLanes(s.s6, s.s7)));
    }
    for (; i < size; ++i) {
        __m128d low = _mm_setzero_pd(), high = low;
        for (std::int32_t k = 0; k < n; ++k) {
            const double* m = sources[k] + 4 * static_cast<std::size_t>(i);
            const __m128d w = _mm_set1_pd(weights[k]);
            low = _mm_add_pd(low, _mm_mul_pd(_mm_load_pd(m), w));
            high = _mm_add_pd(high, _mm_mul_pd(_mm_load_pd(m + 2), w));
        }
        const __m128i lanes = toLanes(low, high);
        const auto p = static_cast<std::uint32_t>(_mm_cvtsi128_si32(packFour(lanes, lanes, lanes, lanes)));
        std::memcpy(row + 4 * static_cast<std::size_t>(i), &p, sizeof p);
    }
}

#else
namespace {

// Four channels side by side. Element-wise vector arithmetic keeps each channel's
// own order of operations; the build has contraction off, so no FMA appears.
// Buffers are plain double and float arrays read and written through the
// byte-aligned forms, so no alignment beyond the element's is assumed.
typedef double D4 __attribute__((vector_size(32)));
typedef float F4 __attribute__((vector_size(16)));
typedef double D4u __attribute__((vector_size(32), aligned(8)));
typedef long long L4 __attribute__((vector_size(32)));
typedef int I4 __attribute__((vector_size(16)));
typedef unsigned char U4 __attribute__((vector_size(4)));

// The vertical pass's byte rule (resample_kernels.h) on all four channels at
// once. Alpha takes the colour path too: bounded by its own clamped value it
// gives exactly its saturating rounding.
[[gnu::always_inline]] inline Pixel toPixel(const D4& v) {
    const D4 zero = {0.0, 0.0, 0.0, 0.0}, top = {255.0, 255.0, 255.0, 255.0};
    const D4 half = {0.5, 0.5, 0.5, 0.5}, one = {1.0, 1.0, 1.0, 1.0};
    const D4 a = __builtin_shuffle(v, L4{3, 3, 3, 3}); // alpha into every lane
    const D4 limit = a >= top ? top : (a > zero ? a : zero);
    D4 c = v >= limit ? limit : v;
    c = c > zero ? c : zero; // NaN too
    const D4 whole = __builtin_convertvector(__builtin_convertvector(c, I4), D4);
    const D4 rounded = whole + ((c - whole) >= half ? one : zero); // the difference is exact
    const U4 bytes = __builtin_convertvector(__builtin_convertvector(rounded, I4), U4);
    return Pixel{bytes[0], bytes[1], bytes[2], bytes[3]};
}

} // namespace

// Horizontal pass for the four source rows y0..y0 + 3 (rows past the last are
// neither read nor stored): the four rows share the column taps, so their sums
// are independent and overlap in the pipeline. `rows` holds the four rows as
// doubles, interleaved per source column; row y0 + r goes to out + r * size * 4,
// each sum rounded to float and widened back.
void horizontalBaseline(const Image& source, const FlatTaps& columns, std::int32_t size, std::int32_t y0,
                        double* rowData, double* outData) {
    D4u* rows = reinterpret_cast<D4u*>(rowData);
    const std::int32_t width = source.width;
    const std::int32_t count = std::min<std::int32_t>(4, source.height - y0);
    for (std::int32_t r = 0; r < 4; ++r) {
        D4u* dst = rows + r;
        if (r < count) {
            const Pixel* p = source.pixels.data() + static_cast<std::size_t>(y0 + r) * width;
            for (std::int32_t x = 0; x < width; ++x)
                dst[4 * x] = D4{static_cast<double>(p[x].r), static_cast<double>(p[x].g),
                                static_cast<double>(p[x].b), static_cast<double>(p[x].a)};
        } else {
            for (std::int32_t x = 0; x < width; ++x)
                dst[4 * x] = D4{0.0, 0.0, 0.0, 0.0};
        }
    }
    D4u* out = reinterpret_cast<D4u*>(outData);
#define VELMOR_AS_FLOAT(v) __builtin_convertvector(__builtin_convertvector(v, F4), D4)
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
        out[i] = VELMOR_AS_FLOAT(s0);
        if (count > 1) out[size + i] = VELMOR_AS_FLOAT(s1);
        if (count > 2) out[2 * static_cast<std::size_t>(size) + i] = VELMOR_AS_FLOAT(s2);
        if (count > 3) out[3 * static_cast<std::size_t>(size) + i] = VELMOR_AS_FLOAT(s3);
    }
#undef VELMOR_AS_FLOAT
}

// Vertical pass for one output row: sources[k] is the intermediate row of tap k,
// weights[k] its weight. Four columns at a time (they share the taps), then the
// remaining columns one by one.
void verticalBaseline(const double* const* sources, const double* weights, std::int32_t n, std::int32_t size,
                      Pixel* row) {
    std::int32_t i = 0;
    for (; i + 4 <= size; i += 4) {
        D4 s0 = {0.0, 0.0, 0.0, 0.0}, s1 = s0, s2 = s0, s3 = s0;
        for (std::int32_t k = 0; k < n; ++k) {
            const D4u* m = reinterpret_cast<const D4u*>(sources[k]) + i;
            const double w = weights[k];
            const D4 wv = {w, w, w, w};
            s0 += m[0] * wv;
            s1 += m[1] * wv;
            s2 += m[2] * wv;
            s3 += m[3] * wv;
        }
        row[i] = toPixel(s0);
        row[i + 1] = toPixel(s1);
        row[i + 2] = toPixel(s2);
        row[i + 3] = toPixel(s3);
    }
    for (; i < size; ++i) {
        D4 s = {0.0, 0.0, 0.0, 0.0};
        for (std::int32_t k = 0; k < n; ++k) {
            const double w = weights[k];
            const D4 wv = {w, w, w, w};
            s += reinterpret_cast<const D4u*>(sources[k])[i] * wv;
        }
        row[i] = toPixel(s);
    }
}

#endif

} // namespace velmor::resampling
