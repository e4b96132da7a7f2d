// What the rasteriser knows of each hand whatever its angle, built once: the
// outlines, the leaves' spline segments by unit of `along`, the envelopes and
// hulls that let it reject pixels cheaply, and the solid shadow's bytes.
#pragma once

#include <cstdint>
#include <vector>

#include "renderer/hand_bounds.h"
#include "renderer/hand_knots.h"
#include "renderer/hand_shape.h"
#include "renderer/leaf_spline.h"

namespace velmor {

class Renderer;

// Conservative envelopes of a leaf hand's profile, for rejecting pixels without
// evaluating it: per unit of `along`, bounds of the half-width over that unit and
// its neighbours, and a bound of |slope| over the whole hand. Built by dense
// sampling with margins far above what the spline can move between samples.
struct LeafEnvelope {
    // One bin per unit up to the longer leaf's tip, the tip's own included.
    static constexpr int bins = static_cast<int>(hands::bounds[1].length) + 1;
    double widest[bins];
    double narrowest[bins];
    double steepest; // sqrt(maxSlope^2 + 1)
};

// The upper hull of a leaf envelope's widths over `along`, from `reach` behind
// the pivot to `reach` beyond the tip. The hull is concave, so each width the
// envelope gives there lies on or under every edge's line extended: a pixel
// beyond one of those lines (widened by the envelope's reject distance) is one
// the envelope would reject anyway, and a row can skip it without looking.
struct ReachHull {
    static constexpr double reach = 4; // beyond every reject distance of a frame >= 160 px
    static constexpr int lines = 9;
    int edges = 0;
    double slope[lines];
    double offset[lines]; // width = offset + slope · along
};

// A leaf hand's spline segments and, per unit of `along`, the one that holds it.
struct LeafTable {
    LeafSegment segments[knots::count];
    std::uint8_t segmentOf[LeafEnvelope::bins];     // for u strictly inside (b, b + 1)
    std::uint8_t segmentAtUnit[LeafEnvelope::bins]; // for u = b
    double length;
};

// The segment `leaf` uses at `along`, and the u it evaluates there: along itself
// inside the hand, clamped to 0 behind the pivot and to the length from the tip
// on (NaN too). `bin` is along's whole units, as the rasteriser already has them.
inline int segmentFor(const LeafTable& table, double along, int bin, double& u) {
    if (along > 0.0 && along < table.length) {
        u = along;
        return bin == along ? table.segmentAtUnit[bin] : table.segmentOf[bin];
    }
    if (along > 0.0 || along != along) {
        u = table.length;
        return knots::count - 1;
    }
    u = 0.0;
    return 1;
}

// A leaf hand's shadow at full opacity over each possible byte: black, so only
// the old value scaled by 1 - opacity, exactly as `over` computes it.
struct SolidShadow {
    std::uint8_t colour[256];
    std::uint8_t alpha[256];
};

// Per hand index (0 hour, 1 minute, 2 seconds; the leaves only for 0 and 1).
struct HandTables {
    // In the hand frame: a leaf of 97 points, up the left flank from the pivot
    // to the tip and back down the right; the seconds bar's four corners.
    std::vector<Point> outlines[3];
    LeafTable leaves[2];
    LeafEnvelope envelopes[2];
    ReachHull hulls[2];
    SolidShadow solid; // both leaves' shadows have one opacity
};

// Built on the first call from `renderer`'s leaf profiles (the same for every
// renderer), then only read.
const HandTables& handTables(const Renderer& renderer);

} // namespace velmor
