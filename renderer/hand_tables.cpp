// The rasteriser's per-hand tables, from the leaf profiles and the hand bounds.
#include "renderer/hand_tables.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "renderer/bar_distance.h"
#include "renderer/image.h"
#include "renderer/renderer.h"

namespace velmor {

namespace {

using hands::bounds;

LeafEnvelope envelope(const Renderer& r, int hand) {
    LeafEnvelope env{};
    const double length = bounds[hand].length;
    double sampledWidest[LeafEnvelope::bins], sampledNarrowest[LeafEnvelope::bins];
    double steepest = 0;
    for (int b = 0; b < LeafEnvelope::bins; ++b) {
        double hi = 0, lo = 1e9;
        for (int k = 0; k <= 40; ++k) {
            const LeafSection s = r.leaf(hand, std::min<double>(b + k / 40.0, length));
            hi = std::max(hi, s.halfWidth);
            lo = std::min(lo, s.halfWidth);
            steepest = std::max(steepest, std::fabs(s.slope));
        }
        sampledWidest[b] = hi;
        sampledNarrowest[b] = lo;
    }
    for (int b = 0; b < LeafEnvelope::bins; ++b) {
        double hi = 0, lo = 1e9;
        for (int n = std::max(0, b - 1); n <= std::min(LeafEnvelope::bins - 1, b + 1); ++n) {
            hi = std::max(hi, sampledWidest[n]);
            lo = std::min(lo, sampledNarrowest[n]);
        }
        env.widest[b] = hi + 0.05;
        env.narrowest[b] = std::max(0.0, lo - 0.05);
    }
    steepest += 0.1;
    env.steepest = std::sqrt(steepest * steepest + 1);
    return env;
}

ReachHull reachHull(const LeafEnvelope& env, int length) {
    struct Vertex {
        double along, width;
    };
    // The envelope as steps: bin b covers along in [b, b + 1); behind the pivot
    // bin 0 holds, from the tip on the last bin.
    std::vector<Vertex> steps{{-ReachHull::reach, env.widest[0]}};
    for (int b = 0; b < length; ++b) {
        steps.push_back({static_cast<double>(b), env.widest[b]});
        steps.push_back({b + 1.0, env.widest[b]});
    }
    steps.push_back({static_cast<double>(length), env.widest[length]});
    steps.push_back({length + ReachHull::reach, env.widest[length]});
    std::vector<Vertex> hull;
    for (const Vertex& v : steps) {
        if (!hull.empty() && hull.back().along == v.along) {
            if (v.width <= hull.back().width) continue;
            hull.pop_back();
        }
        // Drop the last vertex while it lies on or under the line from the one
        // before it to v.
        while (hull.size() >= 2) {
            const Vertex &o = hull[hull.size() - 2], &a = hull.back();
            if ((a.along - o.along) * (v.width - o.width) - (a.width - o.width) * (v.along - o.along) < 0)
                break;
            hull.pop_back();
        }
        hull.push_back(v);
    }
    // Each edge's line lies over the whole hull, so any few of them still bound
    // it; a row tests every line it keeps, so keep those of the edges at a few
    // evenly spaced points along the hand.
    ReachHull result;
    std::size_t last = hull.size();
    for (int t = 0; t < ReachHull::lines; ++t) {
        const double along = -ReachHull::reach + t * (length + 2 * ReachHull::reach) / (ReachHull::lines - 1);
        std::size_t k = 0;
        while (k + 2 < hull.size() && hull[k + 1].along <= along)
            ++k;
        if (k == last) continue;
        last = k;
        const double m = (hull[k + 1].width - hull[k].width) / (hull[k + 1].along - hull[k].along);
        result.slope[result.edges] = m;
        result.offset[result.edges] = hull[k].width - m * hull[k].along;
        ++result.edges;
    }
    return result;
}

std::vector<Point> handOutline(const Renderer& r, int hand) {
    if (hand == 2) return {std::begin(barCorners), std::end(barCorners)};
    const double length = bounds[hand].length;
    std::vector<Point> outline;
    outline.reserve(97);
    for (int i = 0; i <= 48; ++i) {
        const double along = i * length / 48;
        outline.push_back({-r.leaf(hand, along).halfWidth, -along});
    }
    for (int i = 47; i >= 0; --i) {
        const double along = i * length / 48;
        outline.push_back({r.leaf(hand, along).halfWidth, -along});
    }
    return outline;
}

// Every knot of both profiles sits on a whole unit of `along`, so all u strictly
// inside one unit (b, b + 1) fall in the same spline segment.
constexpr bool onWholeUnits(const knots::Knot (&k)[knots::count]) {
    for (const knots::Knot& knot : k)
        if (knot.along != static_cast<double>(static_cast<int>(knot.along))) return false;
    return true;
}
static_assert(onWholeUnits(knots::hour) && onWholeUnits(knots::minute));

LeafTable leafTable(int hand) {
    const knots::Knot* k = hand == 0 ? knots::hour : knots::minute;
    const int n = knots::count;
    LeafTable table{};
    for (int j = 1; j < n; ++j)
        table.segments[j] = leafSegment(k, n, j);
    table.length = k[n - 1].along;
    for (int b = 0; b < LeafEnvelope::bins; ++b) {
        // As `leaf` counts it: one past the inner knots before u, here before every u in (b, b + 1).
        int j = 1;
        for (int i = 1; i < n - 1; ++i)
            j += k[i].along <= b;
        table.segmentOf[b] = static_cast<std::uint8_t>(j);
        j = 1;
        for (int i = 1; i < n - 1; ++i)
            j += k[i].along < b;
        table.segmentAtUnit[b] = static_cast<std::uint8_t>(j);
    }
    return table;
}

static_assert(bounds[0].shadowOpacity == bounds[1].shadowOpacity);

SolidShadow solidShadow(double opacity) {
    SolidShadow solid;
    const double k = 1.0 - opacity;
    for (int v = 0; v < 256; ++v) {
        solid.colour[v] = saturate(0.0 * opacity + v * k);
        solid.alpha[v] = saturate(255.0 * opacity + v * k);
    }
    return solid;
}

HandTables build(const Renderer& r) {
    HandTables t;
    for (int hand = 0; hand < 3; ++hand)
        t.outlines[hand] = handOutline(r, hand);
    for (int hand = 0; hand < 2; ++hand) {
        t.leaves[hand] = leafTable(hand);
        t.envelopes[hand] = envelope(r, hand);
        t.hulls[hand] = reachHull(t.envelopes[hand], static_cast<int>(bounds[hand].length));
    }
    t.solid = solidShadow(bounds[0].shadowOpacity);
    return t;
}

} // namespace

const HandTables& handTables(const Renderer& renderer) {
    static const HandTables tables = build(renderer);
    return tables;
}

} // namespace velmor
