// The seconds bar's outline distance: the smallest distance to its four sides,
// by an even-odd crossing count for inside, as for any closed outline. Batches
// go to the AVX2 kernel (bar_distance_avx2.cpp) where the processor has it,
// else to the SSE2 one (bar_distance_sse2.cpp) on any x86-64.
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
} // namespace

// The long sides first, the short ones only when they could still be nearer,
// minus the work that cannot change the result: off the centre line, the long
// side on the far side of it is never the nearer one (|x| + 1.4 >= |x - 1.4|
// survives rounding, and the two sides' along-terms differ by far less than
// their squared across-terms), and the crossing count of two vertical sides is
// a comparison of x with each.
double barDistance(double x, double y) {
    double best = 1e20;
    if (x < 1e-3) best = segmentDistance2(bar::bottomLeft, bar::topLeft, x, y);
    if (x > -1e-3) {
        const double d2 = segmentDistance2(bar::topRight, bar::bottomRight, x, y);
        if (d2 < best) best = d2;
    }
    const bool inside =
        (bar::topLeft.y > y) != (bar::bottomLeft.y > y) && (x < bar::topRight.x) != (x < bar::topLeft.x);
    for (const auto& [a, b] :
         {std::pair{bar::topLeft, bar::topRight}, std::pair{bar::bottomRight, bar::bottomLeft}}) {
        const double dy = y - a.y;
        if (dy * dy >= best) continue;
        const double d2 = segmentDistance2(a, b, x, y);
        if (d2 < best) best = d2;
    }
    const double d = std::sqrt(best);
    return inside ? -d : d;
}

void barDistances(const double* xs, const double* ys, double* out, int n) {
#if VELMOR_X86_64
    if (hasAvx2()) {
        detail::barDistancesAvx2(xs, ys, out, n);
        return;
    }
    detail::barDistancesSse2(xs, ys, out, n);
#else
    for (int k = 0; k < n; ++k)
        out[k] = barDistance(xs[k], ys[k]);
#endif
}

} // namespace velmor
