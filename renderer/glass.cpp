// The crystal layer: the resized crystal highlight at the reflection strength,
// with the runs of its visible pixels, composited over a frame run by run so the
// transparent bulk of the layer costs nothing per frame.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "renderer/compositing.h"
#include "renderer/renderer.h"

#include "renderer/simd.h"
#include "renderer/visible.h"

namespace velmor {

void Renderer::prepareGlass(double strength) {
    prepareGlass(strength, {});
}

void Renderer::prepareGlass(double strength, const std::vector<Visible>& crystalRows) {
    if (strength == glassStrength) return; // -1.0 (stale) never equals a valid strength

    const std::int32_t width = scaledCrystal.width, height = scaledCrystal.height;
    const std::size_t count =
        scaledCrystal.empty() ? 0 : static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    // The layer reuses its storage; only when that is too small is new storage
    // taken, fresh rather than grown since every pixel is rewritten, and as much
    // as the crystal's own (which keeps room for a growing animated resize).
    // That is the one allocation that may throw before anything changed.
    std::vector<Pixel> room;
    if (glass.pixels.capacity() < count) room.reserve(std::max(count, scaledCrystal.pixels.capacity()));
    // From here on the layer is half built: mark it stale so that an allocation
    // failure while appending runs cannot leave a strength that looks current.
    glassStrength = -1.0;
    faceGlassStrength = -1.0;
    if (room.capacity() != 0) glass.pixels.swap(room);
    glass.pixels.resize(count);
    glass.width = count ? width : 0;
    glass.height = count ? height : 0;
    glassRuns.clear();
    if (count == 0 || scaledCrystal.pixels.size() < count) {
        if (count) std::memset(static_cast<void*>(glass.pixels.data()), 0, count * sizeof(Pixel));
        glassStrength = strength;
        return;
    }

    // Each output byte depends only on its source byte: one rounding per value,
    // not per channel of every pixel.
    std::uint8_t scaled[256];
    for (int v = 0; v < 256; ++v)
        scaled[v] = saturate(v * strength);

    // An all-zero source pixel gives an all-zero glass pixel (every strength
    // keeps 0 at 0), so outside each row's visible stretch the layer is cleared
    // without looking up a byte. Stretches from the caller are used when there
    // is one per row, each within the row.
    bool given = crystalRows.size() == static_cast<std::size_t>(height);
    for (std::size_t y = 0; given && y < crystalRows.size(); ++y)
        given = crystalRows[y].begin >= 0 && crystalRows[y].begin <= crystalRows[y].end &&
                crystalRows[y].end <= width;
    for (std::int32_t y = 0; y < height; ++y) {
        const std::uint64_t rowStart = static_cast<std::uint64_t>(y) * static_cast<std::uint64_t>(width);
        const Pixel* source = scaledCrystal.pixels.data() + rowStart;
        Pixel* target = glass.pixels.data() + rowStart;
        const Visible visible =
            given ? crystalRows[static_cast<std::size_t>(y)] : visibleStretch(source, width);
        // memset, not fill: GCC stores a four-byte struct one at a time.
        std::memset(static_cast<void*>(target), 0, static_cast<std::size_t>(visible.begin) * sizeof(Pixel));
        std::memset(static_cast<void*>(target + visible.end), 0,
                    static_cast<std::size_t>(width - visible.end) * sizeof(Pixel));
        bool open = false;
        std::uint64_t start = 0;
        for (std::int32_t x = visible.begin; x < visible.end; ++x) {
            const Pixel s = source[x];
            const Pixel g{scaled[s.r], scaled[s.g], scaled[s.b], scaled[s.a]};
            target[x] = g;
            const std::uint64_t idx = rowStart + static_cast<std::uint64_t>(x);
            if (g.a != 0 && !open) {
                open = true;
                start = idx;
            } else if (g.a == 0 && open) {
                glassRuns.push_back(GlassRun{start, idx});
                open = false;
            }
        }
        // A run never spans two rows: the row's end closes it.
        if (open) glassRuns.push_back(GlassRun{start, rowStart + static_cast<std::uint64_t>(visible.end)});
    }
    glassStrength = strength;
}

// Premultiplied source-over in integers with the destination term rounded to
// nearest: d = s + (d·(255 − s.a) + 127) / 255, division truncating. For a
// well-formed glass pixel (colour <= alpha) no channel exceeds 255; the clamp
// only keeps a malformed one from wrapping around.
namespace {

// The blend above of source over target for the flat indexes begin..end - 1.
void compositeRun(const Pixel* source, Pixel* target, std::uint64_t begin, std::uint64_t end) {
    std::uint64_t idx = begin;
#if VELMOR_X86_64
    // Four pixels at a time, the same integers: (d·k + 127) / 255 by
    // divideBy255 in 16-bit lanes, the clamp by the saturating pack, and
    // clear glass pixels leave the frame alone as below.
    const __m128i zero = _mm_setzero_si128();
    const __m128i ones = _mm_set1_epi32(255), bias = _mm_set1_epi16(127), one = _mm_set1_epi16(1);
    for (; idx + 4 <= end; idx += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + idx));
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(target + idx));
        const __m128i alpha = _mm_srli_epi32(s, 24); // a pixel's top byte is its alpha
        __m128i k = _mm_sub_epi32(ones, alpha);
        // k < 256 into every byte of its lane: OR in copies shifted by 8, then by 16.
        k = _mm_or_si128(k, _mm_slli_epi32(k, 8));
        k = _mm_or_si128(k, _mm_slli_epi32(k, 16));
        auto half = [&](__m128i sv, __m128i dv, __m128i kv) {
            const __m128i x = _mm_add_epi16(_mm_mullo_epi16(dv, kv), bias);
            // divideBy255(x) = (x + 1 + (x >> 8)) >> 8, no lane past 16 bits.
            const __m128i q = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(x, one), _mm_srli_epi16(x, 8)), 8);
            return _mm_add_epi16(sv, q);
        };
        // Unpacking with zero widens bytes to 16-bit lanes, the low eight and the high eight.
        const __m128i lo =
            half(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi8(k, zero));
        const __m128i hi =
            half(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi8(k, zero));
        const __m128i blended = _mm_packus_epi16(lo, hi);
        // The comparison is all ones where the glass is clear: AND keeps the frame
        // there, AND NOT takes the blend everywhere else.
        const __m128i keep = _mm_cmpeq_epi32(alpha, zero);
        const __m128i out = _mm_or_si128(_mm_and_si128(keep, d), _mm_andnot_si128(keep, blended));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(target + idx), out);
    }
