// The small types of a hand's shape, in dial units: outline points and the
// leaf profile's knots and sections. Kept apart from the renderer so the
// spline and the bar's distance need not include it.
#pragma once

namespace velmor {

// A point of a hand outline in the hand frame (dial units, tip at negative y).
struct Point {
    double x = 0;
    double y = 0;
};

// One knot of a leaf hand's profile (dial units).
struct LeafKnot {
    double along = 0;
    double halfWidth = 0;
    double shift = 0;
};

// The profile at one distance from the pivot.
struct LeafSection {
    double halfWidth = 0;
    double shift = 0;
    double slope = 0;
};

} // namespace velmor
