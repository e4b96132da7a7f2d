// Shadow edges four pixels at a time in AVX2 lanes: every lane does the plain
// loop's IEEE operations in its order (no fused multiply-add), gathering its own
// spline segment, so the results are the same doubles.
#include <cstddef>

#include "renderer/shadow_edge.h"
#include "renderer/simd.h"

#if VELMOR_X86_64
namespace velmor::detail {

namespace {

[[gnu::target("avx2")]] inline __m256d mul(__m256d a, __m256d b) {
    return _mm256_mul_pd(a, b);
}
[[gnu::target("avx2")]] inline __m256d add(__m256d a, __m256d b) {
    return _mm256_add_pd(a, b);
}
[[gnu::target("avx2")]] inline __m256d sub(__m256d a, __m256d b) {
    return _mm256_sub_pd(a, b);
}
// Four doubles at base[index[i]]; the masked form, every lane on, starts from zeros.
[[gnu::target("avx2")]] inline __m256d gather(const double* base, __m128i index) {
    return _mm256_mask_i32gather_pd(_mm256_setzero_pd(), base, index,
                                    _mm256_castsi256_pd(_mm256_set1_epi64x(-1)), 8);
}

} // namespace

[[gnu::target("avx2")]] void shadowEdgeAvx2(const LeafSegment* segments, const int* segment, const double* u,
                                            const double* ax, const double* e, double* out, int n) {
    static_assert(sizeof(LeafSegment) == 8 * sizeof(double));
    const __m256d one = _mm256_set1_pd(1.0), two = _mm256_set1_pd(2.0), three = _mm256_set1_pd(3.0);
    const __m256d four = _mm256_set1_pd(4.0), six = _mm256_set1_pd(6.0), zero = _mm256_setzero_pd();
    const double* base = &segments[0].along;
    auto field = [](const LeafSegment& g, const double& member) { return &member - &g.along; };
    const LeafSegment& g0 = segments[0];
    const std::ptrdiff_t length = field(g0, g0.length), hw0 = field(g0, g0.halfWidth0),
                         hw1 = field(g0, g0.halfWidth1);
    const std::ptrdiff_t t0 = field(g0, g0.tangent0), t1 = field(g0, g0.tangent1);
    int k = 0;
    for (; k + 4 <= n; k += 4) {
        // Each lane's segment, as a double index (8 doubles a segment).
        const __m128i index =
            _mm_slli_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(segment + k)), 3);
        const __m256d along = gather(base, index);
        const __m256d h = gather(base + length, index);
        const __m256d a0 = gather(base + hw0, index);
        const __m256d a1 = gather(base + hw1, index);
        const __m256d m0 = gather(base + t0, index);
        const __m256d m1 = gather(base + t1, index);
        // leafSectionAt(): s, its powers, the half-width and the slope.
        const __m256d s = _mm256_div_pd(_mm256_sub_pd(_mm256_loadu_pd(u + k), along), h);
        const __m256d s2 = _mm256_mul_pd(s, s);
        const __m256d s3 = _mm256_mul_pd(s2, s);
        // (2s³ − 3s² + 1)·a0 + (s³ − 2s² + s)·h·m0 + (3s² − 2s³)·a1 + (s³ − s²)·h·m1
        __m256d p = mul(add(sub(mul(two, s3), mul(three, s2)), one), a0);
        p = add(p, mul(mul(add(sub(s3, mul(two, s2)), s), h), m0));
        p = add(p, mul(sub(mul(three, s2), mul(two, s3)), a1));
        p = add(p, mul(mul(sub(s3, s2), h), m1));
        // ((6s² − 6s)·a0 + (3s² − 4s + 1)·h·m0 + (6s − 6s²)·a1 + (3s² − 2s)·h·m1) / h
        __m256d slope = mul(sub(mul(six, s2), mul(six, s)), a0);
        slope = add(slope, mul(mul(add(sub(mul(three, s2), mul(four, s)), one), h), m0));
        slope = add(slope, mul(sub(mul(six, s), mul(six, s2)), a1));
        slope = add(slope, mul(mul(sub(mul(three, s2), mul(two, s)), h), m1));
        slope = _mm256_div_pd(slope, h);
        // The half-width is p where p > 0, else 0 (NaN too).
        const __m256d halfWidth = _mm256_and_pd(p, _mm256_cmp_pd(p, zero, _CMP_GT_OQ));
        const __m256d f = _mm256_div_pd(sub(_mm256_loadu_pd(ax + k), halfWidth),
                                        _mm256_sqrt_pd(add(mul(slope, slope), one)));
        // std::max(e, f): f where e < f, else e.
        const __m256d ev = _mm256_loadu_pd(e + k);
        const __m256d d = _mm256_blendv_pd(ev, f, _mm256_cmp_pd(ev, f, _CMP_LT_OQ));
        _mm256_storeu_pd(out + k, sub(_mm256_set1_pd(0.5), _mm256_div_pd(d, _mm256_set1_pd(7.0))));
    }
    shadowEdgePlain(segments, segment + k, u + k, ax + k, e + k, out + k, n - k);
}

} // namespace velmor::detail
#endif
