// Shadow edges two pixels at a time in SSE2 lanes, for processors without AVX2:
// every lane does the plain loop's IEEE operations in its order (no fused
// multiply-add), loading its own spline segment, so the results are the same doubles.
#include "renderer/shadow_edge.h"
#include "renderer/simd.h"

#if VELMOR_X86_64
namespace velmor::detail {

namespace {

inline __m128d mul(__m128d a, __m128d b) {
    return _mm_mul_pd(a, b);
}
inline __m128d add(__m128d a, __m128d b) {
    return _mm_add_pd(a, b);
}
inline __m128d sub(__m128d a, __m128d b) {
    return _mm_sub_pd(a, b);
}

} // namespace

void shadowEdgeSse2(const LeafSegment* segments, const int* segment, const double* u, const double* ax,
                    const double* e, double* out, int n) {
    const __m128d one = _mm_set1_pd(1.0), two = _mm_set1_pd(2.0), three = _mm_set1_pd(3.0);
    const __m128d four = _mm_set1_pd(4.0), six = _mm_set1_pd(6.0), zero = _mm_setzero_pd();
    int k = 0;
    for (; k + 2 <= n; k += 2) {
        // Each lane's segment; _mm_set_pd takes the high lane (the second pixel) first.
        const LeafSegment &g0 = segments[segment[k]], &g1 = segments[segment[k + 1]];
        const __m128d along = _mm_set_pd(g1.along, g0.along), h = _mm_set_pd(g1.length, g0.length);
        const __m128d a0 = _mm_set_pd(g1.halfWidth0, g0.halfWidth0);
        const __m128d a1 = _mm_set_pd(g1.halfWidth1, g0.halfWidth1);
        const __m128d m0 = _mm_set_pd(g1.tangent0, g0.tangent0), m1 = _mm_set_pd(g1.tangent1, g0.tangent1);
        // leafSectionAt(): s, its powers, the half-width and the slope.
        const __m128d s = _mm_div_pd(sub(_mm_loadu_pd(u + k), along), h);
        const __m128d s2 = mul(s, s);
        const __m128d s3 = mul(s2, s);
        // (2s³ − 3s² + 1)·a0 + (s³ − 2s² + s)·h·m0 + (3s² − 2s³)·a1 + (s³ − s²)·h·m1
        __m128d p = mul(add(sub(mul(two, s3), mul(three, s2)), one), a0);
        p = add(p, mul(mul(add(sub(s3, mul(two, s2)), s), h), m0));
        p = add(p, mul(sub(mul(three, s2), mul(two, s3)), a1));
        p = add(p, mul(mul(sub(s3, s2), h), m1));
        // ((6s² − 6s)·a0 + (3s² − 4s + 1)·h·m0 + (6s − 6s²)·a1 + (3s² − 2s)·h·m1) / h
        __m128d slope = mul(sub(mul(six, s2), mul(six, s)), a0);
        slope = add(slope, mul(mul(add(sub(mul(three, s2), mul(four, s)), one), h), m0));
        slope = add(slope, mul(sub(mul(six, s), mul(six, s2)), a1));
        slope = add(slope, mul(mul(sub(mul(three, s2), mul(two, s)), h), m1));
        slope = _mm_div_pd(slope, h);
        // The half-width is p where p > 0, else 0 (NaN too).
        const __m128d halfWidth = _mm_and_pd(p, _mm_cmpgt_pd(p, zero));
        const __m128d f =
            _mm_div_pd(sub(_mm_loadu_pd(ax + k), halfWidth), _mm_sqrt_pd(add(mul(slope, slope), one)));
        // std::max(e, f) is f where e < f, else e; maxpd(f, e) is f where f > e, else e (NaN, ties).
        const __m128d d = _mm_max_pd(f, _mm_loadu_pd(e + k));
        _mm_storeu_pd(out + k, sub(_mm_set1_pd(0.5), _mm_div_pd(d, _mm_set1_pd(7.0))));
    }
    shadowEdgePlain(segments, segment + k, u + k, ax + k, e + k, out + k, n - k);
}

} // namespace velmor::detail
#endif
