// The exact signed distance to the seconds hand's bar, negative inside, for one
// point or a batch of points (dial units, in the hand's own frame).
#pragma once

#include "renderer/hand_shape.h"

namespace velmor {

// The seconds bar, corner by corner in outline order: left side up, top, right
// side down, bottom.
inline constexpr Point barCorners[4] = {{-1.4, -390}, {1.4, -390}, {1.4, 65}, {-1.4, 65}};
// The same corners by name.
namespace bar {
inline constexpr const Point &topLeft = barCorners[0], &topRight = barCorners[1],
                             &bottomRight = barCorners[2], &bottomLeft = barCorners[3];
} // namespace bar

// The distance from (x, y) to the bar's outline, negative inside.
double barDistance(double x, double y);

// out[k] = barDistance(xs[k], ys[k]) for k < n, several at a time where the
// processor allows; always the same doubles.
void barDistances(const double* xs, const double* ys, double* out, int n);

namespace detail {
// The same, four points at a time in AVX2 lanes, for processors that have it.
void barDistancesAvx2(const double* xs, const double* ys, double* out, int n);
// Two points at a time in SSE2 lanes, for x86-64 processors without AVX2.
void barDistancesSse2(const double* xs, const double* ys, double* out, int n);
} // namespace detail

} // namespace velmor
