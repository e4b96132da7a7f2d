// What the two resizers' files share: the kernel choice, the Lanczos tap tables
// in flat form, and the kernels of each instruction set, which the drivers in
// resample_lanczos.cpp and resample_fast.cpp pick from. Every kernel of a
// resizer gives the same bytes; they differ only in how much runs side by side.
#pragma once

#include <cstdint>
#include <vector>

#include "renderer/image.h"
#include "renderer/resample.h"
#include "renderer/simd.h"

namespace velmor::resampling {

// The widest kernel set both allowed (detail::limitKernels) and offered by the
// processor: 0 baseline, 1 AVX2, 2 AVX-512.
int kernelSet();
// True when the tests limit the quick resizer to its plain loops.
bool plainOnly();

// A source must hold at least the pixels its width and height promise.
bool usable(const Image& image);

// A transparent size x size image; a negative size is an impossible vector length
// and throws std::length_error from the vector.
Image transparent(std::int32_t size);

// ---- Lanczos-3 ----

// A tap table in three flat arrays: the taps of output i are first[i]..first[i+1].
struct FlatTaps {
    std::vector<std::int32_t> first;
    std::vector<std::int32_t> index;
    std::vector<double> weight;
};

// The horizontal pass for a group of source rows from y0 (rows past the last are
// neither stored nor their sums kept): `rows` is scratch for the group as
// doubles, interleaved per source column; row y0 + r goes to out + r * size * 4,
// each sum rounded to float. The wide kernels store the floats (half the ring's
// memory); the baseline kernels store them widened back to double, which is
// the same value, so their vertical pass reads them without converting each
// entry once for every row tap. The baseline and AVX2 kernels take four rows,
// AVX-512 eight.
template <typename Entry>
using HorizontalInto = void (*)(const Image& source, const FlatTaps& columns, std::int32_t size,
                                std::int32_t y0, double* rows, Entry* out);
// The vertical pass for one output row of `size` pixels: sources[k] is the
// intermediate row of tap k, weights[k] its weight, for k < n. Each channel's
// double sum goes to a byte by one rule: alpha saturates; colour is bounded by
// the unrounded, clamped alpha (so ringing never breaks premultiplication) and
// rounded half away from zero, 0 for NaN.
template <typename Entry>
using VerticalFrom = void (*)(const Entry* const* sources, const double* weights, std::int32_t n,
                              std::int32_t size, Pixel* row);

void horizontalBaseline(const Image& source, const FlatTaps& columns, std::int32_t size, std::int32_t y0,
                        double* rows, double* out);
void verticalBaseline(const double* const* sources, const double* weights, std::int32_t n, std::int32_t size,
                      Pixel* row);
#if VELMOR_X86_64
void horizontalAvx2(const Image& source, const FlatTaps& columns, std::int32_t size, std::int32_t y0,
                    double* rows, float* out);
void verticalAvx2(const float* const* sources, const double* weights, std::int32_t n, std::int32_t size,
                  Pixel* row);
// The source rows y0.. of a group of `group` (at most 8) as doubles, four per
// pixel, the group's rows side by side for each column: pixel x of row y0 + r
// at rows + 4 * (group * x + r). Rows past the last are copies of it; returns
// how many are real.
std::int32_t widenRowsAvx2(const Image& source, std::int32_t y0, std::int32_t group, double* rows);
// The vertical pass over columns offset.. of the intermediate rows into row[0..size).
void verticalAvx2From(const float* const* sources, const double* weights, std::int32_t n, std::int32_t size,
                      Pixel* row, std::int32_t offset);
void horizontalAvx512(const Image& source, const FlatTaps& columns, std::int32_t size, std::int32_t y0,
                      double* rows, float* out);
void verticalAvx512(const float* const* sources, const double* weights, std::int32_t n, std::int32_t size,
                    Pixel* row);
#endif

// ---- 2 x 2 fixed point ----
//
// Each output row first blends its two source rows, every byte b of the top and
// the bottom row to top·u + bottom·t (u + t = 256), then each output pixel takes
// its column's two taps of the blend: (left·wl + right·wr + 32768) >> 16.

// Blends bytes n..end - 1 of the two rows; the plain loop finishes what the
// lanes leave, and the lane kernel returns the first byte it left.
void blendPlain(const std::uint8_t* top, const std::uint8_t* bottom, std::uint32_t u, std::uint32_t t,
                std::uint16_t* blend, std::int32_t n, std::int32_t end);
// Output columns i..end - 1 of one row from the blend; the lane kernels return
// the first column they left. Columns pairBegin..pairEnd - 1 have neighbouring
// taps (right = left + 1).
void columnsPlain(const std::uint16_t* blend, const FastPlan& plan, std::int32_t i, std::int32_t end,
                  Pixel* row);
#if VELMOR_X86_64
std::int32_t blendSse2(const std::uint8_t* top, const std::uint8_t* bottom, std::uint32_t u, std::uint32_t t,
                       std::uint16_t* blend, std::int32_t n, std::int32_t end);
std::int32_t columnsSse2(const std::uint16_t* blend, const FastPlan& plan, std::int32_t i, std::int32_t end,
                         std::int32_t pairBegin, std::int32_t pairEnd, Pixel* row);
std::int32_t columnsAvx2(const std::uint16_t* blend, const FastPlan& plan, std::int32_t i, std::int32_t end,
                         std::int32_t pairBegin, std::int32_t pairEnd, Pixel* row);

// The two taps of a column of the blend, left pixel's channels in the low half.
// Neighbouring taps, as all but a few clamped columns at the edges have, are
// one load.
[[gnu::always_inline]] inline __m128i fastTaps(const std::uint16_t* blend, const FastTap& c, bool paired) {
    return paired
               ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(blend + 4 * c.left))
               : _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(blend + 4 * c.left)),
                                    _mm_loadl_epi64(reinterpret_cast<const __m128i*>(blend + 4 * c.right)));
}
#endif

} // namespace velmor::resampling
