// Per-pixel compositing and bilinear sampling, used by the shape rasteriser for
// every pixel it examines; both are inline and allocate nothing. On x86-64 the
// four channels go through SSE2 two doubles at a time: every lane does the same
// IEEE operations in the same order as the plain code in `detail`, so the bytes
// are the same; the tests hold the two side by side.
#pragma once

#include <bit>
#include <cstdint>

#include "renderer/image.h"
#include "renderer/simd.h"

namespace velmor {

// x / 255 truncated without a division, for 0 <= x <= 65152 (d·k + 127 with
// d, k bytes); no intermediate exceeds 16 bits, so it also runs in 16-bit lanes.
constexpr std::uint32_t divideBy255(std::uint32_t x) {
    return (x + 1 + (x >> 8)) >> 8;
}

namespace detail {
// Splits one coordinate into the two neighbouring indices and the weight of the
// second; coordinates outside the image clamp to its edge.
[[gnu::always_inline]] inline void sampleAxis(double v, std::int32_t length, std::int32_t& i0,
                                              std::int32_t& i1, double& f) {
    const double last = static_cast<double>(length - 1);
    if (v > last) v = last;
    if (v > 0.0) {
        i0 = static_cast<std::int32_t>(v);
        f = v - i0;
        i1 = i0 + 1;
    } else {
        i0 = 0;
        f = 0.0;
        i1 = 1;
    }
    if (i1 > length - 1) i1 = length - 1;
}

// The four pixels around (x, y) in a non-empty image, and the weights of the
// second column and the second row.
struct Corners {
    Pixel p00, p10, p01, p11;
    double fx, fy;
};
[[gnu::always_inline]] inline Corners corners(const Image& image, double x, double y) {
    std::int32_t x0, x1, y0, y1;
    Corners c;
    sampleAxis(x, image.width, x0, x1, c.fx);
    sampleAxis(y, image.height, y0, y1, c.fy);
    const Pixel* row0 = image.pixels.data() + static_cast<std::size_t>(y0) * image.width;
    const Pixel* row1 = image.pixels.data() + static_cast<std::size_t>(y1) * image.width;
    c.p00 = row0[x0], c.p10 = row0[x1], c.p01 = row1[x0], c.p11 = row1[x1];
    return c;
}

// The plain arithmetic of `over` and `sample`, one channel at a time.
inline void overPlain(Pixel& pixel, double r, double g, double b, double a) {
    if (a >= 1.0) {
        pixel = Pixel{saturate(r), saturate(g), saturate(b), 255};
    } else if (a > 0.0) {
        const double k = 1.0 - a;
        pixel = Pixel{saturate(r * a + pixel.r * k), saturate(g * a + pixel.g * k),
                      saturate(b * a + pixel.b * k), saturate(255.0 * a + pixel.a * k)};
    }
}

inline Pixel samplePlain(const Image& image, double x, double y) {
    if (image.empty()) return Pixel{};
    const auto [p00, p10, p01, p11, fx, fy] = corners(image, x, y);
    const double gx = 1.0 - fx, gy = 1.0 - fy;
    auto mix = [&](double c00, double c10, double c01, double c11) {
        return saturate((c00 * gx + c10 * fx) * gy + (c01 * gx + c11 * fx) * fy);
    };
    return Pixel{mix(p00.r, p10.r, p01.r, p11.r), mix(p00.g, p10.g, p01.g, p11.g),
                 mix(p00.b, p10.b, p01.b, p11.b), mix(p00.a, p10.a, p01.a, p11.a)};
}

#if VELMOR_X86_64
// `sample` with all four channels in one AVX register, for processors with AVX2
// (then wideSampling is true; it is false until static initialisation sets it).
extern const bool wideSampling;
Pixel sampleWide(const Image& image, double x, double y);
// sampleMany() the same way, four points' axes at a time.
void sampleManyWide(const Image& image, const double* xs, const double* ys, Pixel* out, int n);

// A pixel's channels as doubles, (r, g) and (b, a).
[[gnu::always_inline]] inline void widen(Pixel p, __m128d& rg, __m128d& ba) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i v = _mm_cvtsi32_si128(std::bit_cast<int>(p));
    // Unpacking with zero twice widens each byte to a 32-bit lane.
    const __m128i w = _mm_unpacklo_epi16(_mm_unpacklo_epi8(v, zero), zero);
    rg = _mm_cvtepi32_pd(w);
    ba = _mm_cvtepi32_pd(_mm_shuffle_epi32(w, _MM_SHUFFLE(3, 2, 3, 2))); // lanes 2, 3 (b, a) to the bottom
}

// `saturate` of two lanes, as two 32-bit integers in the low half. maxpd gives
// its second operand for NaN, so NaN becomes 0 as in the plain rule; then the
// same truncate-and-compare.
[[gnu::always_inline]] inline __m128i saturate2(__m128d v) {
    v = _mm_min_pd(_mm_max_pd(v, _mm_setzero_pd()), _mm_set1_pd(255.0));
    const __m128i whole = _mm_cvttpd_epi32(v);
    const __m128d fraction = _mm_sub_pd(v, _mm_cvtepi32_pd(whole));
    const __m128i up = _mm_castpd_si128(_mm_cmpge_pd(fraction, _mm_set1_pd(0.5)));
    // A true comparison is all ones, -1 as an integer, so subtracting it adds
    // one; the shuffle moves each 64-bit mask's low half (elements 0, 2) to lanes 0, 1.
    return _mm_sub_epi32(whole, _mm_shuffle_epi32(up, _MM_SHUFFLE(3, 3, 2, 0)));
}

// Two saturated lane pairs, (r, g) and (b, a), as one pixel.
[[gnu::always_inline]] inline Pixel narrow(__m128d rg, __m128d ba) {
    const __m128i v = _mm_unpacklo_epi64(saturate2(rg), saturate2(ba));
    // 32-bit lanes to 16 bits, then to bytes: all are within 0..255, so no pack saturates.
    const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(v, v), v);
    return std::bit_cast<Pixel>(_mm_cvtsi128_si32(bytes));
}
#endif
} // namespace detail

