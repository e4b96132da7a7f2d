// The quick resizer: 2 x 2 fixed-point bilinear resizing of premultiplied
// images. Its plan and the walk over the rows live here; the kernels are in
// resample_fast_{plain,sse2,avx2}.cpp and all give the plain loops' integers.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

#include "renderer/resample.h"
#include "renderer/resample_kernels.h"
#include "renderer/visible.h"

namespace velmor {

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

} // namespace

FastPlan planFast(const Image& source, std::int32_t size) {
    FastPlan plan;
    plan.size = size;
    if (size <= 0 || (source.width == size && source.height == size) || !resampling::usable(source))
        return plan;

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
        for (int k = 0; k < 4; ++k)
            w[k] = wl, w[k + 4] = wr;
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
        if (source.width == size && source.height == size && resampling::usable(source))
            out.pixels.assign(source.pixels.begin(),
                              source.pixels.begin() + static_cast<std::ptrdiff_t>(count));
        else
            out.pixels.assign(count, Pixel{});
        return;
    }
    // Every pixel is written below, zeros included, so storage from an earlier
    // frame needs no clearing first.
    out.pixels.resize(count);

    const std::int32_t width = source.width;
    std::uint16_t* blend = plan.blend.data();
#if VELMOR_X86_64
    // SSE2 is part of x86-64; the plain loops finish each row, and do all of
    // it when the tests ask for the baseline kernels.
    const bool lanes = !resampling::plainOnly();
    const bool wide = lanes && resampling::kernelSet() >= 1;
#endif

    // The columns whose right tap is the left one's neighbour: a run in the
    // middle, since only clamping at either edge makes them the same.
    std::int32_t pairBegin = 0, pairEnd = size;
    auto paired = [&](std::int32_t k) {
        const FastTap& c = plan.columns[static_cast<std::size_t>(k)];
        return c.right == c.left + 1;
    };
    while (pairBegin < size && !paired(pairBegin))
        ++pairBegin;
    while (pairEnd > pairBegin && !paired(pairEnd - 1))
        --pairEnd;

    for (std::int32_t j = 0; j < size; ++j) {
        const FastTap r = plan.rows[static_cast<std::size_t>(j)];
        const std::uint32_t t = static_cast<std::uint32_t>(r.rightWeight), u = 256 - t;
        const auto* top = reinterpret_cast<const std::uint8_t*>(source.pixels.data() +
                                                                static_cast<std::size_t>(r.left) * width);
        const auto* bottom = reinterpret_cast<const std::uint8_t*>(source.pixels.data() +
                                                                   static_cast<std::size_t>(r.right) * width);
        Pixel* row = out.pixels.data() + static_cast<std::size_t>(j) * size;
        const std::int32_t lo = std::min(plan.spanBegin[static_cast<std::size_t>(r.left)],
                                         plan.spanBegin[static_cast<std::size_t>(r.right)]);
        const std::int32_t hi = std::max(plan.spanEnd[static_cast<std::size_t>(r.left)],
                                         plan.spanEnd[static_cast<std::size_t>(r.right)]);
        if (lo >= hi) {
            std::memset(static_cast<void*>(row), 0, static_cast<std::size_t>(size) * sizeof(Pixel));
            plan.written[static_cast<std::size_t>(j)] = Visible{size, size};
            continue;
        }

        std::int32_t n = 4 * lo; // bytes of the row blended so far
        const std::int32_t bytes = 4 * hi;
#if VELMOR_X86_64
        if (lanes) n = resampling::blendSse2(top, bottom, u, t, blend, n, bytes);
#endif
        resampling::blendPlain(top, bottom, u, t, blend, n, bytes);
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
        plan.written[static_cast<std::size_t>(j)] =
            i < columnEnd ? Visible{i, columnEnd} : Visible{size, size};
        // memset, not fill: GCC stores a four-byte struct one at a time.
        std::memset(static_cast<void*>(row), 0, static_cast<std::size_t>(i) * sizeof(Pixel));
        std::memset(static_cast<void*>(row + columnEnd), 0,
                    static_cast<std::size_t>(size - columnEnd) * sizeof(Pixel));

#if VELMOR_X86_64
        if (wide) i = resampling::columnsAvx2(blend, plan, i, columnEnd, pairBegin, pairEnd, row);
        if (lanes) i = resampling::columnsSse2(blend, plan, i, columnEnd, pairBegin, pairEnd, row);
#endif
        resampling::columnsPlain(blend, plan, i, columnEnd, row);
    }
}

Image resampleFast(const Image& source, std::int32_t size) {
    if (source.width == size && source.height == size) return source;
    if (!resampling::usable(source) || size <= 0) return resampling::transparent(size);
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

} // namespace velmor
