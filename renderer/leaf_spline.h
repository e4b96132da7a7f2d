// One segment of a leaf hand's profile spline, with the constants that depend
// only on the segment worked out once, and its evaluation. `leaf` and the
// rasteriser's per-pixel lookups share it, so both give the same bits.
#pragma once

#include "renderer/hand_shape.h"

namespace velmor {

struct LeafSegment {
    double along = 0;      // the segment's first knot
    double length = 0;     // to its last knot
    double halfWidth0 = 0; // half-widths at its two knots
    double halfWidth1 = 0;
    double tangent0 = 0; // finite-difference tangents over the neighbouring knots
    double tangent1 = 0;
    double shift = 0; // centre-line shift at its first knot
    double rise = 0;  // and how much it changes to the last
};

// Segment j (1..n-1) of n knots: from knot j-1 to knot j.
template <class Knot> LeafSegment leafSegment(const Knot* k, int n, int j) {
    const Knot& a = k[j - 1];
    const Knot& b = k[j];
    const double h = b.along - a.along;
    LeafSegment g;
    g.along = a.along;
    g.length = h;
    g.halfWidth0 = a.halfWidth;
    g.halfWidth1 = b.halfWidth;
    g.tangent0 = j >= 2 ? (b.halfWidth - k[j - 2].halfWidth) / (b.along - k[j - 2].along)
                        : (b.halfWidth - a.halfWidth) / h;
    g.tangent1 = j + 1 < n ? (k[j + 1].halfWidth - a.halfWidth) / (k[j + 1].along - a.along)
                           : (b.halfWidth - a.halfWidth) / h;
    g.shift = a.shift;
    g.rise = b.shift - a.shift;
    return g;
}

// Where u (within the segment) falls, 0 at the first knot and 1 at the last.
inline double leafFraction(const LeafSegment& g, double u) {
    return (u - g.along) / g.length;
}

// The centre-line shift alone.
inline double leafShiftAt(const LeafSegment& g, double u) {
    return g.shift + leafFraction(g, u) * g.rise;
}

// The cubic Hermite section at u.
inline LeafSection leafSectionAt(const LeafSegment& g, double u) {
    const double h = g.length, m0 = g.tangent0, m1 = g.tangent1;
    const double s = leafFraction(g, u);
    const double s2 = s * s;
    const double s3 = s2 * s;
    const double p = (2 * s3 - 3 * s2 + 1) * g.halfWidth0 + (s3 - 2 * s2 + s) * h * m0 +
                     (3 * s2 - 2 * s3) * g.halfWidth1 + (s3 - s2) * h * m1;
    const double slope = ((6 * s2 - 6 * s) * g.halfWidth0 + (3 * s2 - 4 * s + 1) * h * m0 +
                          (6 * s - 6 * s2) * g.halfWidth1 + (3 * s2 - 2 * s) * h * m1) /
                         h;
    return LeafSection{p > 0 ? p : 0.0, g.shift + s * g.rise, slope};
}

} // namespace velmor