// Composites the straight colour (r, g, b) on the 0..255 scale at opacity a over
// a premultiplied pixel, in place. Colour arguments outside 0..255 saturate after
// the blend, not before.
[[gnu::always_inline]] inline void over(Pixel& pixel, double r, double g, double b, double a) {
#if VELMOR_X86_64
    // _mm_set_pd takes the high lane first: (r, g) and (b, a) in memory order.
    if (a >= 1.0) {
        pixel = detail::narrow(_mm_set_pd(g, r), _mm_set_pd(255.0, b));
    } else if (a > 0.0) {
        const __m128d av = _mm_set1_pd(a), kv = _mm_set1_pd(1.0 - a);
        __m128d rg, ba;
        detail::widen(pixel, rg, ba);
        pixel = detail::narrow(_mm_add_pd(_mm_mul_pd(_mm_set_pd(g, r), av), _mm_mul_pd(rg, kv)),
                               _mm_add_pd(_mm_mul_pd(_mm_set_pd(255.0, b), av), _mm_mul_pd(ba, kv)));
    }
#else
    detail::overPlain(pixel, r, g, b, a);
#endif
}

#if VELMOR_X86_64
namespace detail {
// The bilinear blend of four corners in SSE2 lanes, two channels at a time:
// every x86-64 processor has it.
[[gnu::always_inline]] inline Pixel blendNarrow(const Corners& c) {
    const __m128d gx = _mm_set1_pd(1.0 - c.fx), fxv = _mm_set1_pd(c.fx);
    const __m128d gy = _mm_set1_pd(1.0 - c.fy), fyv = _mm_set1_pd(c.fy);
    __m128d rg00, ba00, rg10, ba10, rg01, ba01, rg11, ba11;
    widen(c.p00, rg00, ba00);
    widen(c.p10, rg10, ba10);
    widen(c.p01, rg01, ba01);
    widen(c.p11, rg11, ba11);
    auto mix = [&](__m128d c00, __m128d c10, __m128d c01, __m128d c11) {
        return _mm_add_pd(_mm_mul_pd(_mm_add_pd(_mm_mul_pd(c00, gx), _mm_mul_pd(c10, fxv)), gy),
                          _mm_mul_pd(_mm_add_pd(_mm_mul_pd(c01, gx), _mm_mul_pd(c11, fxv)), fyv));
    };
    return narrow(mix(rg00, rg10, rg01, rg11), mix(ba00, ba10, ba01, ba11));
}

// `sample` in SSE2 lanes.
[[gnu::always_inline]] inline Pixel sampleNarrow(const Image& image, double x, double y) {
    if (image.empty()) return Pixel{};
    return blendNarrow(corners(image, x, y));
}

// sampleMany() with two points' axes at a time in SSE2 lanes, for processors
// without AVX2; the image is not empty.
void sampleManyNarrow(const Image& image, const double* xs, const double* ys, Pixel* out, int n);
} // namespace detail
#endif

// Bilinear read of premultiplied bytes at (x, y) in pixel coordinates, pixel
// (j, i) centred at (j, i). An empty image reads as transparent.
[[gnu::always_inline]] inline Pixel sample(const Image& image, double x, double y) {
#if VELMOR_X86_64
    if (detail::wideSampling) return detail::sampleWide(image, x, y);
    return detail::sampleNarrow(image, x, y);
#else
    return detail::samplePlain(image, x, y);
#endif
}

// sample() at n points (xs[k], ys[k]) into out[k], the same bytes, several at a
// time where the processor allows.
void sampleMany(const Image& image, const double* xs, const double* ys, Pixel* out, int n);

} // namespace velmor
