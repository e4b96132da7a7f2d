// The seconds bar's outline distance: the smallest distance to its four sides,
// by an even-odd crossing count for inside, as for any closed outline.
#include "renderer/bar_distance.h"

#include <cmath>
#include <utility>

#include "renderer/simd.h"

namespace velmor {

namespace {
// The squared distance from (x, y) to the segment from a to b.
inline double segmentDistance2(const Point& a, const Point& b, double x, double y) {
    const double ex = b.x - a.x, ey = b.y - a.y;
    double t = ((x - a.x) * ex + (y - a.y) * ey) / (ey * ey + ex * ex);
    if (t >= 1) t = 1;
    if (t <= 0) t = 0;
    const double dx = x - (a.x + t * ex), dy = y - (a.y + t * ey);
    return dx * dx + dy * dy;
}

const Point &topLeft = barCorners[0], &topRight = barCorners[1], &bottomRight = barCorners[2],
            &bottomLeft = barCorners[3];
} // namespace

// The long sides first, the short ones only when they could still be nearer,
// minus the work that cannot change the result: off the centre line, the long
// side on the far side of it is never the nearer one (|x| + 1.4 >= |x - 1.4|
// survives rounding, and the two sides' along-terms differ by far less than
// their squared across-terms), and the crossing count of two vertical sides is
// a comparison of x with each.
double barDistance(double x, double y) {
    double best = 1e20;
    if (x < 1e-3) best = segmentDistance2(bottomLeft, topLeft, x, y);
    if (x > -1e-3) {
        const double d2 = segmentDistance2(topRight, bottomRight, x, y);
        if (d2 < best) best = d2;
    }
    const bool inside = (topLeft.y > y) != (bottomLeft.y > y) && (x < topRight.x) != (x < topLeft.x);
    for (const auto& [a, b] : {std::pair{topLeft, topRight}, std::pair{bottomRight, bottomLeft}}) {
        const double dy = y - a.y;
        if (dy * dy >= best) continue;
        const double d2 = segmentDistance2(a, b, x, y);
        if (d2 < best) best = d2;
    }
    const double d = std::sqrt(best);
    return inside ? -d : d;
}

#if VELMOR_X86_64
namespace {

// segmentDistance2 in four lanes, the same operations in the same order.
[[gnu::target("avx2")]] inline __m256d segmentDistance2Wide(const Point& a, const Point& b, __m256d x, __m256d y) {
    const double ex = b.x - a.x, ey = b.y - a.y;
    const __m256d exv = _mm256_set1_pd(ex), eyv = _mm256_set1_pd(ey);
    const __m256d ax = _mm256_set1_pd(a.x), ay = _mm256_set1_pd(a.y), one = _mm256_set1_pd(1.0);
    __m256d t = _mm256_div_pd(_mm256_add_pd(_mm256_mul_pd(_mm256_sub_pd(x, ax), exv), _mm256_mul_pd(_mm256_sub_pd(y, ay), eyv)),
                              _mm256_set1_pd(ey * ey + ex * ex));
    t = _mm256_blendv_pd(t, one, _mm256_cmp_pd(t, one, _CMP_GE_OQ));
    t = _mm256_blendv_pd(t, _mm256_setzero_pd(), _mm256_cmp_pd(t, _mm256_setzero_pd(), _CMP_LE_OQ));
    const __m256d dx = _mm256_sub_pd(x, _mm256_add_pd(ax, _mm256_mul_pd(t, exv)));
    const __m256d dy = _mm256_sub_pd(y, _mm256_add_pd(ay, _mm256_mul_pd(t, eyv)));
    return _mm256_add_pd(_mm256_mul_pd(dx, dx), _mm256_mul_pd(dy, dy));
}

// Every side measured and the smallest kept: the sides barDistance leaves out
// are exactly those that cannot be smaller, so the minimum is the same.
[[gnu::target("avx2")]] void barDistancesWide(const double* xs, const double* ys, double* out, int n) {
    int k = 0;
    for (; k + 4 <= n; k += 4) {
        const __m256d x = _mm256_loadu_pd(xs + k), y = _mm256_loadu_pd(ys + k);
        __m256d best = _mm256_set1_pd(1e20);
        best = _mm256_min_pd(best, segmentDistance2Wide(bottomLeft, topLeft, x, y));
        best = _mm256_min_pd(best, segmentDistance2Wide(topRight, bottomRight, x, y));
        best = _mm256_min_pd(best, segmentDistance2Wide(topLeft, topRight, x, y));
        best = _mm256_min_pd(best, segmentDistance2Wide(bottomRight, bottomLeft, x, y));
        const __m256d acrossY = _mm256_xor_pd(_mm256_cmp_pd(_mm256_set1_pd(topLeft.y), y, _CMP_GT_OQ),
                                              _mm256_cmp_pd(_mm256_set1_pd(bottomLeft.y), y, _CMP_GT_OQ));
        const __m256d acrossX = _mm256_xor_pd(_mm256_cmp_pd(x, _mm256_set1_pd(topRight.x), _CMP_LT_OQ),
                                              _mm256_cmp_pd(x, _mm256_set1_pd(topLeft.x), _CMP_LT_OQ));
        const __m256d inside = _mm256_and_pd(acrossY, acrossX);
        const __m256d d = _mm256_sqrt_pd(best);
        _mm256_storeu_pd(out + k, _mm256_xor_pd(d, _mm256_and_pd(inside, _mm256_set1_pd(-0.0))));
    }
    for (; k < n; ++k) out[k] = barDistance(xs[k], ys[k]);
}
} // namespace
#endif

void barDistances(const double* xs, const double* ys, double* out, int n) {
#if VELMOR_X86_64
    if (hasAvx2()) {
        barDistancesWide(xs, ys, out, n);
        return;
    }
#endif
    for (int k = 0; k < n; ++k) out[k] = barDistance(xs[k], ys[k]);
}

} // namespace velmor