#endif
    for (; idx < end; ++idx) {
        const Pixel s = source[idx];
        if (s.a == 0) continue;
        if (s.a == 255) {
            target[idx] = s;
            continue;
        }
        const unsigned k = 255u - s.a;
        Pixel& d = target[idx];
        auto blend = [k](unsigned sc, unsigned dc) {
            return static_cast<std::uint8_t>(std::min(255u, sc + (dc * k + 127u) / 255u));
        };
        d = Pixel{blend(s.r, d.r), blend(s.g, d.g), blend(s.b, d.b), blend(s.a, d.a)};
    }
}

// Runs index the layer; a frame of another shape would be written out of bounds.
bool fitsLayer(const Image& frame, const Image& layer) {
    return frame.width == layer.width && frame.height == layer.height &&
           frame.pixels.size() >= layer.pixels.size();
}

} // namespace

void Renderer::compositeGlass(Image& frame) const {
    if (!fitsLayer(frame, glass)) return;
    const std::uint64_t limit = glass.pixels.size();
    for (const GlassRun& run : glassRuns)
        compositeRun(glass.pixels.data(), frame.pixels.data(), run.begin, std::min(run.end, limit));
}

void Renderer::compositeGlass(Image& frame, std::uint64_t begin, std::uint64_t end) const {
    if (!fitsLayer(frame, glass)) return;
    end = std::min<std::uint64_t>(end, glass.pixels.size());
    // prepareGlass makes the runs in order and apart: start at the first that
    // ends after begin.
    auto run = std::partition_point(glassRuns.begin(), glassRuns.end(),
                                    [begin](const GlassRun& r) { return r.end <= begin; });
    for (; run != glassRuns.end() && run->begin < end; ++run)
        compositeRun(glass.pixels.data(), frame.pixels.data(), std::max(run->begin, begin),
                     std::min(run->end, end));
}

} // namespace velmor
