// The seconds bar's distance two points at a time in SSE2 lanes, for processors
// without AVX2: each lane does barDistance's operations in their order and keeps
// the side it keeps, so the results are the same doubles, NaN and infinities included.
#include <utility>

#include "renderer/bar_distance.h"
#include "renderer/simd.h"

#if VELMOR_X86_64
namespace velmor::detail {

namespace {

// b where the mask is all ones, a where it is zero: SSE2 has no blendv.
inline __m128d select(__m128d mask, __m128d a, __m128d b) {
    return _mm_or_pd(_mm_and_pd(mask, b), _mm_andnot_pd(mask, a));
}

// segmentDistance2 in two lanes, the same operations in the same order.
inline __m128d segmentDistance2Sse2(const Point& a, const Point& b, __m128d x, __m128d y) {
    const double ex = b.x - a.x, ey = b.y - a.y;
    const __m128d exv = _mm_set1_pd(ex), eyv = _mm_set1_pd(ey);
    const __m128d ax = _mm_set1_pd(a.x), ay = _mm_set1_pd(a.y), one = _mm_set1_pd(1.0);
    __m128d t = _mm_div_pd(_mm_add_pd(_mm_mul_pd(_mm_sub_pd(x, ax), exv), _mm_mul_pd(_mm_sub_pd(y, ay), eyv)),
                           _mm_set1_pd(ey * ey + ex * ex));
    t = select(_mm_cmpge_pd(t, one), t, one);
    t = _mm_andnot_pd(_mm_cmple_pd(t, _mm_setzero_pd()), t); // andnot clears the lanes at or below 0 to +0.0
    const __m128d dx = _mm_sub_pd(x, _mm_add_pd(ax, _mm_mul_pd(t, exv)));
    const __m128d dy = _mm_sub_pd(y, _mm_add_pd(ay, _mm_mul_pd(t, eyv)));
    return _mm_add_pd(_mm_mul_pd(dx, dx), _mm_mul_pd(dy, dy));
}

} // namespace

// barDistance's choices, a side skipped only where both lanes skip it. Where
// one lane measures a side the other would skip, that lane's result stands:
// the left side is kept by a mask, since 1e20 can stay the best (far away,
// NaN); the right side barDistance leaves out never beats the left (see
// there); a short side it skips has d2 >= dy² >= best; a NaN is never taken.
void barDistancesSse2(const double* xs, const double* ys, double* out, int n) {
    int k = 0;
    for (; k + 2 <= n; k += 2) {
        const __m128d x = _mm_loadu_pd(xs + k), y = _mm_loadu_pd(ys + k);
        __m128d best = _mm_set1_pd(1e20);
        const __m128d left = _mm_cmplt_pd(x, _mm_set1_pd(1e-3));
        if (_mm_movemask_pd(left) != 0)
            best = select(left, best, segmentDistance2Sse2(bar::bottomLeft, bar::topLeft, x, y));
        // minpd(d2, best) is d2 where d2 < best, else best: barDistance's `if (d2 < best)`.
        if (_mm_movemask_pd(_mm_cmpgt_pd(x, _mm_set1_pd(-1e-3))) != 0)
            best = _mm_min_pd(segmentDistance2Sse2(bar::topRight, bar::bottomRight, x, y), best);
        for (const auto& [a, b] :
             {std::pair{bar::topLeft, bar::topRight}, std::pair{bar::bottomRight, bar::bottomLeft}}) {
            const __m128d dy = _mm_sub_pd(y, _mm_set1_pd(a.y));
            if (_mm_movemask_pd(_mm_cmpge_pd(_mm_mul_pd(dy, dy), best)) == 3) continue;
            best = _mm_min_pd(segmentDistance2Sse2(a, b, x, y), best);
        }
        // The XOR of two comparison masks is true where exactly one holds.
        const __m128d acrossY = _mm_xor_pd(_mm_cmpgt_pd(_mm_set1_pd(bar::topLeft.y), y),
                                           _mm_cmpgt_pd(_mm_set1_pd(bar::bottomLeft.y), y));
        const __m128d acrossX = _mm_xor_pd(_mm_cmplt_pd(x, _mm_set1_pd(bar::topRight.x)),
                                           _mm_cmplt_pd(x, _mm_set1_pd(bar::topLeft.x)));
        const __m128d inside = _mm_and_pd(acrossY, acrossX);
        const __m128d d = _mm_sqrt_pd(best);
        // -0.0 is the sign bit alone: where inside, XOR flips d's sign.
        _mm_storeu_pd(out + k, _mm_xor_pd(d, _mm_and_pd(inside, _mm_set1_pd(-0.0))));
    }
    for (; k < n; ++k)
        out[k] = barDistance(xs[k], ys[k]);
}

} // namespace velmor::detail
#endif
