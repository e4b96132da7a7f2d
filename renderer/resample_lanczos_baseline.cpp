// The Lanczos kernels in the baseline instruction set: GCC's vector extensions,
// four channels side by side, which on x86-64 become SSE2. The tests hold the
// AVX2 and AVX-512 kernels to these.
#include <algorithm>
#include <cstddef>

#include "renderer/resample_kernels.h"

namespace velmor::resampling {

namespace {

// Four channels side by side. Element-wise vector arithmetic keeps each channel's
// own order of operations; the build has contraction off, so no FMA appears.
// Buffers are plain double and float arrays read and written through the
// byte-aligned forms, so no alignment beyond the element's is assumed.
typedef double D4 __attribute__((vector_size(32)));
typedef float F4 __attribute__((vector_size(16)));
typedef double D4u __attribute__((vector_size(32), aligned(8)));
typedef float F4u __attribute__((vector_size(16), aligned(4)));
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
// doubles, interleaved per source column; row y0 + r goes to out + r * size * 4.
void horizontalBaseline(const Image& source, const FlatTaps& columns, std::int32_t size, std::int32_t y0,
                        double* rowData, float* outData) {
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
void verticalBaseline(const float* const* sources, const double* weights, std::int32_t n, std::int32_t size,
                      Pixel* row) {
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
            s += __builtin_convertvector(reinterpret_cast<const F4*>(sources[k])[i], D4) * wv;
        }
        row[i] = toPixel(s);
    }
}

} // namespace velmor::resampling
