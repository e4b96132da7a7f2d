// The two resizers: a separable Lanczos-3 filter for settled frames and a 2 x 2
// fixed-point bilinear filter for the steps of an animated resize. Both work on
// premultiplied values, so transparent pixels add no colour.
#pragma once

#include <cstdint>
#include <vector>

#include "renderer/image.h"
#include "renderer/visible.h"

namespace velmor {

// One weighted source sample of one output sample.
struct Tap {
    std::int32_t index = 0; // source column or row, within 0..length - 1
    double weight = 0;      // the weights of one output sample sum to 1
};

// The Lanczos-3 taps for resizing one axis from srcLength to dstLength samples:
// one list per output sample, in output order, each in ascending order of the
// unclamped source position (edge indexes repeat and are not merged). A source
// length of 0 or less gives dstLength empty lists.
std::vector<std::vector<Tap>> taps(std::int32_t srcLength, std::int32_t dstLength);

// High-quality resize to size x size. Sums run in double precision in tap order,
// the horizontal pass is stored as float; ringing is clamped so no colour byte
// exceeds its alpha byte. An empty source gives a transparent image.
Image resample(const Image& source, std::int32_t size);

// Quick resize to size x size: 2 x 2 bilinear with 8-bit weights, halves up.
// An empty source gives a transparent image.
Image resampleFast(const Image& source, std::int32_t size);

// The same pixels written into `out`, reusing its storage when it has room, so
// the steps of an animated resize do not allocate and clear a new image each.
// A size below 1 gives an empty image. If it throws, `out` is unchanged.
void resampleFastInto(const Image& source, std::int32_t size, Image& out);

// One output sample of the quick resizer: its two source neighbours, clamped,
// and the 8-bit weight (0..256) of the second.
struct FastTap {
    std::int32_t left = 0;
    std::int32_t right = 0;
    std::int32_t rightWeight = 0;
};

// The quick resizer in two steps: planFast makes every allocation a resize
// needs (and may throw); runFast only writes, and allocates nothing when `out`
// has room for size x size pixels. A caller rebuilding several images can so
// allocate for all of them before it changes any.
struct FastPlan {
    std::int32_t size = 0;
    std::vector<FastTap> columns;                 // per output column; empty for a copy or a clear result
    std::vector<FastTap> rows;                    // per output row
    std::vector<std::int32_t> spanBegin, spanEnd; // per source row: its visible pixels
    std::vector<std::int16_t> weights;            // per output column, eight 16-bit lanes
    std::vector<std::uint16_t> blend;             // one blended pair of source rows
    // Per output row, as runFast leaves it: the stretch outside which the row
    // is all zero (not always tight), so later work can skip the rest.
    std::vector<Visible> written;
};
FastPlan planFast(const Image& source, std::int32_t size);
void runFast(const Image& source, FastPlan& plan, Image& out);

namespace detail {
// Test hooks, so tests can prove every path equal: limitKernels caps the kernels
// the resizers may use at 0 (baseline: SSE2 or plain), 1 (AVX2) or 2 (AVX-512,
// the default); they still use only what the CPU offers. useBaselineKernels(b)
// is limitKernels(b ? 0 : 2).
void limitKernels(int widest);
void useBaselineKernels(bool baseline);
} // namespace detail

} // namespace velmor
