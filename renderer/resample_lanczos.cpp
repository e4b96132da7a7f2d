// Lanczos-3 resizing of premultiplied images: the tap tables and the ring of
// intermediate rows; the kernels that fill and read it are in
// resample_lanczos_{baseline,avx2,avx512}.cpp.
//
// The arithmetic is fixed: every channel of every output sample is a double sum
// taken in tap order, the horizontal pass is stored as float, and bytes come
// from the same rounding rules whichever kernel runs. The kernels only choose
// how many independent sums run side by side (four channels of four or eight
// rows, or of four or eight columns); no single sum is ever reordered or fused,
// so the AVX-512, AVX2 and baseline kernels give identical bytes.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <memory>
#include <numbers>

#include "renderer/resample.h"
#include "renderer/resample_kernels.h"

namespace velmor {

namespace {

using resampling::FlatTaps;

FlatTaps flatten(const std::vector<std::vector<Tap>>& table) {
    FlatTaps flat;
    std::size_t total = 0;
    for (const auto& list : table)
        total += list.size();
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
        for (Tap& tap : list)
            tap.weight /= sum;
    }
    return table;
}

namespace {

// Both passes into `result`, output rows in order. Each output row needs the
// intermediate rows of its taps only, so the intermediate lives in a ring of
// rows that stays in cache: source rows are narrowed (a group at a time) just
// before the first output row that reads them, and a slot is reused once no
// later output row reads it. Each source row is still narrowed exactly once.
// The ring holds every row from the lowest an output row reads to the last one
// narrowed by then.
template <typename Entry>
void bothPasses(const Image& source, const FlatTaps& columns, const FlatTaps& rowTaps, std::int32_t size,
                resampling::HorizontalInto<Entry> horizontal, resampling::VerticalFrom<Entry> vertical,
                std::int32_t group, Image& result) {
    std::int32_t capacity = 4, narrowed = 0;
    std::size_t longest = 0;
    for (std::int32_t j = 0; j < size; ++j) {
        const std::int32_t first = rowTaps.first[j], end = rowTaps.first[j + 1];
        if (first == end) continue;
        const auto [lowest, highest] =
            std::minmax_element(rowTaps.index.begin() + first, rowTaps.index.begin() + end);
        while (narrowed <= *highest)
            narrowed += group;
        capacity = std::max(capacity, narrowed - *lowest);
        longest = std::max(longest, static_cast<std::size_t>(end - first));
    }
    capacity = (capacity + group - 1) / group * group; // a group's rows take adjacent slots
    const std::size_t stride = static_cast<std::size_t>(size) * 4;
    // Not zeroed: a slot is always written before it is read.
    const std::unique_ptr<Entry[]> ring(new Entry[static_cast<std::size_t>(capacity) * stride]);
    const std::unique_ptr<double[]> rows(
        new double[4 * static_cast<std::size_t>(group) * static_cast<std::size_t>(source.width)]);
    std::vector<const Entry*> sources(longest);
    narrowed = 0;
    for (std::int32_t j = 0; j < size; ++j) {
        const std::int32_t first = rowTaps.first[j], end = rowTaps.first[j + 1];
        for (std::int32_t k = first; k < end; ++k) {
            const std::int32_t y = rowTaps.index[k];
            for (; narrowed <= y; narrowed += group)
                horizontal(source, columns, size, narrowed, rows.get(),
                           ring.get() + static_cast<std::size_t>(narrowed % capacity) * stride);
            sources[static_cast<std::size_t>(k - first)] =
                ring.get() + static_cast<std::size_t>(y % capacity) * stride;
        }
        vertical(sources.data(), rowTaps.weight.data() + first, end - first, size,
                 result.pixels.data() + static_cast<std::size_t>(j) * size);
    }
}

} // namespace

Image resample(const Image& source, std::int32_t size) {
    if (source.width == size && source.height == size) return source;
    if (!resampling::usable(source) || size <= 0) return resampling::transparent(size);

    const FlatTaps columns = flatten(taps(source.width, size));
    // A square source (the artwork) has the same table on both axes.
    const FlatTaps rowTable = source.height == source.width ? FlatTaps{} : flatten(taps(source.height, size));
    const FlatTaps& rowTaps = source.height == source.width ? columns : rowTable;
    Image result = resampling::transparent(size);
#if VELMOR_X86_64
    const int kernels = resampling::kernelSet();
    if (kernels == 2) {
        bothPasses<float>(source, columns, rowTaps, size, resampling::horizontalAvx512,
                          resampling::verticalAvx512, 8, result);
        return result;
    }
    if (kernels == 1) {
        bothPasses<float>(source, columns, rowTaps, size, resampling::horizontalAvx2,
                          resampling::verticalAvx2, 4, result);
        return result;
    }
#endif
    bothPasses<double>(source, columns, rowTaps, size, resampling::horizontalBaseline,
                       resampling::verticalBaseline, 4, result);
    return result;
}

} // namespace velmor
