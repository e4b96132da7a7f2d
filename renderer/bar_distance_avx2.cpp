// The seconds bar's distance four points at a time in AVX2 lanes, each lane
// with barDistance's operations in its order.
#include "renderer/bar_distance.h"
#include "renderer/simd.h"

#if VELMOR_X86_64
namespace velmor::detail {

namespace {

// segmentDistance2 in four lanes, the same operations in the same order.
[[gnu::target("avx2")]] inline __m256d segmentDistance2Wide(const Point& a, const Point& b, __m256d x,
                                                            __m256d y) {
    const double ex = b.x - a.x, ey = b.y - a.y;
    const __m256d exv = _mm256_set1_pd(ex), eyv = _mm256_set1_pd(ey);
    const __m256d ax = _mm256_set1_pd(a.x), ay = _mm256_set1_pd(a.y), one = _mm256_set1_pd(1.0);
    __m256d t = _mm256_div_pd(
        _mm256_add_pd(_mm256_mul_pd(_mm256_sub_pd(x, ax), exv), _mm256_mul_pd(_mm256_sub_pd(y, ay), eyv)),
        _mm256_set1_pd(ey * ey + ex * ex));
    t = _mm256_blendv_pd(t, one, _mm256_cmp_pd(t, one, _CMP_GE_OQ));
    t = _mm256_blendv_pd(t, _mm256_setzero_pd(), _mm256_cmp_pd(t, _mm256_setzero_pd(), _CMP_LE_OQ));
    const __m256d dx = _mm256_sub_pd(x, _mm256_add_pd(ax, _mm256_mul_pd(t, exv)));
    const __m256d dy = _mm256_sub_pd(y, _mm256_add_pd(ay, _mm256_mul_pd(t, eyv)));
    return _mm256_add_pd(_mm256_mul_pd(dx, dx), _mm256_mul_pd(dy, dy));
}

} // namespace

// Every side measured and the smallest kept: the sides barDistance leaves out
// are exactly those that cannot be smaller, so the minimum is the same.
[[gnu::target("avx2")]] void barDistancesAvx2(const double* xs, const double* ys, double* out, int n) {
    int k = 0;
    for (; k + 4 <= n; k += 4) {
        const __m256d x = _mm256_loadu_pd(xs + k), y = _mm256_loadu_pd(ys + k);
        __m256d best = _mm256_set1_pd(1e20);
        best = _mm256_min_pd(best, segmentDistance2Wide(bar::bottomLeft, bar::topLeft, x, y));
        best = _mm256_min_pd(best, segmentDistance2Wide(bar::topRight, bar::bottomRight, x, y));
        best = _mm256_min_pd(best, segmentDistance2Wide(bar::topLeft, bar::topRight, x, y));
        best = _mm256_min_pd(best, segmentDistance2Wide(bar::bottomRight, bar::bottomLeft, x, y));
        // The XOR of two comparison masks is true where exactly one holds.
        const __m256d acrossY =
            _mm256_xor_pd(_mm256_cmp_pd(_mm256_set1_pd(bar::topLeft.y), y, _CMP_GT_OQ),
                          _mm256_cmp_pd(_mm256_set1_pd(bar::bottomLeft.y), y, _CMP_GT_OQ));
        const __m256d acrossX = _mm256_xor_pd(_mm256_cmp_pd(x, _mm256_set1_pd(bar::topRight.x), _CMP_LT_OQ),
                                              _mm256_cmp_pd(x, _mm256_set1_pd(bar::topLeft.x), _CMP_LT_OQ));
        const __m256d inside = _mm256_and_pd(acrossY, acrossX);
        const __m256d d = _mm256_sqrt_pd(best);
        // -0.0 is the sign bit alone: where inside, XOR flips d's sign.
        _mm256_storeu_pd(out + k, _mm256_xor_pd(d, _mm256_and_pd(inside, _mm256_set1_pd(-0.0))));
    }
    for (; k < n; ++k)
        out[k] = barDistance(xs[k], ys[k]);
}

} // namespace velmor::detail
#endif
