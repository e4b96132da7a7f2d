// The shape rasteriser: discs and hands composited straight into a frame, with
// edges anti-aliased from a signed distance at each pixel centre (one pixel wide
// for shapes, 7 dial units for shadows). Geometry is in dial units, 1/1000 of
// the frame's width.
#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>
#include <vector>

#include "renderer/bar_distance.h"
#include "renderer/compositing.h"
#include "renderer/hand_bounds.h"
#include "renderer/hand_knots.h"
#include "renderer/leaf_spline.h"
#include "renderer/renderer.h"
#include "renderer/shadow_edge.h"
#include "renderer/simd.h"

namespace velmor {

namespace {

constexpr double pi = 3.141592653589793;

using hands::bounds;
using hands::HandBounds;

// The hour hand stands at 305 degrees and the minute hand at 60 in the reference
// artwork; these are the double-precision cosine and sine of those angles.
constexpr double poseCos[2] = {0.573576436351046, 0.5000000000000001};
constexpr double poseSin[2] = {-0.8191520442889918, 0.8660254037844386};

// A pixel index from a double, kept far inside the int range so a wild
// coordinate cannot overflow the conversion; the callers clip to the image.
int toIndex(double v) {
    if (!(v > -1e9)) return -1000000000; // NaN too
    if (v > 1e9) return 1000000000;
    return static_cast<int>(v);
}

// The straight colour of a premultiplied sample; its alpha is not an opacity.
void unpremultiply(Pixel p, double& r, double& g, double& b) {
    if (p.a == 255) { // c * 255 / 255 is exactly c
        r = p.r, g = p.g, b = p.b;
        return;
    }
    const double d = p.a >= 2 ? p.a : 1;
    r = p.r * 255.0 / d;
    g = p.g * 255.0 / d;
    b = p.b * 255.0 / d;
}

// Conservative envelopes of a leaf hand's profile, for rejecting pixels without
// evaluating it: per unit of `along`, bounds of the half-width over that unit and
// its neighbours, and a bound of |slope| over the whole hand. Built by dense
// sampling with margins far above what the spline can move between samples.
struct LeafEnvelope {
    static constexpr int bins = 347;
    double widest[bins];
    double narrowest[bins];
    double steepest; // sqrt(maxSlope^2 + 1)
};

LeafEnvelope envelope(const Renderer& r, int hand) {
    LeafEnvelope env{};
    const int length = hand == 0 ? 257 : 346;
    double sampledWidest[LeafEnvelope::bins], sampledNarrowest[LeafEnvelope::bins];
    double steepest = 0;
    for (int b = 0; b < LeafEnvelope::bins; ++b) {
        double hi = 0, lo = 1e9;
        for (int k = 0; k <= 40; ++k) {
            const Renderer::LeafSection s = r.leaf(hand, std::min<double>(b + k / 40.0, length));
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
            if ((a.along - o.along) * (v.width - o.width) - (a.width - o.width) * (v.along - o.along) < 0) break;
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
        while (k + 2 < hull.size() && hull[k + 1].along <= along) ++k;
        if (k == last) continue;
        last = k;
        const double m = (hull[k + 1].width - hull[k].width) / (hull[k + 1].along - hull[k].along);
        result.slope[result.edges] = m;
        result.offset[result.edges] = hull[k].width - m * hull[k].along;
        ++result.edges;
    }
    return result;
}

// A hand's outline in its own frame: for the leaf hands 97 points, up the left
// flank from the pivot to the tip and back down the right; the seconds bar's four
// corners.
std::vector<Point> handOutline(const Renderer& r, int hand) {
    if (hand == 2) return {std::begin(barCorners), std::end(barCorners)};
    const double L = bounds[hand].length;
    std::vector<Point> outline;
    outline.reserve(97);
    for (int i = 0; i <= 48; ++i) {
        const double along = i * L / 48;
        outline.push_back({-r.leaf(hand, along).halfWidth, -along});
    }
    for (int i = 47; i >= 0; --i) {
        const double along = i * L / 48;
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

// A leaf hand's spline segments and, per unit of `along`, the one that holds it.
struct LeafTable {
    LeafSegment segments[knots::count];
    std::uint8_t segmentOf[LeafEnvelope::bins];     // for u strictly inside (b, b + 1)
    std::uint8_t segmentAtUnit[LeafEnvelope::bins]; // for u = b
    double length;
};

LeafTable leafTable(int hand) {
    const knots::Knot* k = hand == 0 ? knots::hour : knots::minute;
    const int n = knots::count;
    LeafTable table{};
    for (int j = 1; j < n; ++j) table.segments[j] = leafSegment(k, n, j);
    table.length = k[n - 1].along;
    for (int b = 0; b < LeafEnvelope::bins; ++b) {
        // As `leaf` counts it: one past the inner knots before u, here before every u in (b, b + 1).
        int j = 1;
        for (int i = 1; i < n - 1; ++i) j += k[i].along <= b;
        table.segmentOf[b] = static_cast<std::uint8_t>(j);
        j = 1;
        for (int i = 1; i < n - 1; ++i) j += k[i].along < b;
        table.segmentAtUnit[b] = static_cast<std::uint8_t>(j);
    }
    return table;
}

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

// Where point (q, y) of a hand standing in its reference pose (cosine pc, sine
// ps) lies in the reference artwork, in its pixels: both coordinates in one pair
// of lanes, each with the plain expression's operations in its order.
inline void referencePoint(const Image& reference, double pc, double ps, double q, double y, double& X, double& Y) {
#if VELMOR_X86_64
    // (q·pc − y·ps + 500) · width / 1000 and (q·ps + y·pc + 492) · height / 1000;
    // adding y·(−ps) is subtracting y·ps exactly.
    __m128d v = _mm_add_pd(_mm_mul_pd(_mm_set1_pd(q), _mm_set_pd(ps, pc)), _mm_mul_pd(_mm_set1_pd(y), _mm_set_pd(pc, -ps)));
    v = _mm_add_pd(v, _mm_set_pd(492.0, 500.0));
    v = _mm_mul_pd(v, _mm_set_pd(static_cast<double>(reference.height), static_cast<double>(reference.width)));
    v = _mm_div_pd(v, _mm_set1_pd(1000.0));
    X = _mm_cvtsd_f64(v);
    Y = _mm_cvtsd_f64(_mm_unpackhi_pd(v, v));
#else
    X = (q * pc - y * ps + 500) * reference.width / 1000;
    Y = (q * ps + y * pc + 492) * reference.height / 1000;
#endif
}

// The brass test: red well above green, green well above blue.
inline bool brassy(Pixel p) { return p.r >= 1.06 * p.g && p.g >= 1.1 * p.b; }

// The pixels of a row that need a leaf's spline, gathered for one pass over them.
struct RowBatch {
    static constexpr int capacity = 256;
    int column[capacity];
    int segment[capacity];
    bool covered[capacity];
    double x[capacity], y[capacity], ax[capacity], along[capacity], u[capacity], e[capacity];
    double value[capacity], shift[capacity]; // worked out: coverage or shadow opacity, and shift
    // The reference lookups: where, for which entry, and what they found.
    double lookX[capacity], lookY[capacity];
    int entry[capacity], again[capacity];
    Pixel look[capacity], second[capacity];
};

// Everything one polygon() call works out before its rows: the hand frame at
// this angle, the box of pixels the hand may touch, and for the leaf hands the
// cheap verdicts, none of which ever changes a pixel's result.
struct HandPass {
    int hand = 0;
    bool shadow = false;
    const HandBounds* hb = nullptr;
    double L = 0, B = 0, T = 0;
    double s = 0, c = 0; // sine and cosine of the angle
    double px = 0, py = 0, scale = 0, J = 0;
    int x0 = 0, x1 = -1, y0 = 0, y1 = -1;
    double across = 0, xa = 0, xb = 0;
    bool cosZero = false, sinZero = false;

    // A pixel whose distance is provably at least `gone` is untouched; a shadow
    // pixel provably 3.5 units inside is at full opacity; a hand pixel provably
    // a pixel's half inside is wholly covered. Across the leaf these distances
    // stretch by the envelope's steepest slope. The 1e-4 margins dwarf rounding.
    const LeafEnvelope* env = nullptr;
    double gone = 0, goneAcross = 0, solidAcross = 0, whole = 0, wholeAcross = 0;

    // The hull's lines as bounds on a row's Xr, for +x and -x: Xr·(±c − m·s) <=
    // offset + G ∓ s·Yr − m·c·Yr. Lines nearly parallel to the row bound nothing
    // reliably and are left out; the bounds get a margin far above rounding.
    static constexpr double hullMargin = 1e-4;
    bool hulled = false;
    int lines = 0;
    double lineSlope[2 * ReachHull::lines], lineConstant[2 * ReachHull::lines];
    double lineInverse[2 * ReachHull::lines], lineSign[2 * ReachHull::lines];

    // Pixel centres across, hand-frame ready: the same (j + 0.5) / scale - px
    // every row needs, worked out once per call for frames up to 1200 wide.
    static constexpr int tableWidth = 1200;
    bool tabled = false;
    double columnX[tableWidth];

    void prepare(int width, int height, int handIndex, double angle, bool isShadow, const std::vector<Point>& outline) {
        hand = handIndex;
        shadow = isShadow;
        hb = &bounds[hand];
        L = hb->length, B = hb->bound, T = hb->tail;
        const double theta = angle * pi / 180;
        s = std::sin(theta), c = std::cos(theta);
        px = shadow ? hands::shadowX : hands::pivotX, py = shadow ? hands::shadowY : hands::pivotY;
        scale = width / 1000.0;
        J = hands::bandMargin(shadow, scale);

        double minX = 1e9, minY = 1e9, maxX = -1e9, maxY = -1e9;
        for (const Point& p : outline) {
            const double X = px + p.x * c - p.y * s;
            const double Y = py + p.x * s + p.y * c;
            minX = std::min(minX, X);
            maxX = std::max(maxX, X);
            minY = std::min(minY, Y);
            maxY = std::max(maxY, Y);
        }
        x0 = std::max(0, toIndex(std::floor((minX - J) * scale)));
        x1 = std::min(width - 1, toIndex(std::ceil((maxX + J) * scale)));
        y0 = std::max(0, toIndex(std::floor((minY - J) * scale)));
        y1 = std::min(height - 1, toIndex(std::ceil((maxY + J) * scale)));

        across = B + J;
        xa = (x0 + 0.5) / scale - px, xb = (x1 + 0.5) / scale - px;
        cosZero = std::fabs(c) < 1e-12, sinZero = std::fabs(s) < 1e-12;
        gone = (shadow ? 3.5 : 0.5 / scale) * 1.0001 + 1e-9;
        goneAcross = gone;

        tabled = x1 < tableWidth;
        if (tabled)
            for (int j = x0; j <= x1; ++j) columnX[j] = (j + 0.5) / scale - px;
    }

    void prepareLeaf(const LeafEnvelope& envelope, const ReachHull& hull) {
        env = &envelope;
        goneAcross = gone * env->steepest;
        solidAcross = 3.5 * 1.0001 * env->steepest;
        whole = 0.5 / scale * 1.0001 + 1e-9;
        wholeAcross = whole * env->steepest;
        hulled = gone < ReachHull::reach;
        if (!hulled) return;
        for (int k = 0; k < hull.edges; ++k)
            for (const double sign : {1.0, -1.0}) {
                const double coefficient = sign * c - hull.slope[k] * s;
                if (std::fabs(coefficient) < 1e-3) continue;
                lineSlope[lines] = hull.slope[k];
                lineConstant[lines] = hull.offset[k] + goneAcross;
                lineInverse[lines] = 1 / coefficient;
                lineSign[lines] = sign;
                ++lines;
            }
    }

    // The columns j0..j1 of the row at Yr (hand-frame offset of its centres)
    // that may be touched: inside the hand's band, across then along, and for
    // a leaf within its hull; false when there are none.
    bool stretch(double Yr, int& j0, int& j1) const {
        double a = xa, b = xb;
        if (cosZero) {
            if (!(s * Yr >= -across && s * Yr <= across)) return false;
        } else {
            double lo = (-across - s * Yr) / c, hi = (across - s * Yr) / c;
            if (hi < lo) std::swap(lo, hi);
            a = std::max(a, lo);
            b = std::min(b, hi);
            if (!(a <= b)) return false;
        }
        if (sinZero) {
            if (!(c * Yr >= -L - J && c * Yr <= T + J)) return false;
        } else {
            double lo = (c * Yr + L + J) / s, hi = (c * Yr - T - J) / s;
            if (hi < lo) std::swap(lo, hi);
            a = std::max(a, lo);
            b = std::min(b, hi);
            if (!(a <= b)) return false;
        }
        if (hulled) {
            const double sYr = s * Yr, cYr = c * Yr;
            double lo = a, hi = b;
            for (int k = 0; k < lines; ++k) {
                const double bound = (lineConstant[k] - lineSign[k] * sYr - lineSlope[k] * cYr) * lineInverse[k];
                if (lineInverse[k] > 0) {
                    hi = std::min(hi, bound + hullMargin);
                } else {
                    lo = std::max(lo, bound - hullMargin);
                }
            }
            // Along the hand: -gone < s·Xr − c·Yr < L + gone.
            if (std::fabs(s) >= 1e-3) {
                const double u = (cYr - gone) / s, v = (cYr + L + gone) / s;
                lo = std::max(lo, std::min(u, v) - hullMargin);
                hi = std::min(hi, std::max(u, v) + hullMargin);
            }
            a = lo, b = hi;
            if (!(a <= b)) return false;
        }
        j0 = std::max(x0, toIndex(std::floor((a + px) * scale - 0.5)) - 1);
        j1 = std::min(x1, toIndex(std::ceil((b + px) * scale - 0.5)) + 1);
        return j0 <= j1;
    }

    // The hand-frame point (x, y) of column j's centre in the row at Yr, given
    // s·Yr and c·Yr.
    void point(int j, double sYr, double cYr, double& x, double& y) const {
        const double Xr = tabled ? columnX[j] : (j + 0.5) / scale - px;
        x = c * Xr + sYr;
        y = -s * Xr + cYr;
    }
};

// One row of the seconds bar or its shadow: the pixels near it gathered, their
// exact distances worked out together, then drawn.
void barRow(const HandPass& pass, RowBatch& batch, Pixel* row, double Yr, int j0, int j1) {
    const double sYr = pass.s * Yr, cYr = pass.c * Yr;
    const double opacity = pass.hb->shadowOpacity;
    int pending = 0;
    auto flush = [&] {
        barDistances(batch.x, batch.y, batch.value, pending);
        for (int k = 0; k < pending; ++k) {
            const double d = batch.value[k];
            Pixel& target = row[batch.column[k]];
            if (pass.shadow) {
                const double o = 0.5 - d / 7;
                if (o > 0) over(target, 0, 0, 0, o >= 1 ? opacity : o * opacity);
                continue;
            }
            double coverage = 0.5 - d * pass.scale;
            if (coverage <= 0) continue;
            if (coverage >= 1) coverage = 1;
            const double u = batch.ax[k] / 1.4;
            double r, g, bl;
            if (u <= 0) {
                r = 218, g = 180, bl = 102;
            } else if (u >= 1) {
                r = 125, g = 88, bl = 39;
            } else {
                r = 218 - 93 * u, g = 180 - 92 * u, bl = 102 - 63 * u;
            }
            over(target, r, g, bl, coverage);
        }
        pending = 0;
    };
    for (int j = j0; j <= j1; ++j) {
        double x, y;
        pass.point(j, sYr, cYr, x, y);
        const double ax = std::fabs(x);
        // The exact distance is at least the distance to each side's line.
        if (std::max(ax - 1.4, std::max(y - pass.T, -pass.L - y)) >= pass.gone) continue;
        batch.column[pending] = j;
        batch.x[pending] = x;
        batch.y[pending] = y;
        batch.ax[pending] = ax;
        if (++pending == RowBatch::capacity) flush();
    }
    flush();
}

// The spline pixels of a leaf shadow's batch: their soft edge over the frame.
void flushLeafShadow(const HandPass& pass, const LeafTable& table, RowBatch& batch, int pending, Pixel* row) {
    shadowEdge(table.segments, batch.segment, batch.u, batch.ax, batch.e, batch.value, pending);
    const double opacity = pass.hb->shadowOpacity;
    for (int k = 0; k < pending; ++k) {
        const double o = batch.value[k];
        if (o > 0) over(row[batch.column[k]], 0, 0, 0, o >= 1 ? opacity : o * opacity);
    }
}

// The spline pixels of a leaf hand's batch: coverage and shift, then the colour
// of the same point of the same hand in the reference artwork; off its brass,
// the colour nearer the centre line. All first looks of the batch are taken
// together, then all second ones.
void flushLeafHand(const HandPass& pass, const LeafTable& table, const Image& reference, RowBatch& batch, int pending,
                   Pixel* row) {
    for (int k = 0; k < pending; ++k) {
        const LeafSegment& segment = table.segments[batch.segment[k]];
        if (batch.covered[k]) {
            batch.value[k] = 1;
            batch.shift[k] = leafShiftAt(segment, batch.u[k]);
        } else {
            const Renderer::LeafSection section = leafSectionAt(segment, batch.u[k]);
            const double f = (batch.ax[k] - section.halfWidth) / std::sqrt(section.slope * section.slope + 1);
            batch.value[k] = 0.5 - std::max(batch.e[k], f) * pass.scale;
            batch.shift[k] = section.shift;
        }
    }
    const double pc = poseCos[pass.hand], ps = poseSin[pass.hand];
    int looks = 0;
    for (int k = 0; k < pending; ++k) {
        if (!(batch.value[k] > 0)) continue;
        referencePoint(reference, pc, ps, batch.x[k] + batch.shift[k], -batch.along[k], batch.lookX[looks],
                       batch.lookY[looks]);
        batch.entry[looks++] = k;
    }
    sampleMany(reference, batch.lookX, batch.lookY, batch.look, looks);
    int seconds = 0;
    for (int i = 0; i < looks; ++i) {
        if (brassy(batch.look[i])) continue;
        const int k = batch.entry[i];
        referencePoint(reference, pc, ps, 0.45 * batch.x[k] + batch.shift[k], -batch.along[k], batch.lookX[seconds],
                       batch.lookY[seconds]);
        batch.again[seconds++] = i;
    }
    sampleMany(reference, batch.lookX, batch.lookY, batch.second, seconds);
    for (int n = 0; n < seconds; ++n) batch.look[batch.again[n]] = batch.second[n];
    for (int i = 0; i < looks; ++i) {
        const int k = batch.entry[i];
        const double coverage = batch.value[k] >= 1 ? 1 : batch.value[k];
        const Pixel p = batch.look[i];
        Pixel& target = row[batch.column[k]];
        if (coverage >= 1 && p.a == 255) {
            target = p; // over() at full opacity writes an opaque sample's own bytes
            continue;
        }
        double r, g, bl;
        unpremultiply(p, r, g, bl);
        over(target, r, g, bl, coverage);
    }
}

// One row of a leaf hand or its shadow. Pixels that need the spline are
// gathered first and worked out after the row's walk, in batches: independent
// iterations without branches let the processor overlap the divisions and
// square roots of many pixels instead of waiting on each in turn.
void leafRow(const HandPass& pass, const LeafTable& table, const SolidShadow& solid, const Image& reference,
             RowBatch& batch, Pixel* row, double Yr, int j0, int j1) {
    const double sYr = pass.s * Yr, cYr = pass.c * Yr;
    const LeafEnvelope& env = *pass.env;
    int pending = 0;
    auto flush = [&] {
        if (pass.shadow) {
            flushLeafShadow(pass, table, batch, pending, row);
        } else {
            flushLeafHand(pass, table, reference, batch, pending, row);
        }
        pending = 0;
    };
    for (int j = j0; j <= j1; ++j) {
        double x, y;
        pass.point(j, sYr, cYr, x, y);
        const double ax = std::fabs(x);
        // Beyond the tip or behind the pivot. d is at least e, so a pixel that
        // e alone leaves untouched needs no leaf.
        const double e = std::max(-pass.L - y, y);
        if (e >= pass.gone) continue;
        const double along = -y;
        // Its whole units, 0 behind the pivot and L from the tip on.
        const int bin = static_cast<int>(std::min(std::max(along, 0.0), pass.L));
        if (ax - env.widest[bin] >= pass.goneAcross) continue;
        if (pass.shadow && e <= -3.5 * 1.0001 && env.narrowest[bin] - ax >= pass.solidAcross) {
            Pixel& p = row[j];
            p = Pixel{solid.colour[p.r], solid.colour[p.g], solid.colour[p.b], solid.alpha[p.a]};
            continue;
        }
        batch.column[pending] = j;
        batch.x[pending] = x;
        batch.ax[pending] = ax;
        batch.along[pending] = along;
        batch.e[pending] = e;
        batch.segment[pending] = segmentFor(table, along, bin, batch.u[pending]);
        batch.covered[pending] = !pass.shadow && e <= -pass.whole && env.narrowest[bin] - ax >= pass.wholeAcross;
        if (++pending == RowBatch::capacity) flush();
    }
    flush();
}

} // namespace

void Renderer::circle(Image& image, double cx, double cy, double radius, bool textured) const {
    if (image.empty() || image.pixels.size() < static_cast<std::size_t>(image.width) * image.height) return;
    if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(radius)) return;
    const double scale = image.width / 1000.0;
    const int x0 = std::max(0, toIndex((cx - radius - 2) * scale));
    const int x1 = std::min(image.width - 1, toIndex((cx + radius + 2) * scale));
    const int y0 = std::max(0, toIndex((cy - radius - 2) * scale));
    const int y1 = std::min(image.height - 1, toIndex((cy + radius + 2) * scale));
    if (y1 < y0 || x1 < x0) return;

    const double refWidth = referenceImage.width, refHeight = referenceImage.height;
    // Squared distances from the centre that are surely inside the one-pixel edge
    // (coverage at least 1) or surely beyond it (coverage at most 0), with margins
    // that dwarf rounding; only the ring between needs the exact hypot.
    const double inner = radius - 0.5 / scale - 1e-6, outer = radius + 0.5 / scale + 1e-6;
    const double inner2 = inner > 0 ? inner * inner : -1.0, outer2 = outer * outer;

    // Per column, what every row needs: dx, and for the texture its column in the
    // reference artwork (the same offset from the reference's pivot).
    constexpr int tableWidth = 1200;
    double columnX[tableWidth], referenceX[tableWidth];
    const bool tabled = x1 < tableWidth;
    if (tabled)
        for (int j = x0; j <= x1; ++j) {
            columnX[j] = (j + 0.5) / scale - cx;
            referenceX[j] = columnX[j] * refWidth / 1000 + refWidth * 0.5;
        }

    // A textured row's samples are taken together once the row is walked.
    constexpr int capacity = 256;
    double lookX[capacity], lookY[capacity], lookCoverage[capacity];
    int lookColumn[capacity];
    Pixel look[capacity];
    int looks = 0;
    Pixel* row = nullptr;
    auto flush = [&] {
        sampleMany(referenceImage, lookX, lookY, look, looks);
        for (int k = 0; k < looks; ++k) {
            const Pixel p = look[k];
            Pixel& target = row[lookColumn[k]];
            if (lookCoverage[k] >= 1 && p.a == 255) {
                target = p; // over() at full opacity writes an opaque sample's own bytes
                continue;
            }
            double r, g, b;
            unpremultiply(p, r, g, b);
            over(target, r, g, b, lookCoverage[k]);
        }
        looks = 0;
    };

    for (int i = y0; i <= y1; ++i) {
        const double dy = (i + 0.5) / scale - cy;
        const double referenceY = refHeight * 0.492 + refHeight * dy / 1000;
        row = image.pixels.data() + static_cast<std::size_t>(i) * image.width;
        // Only the columns within `outer` of the centre can be drawn; a pixel
        // either side of them as slack.
        const double reach = std::sqrt(std::max(0.0, outer2 - dy * dy));
        const int j0 = std::max(x0, toIndex(std::floor((cx - reach) * scale - 0.5)) - 1);
        const int j1 = std::min(x1, toIndex(std::ceil((cx + reach) * scale - 0.5)) + 1);
        for (int j = j0; j <= j1; ++j) {
            const double dx = tabled ? columnX[j] : (j + 0.5) / scale - cx;
            const double d2 = dx * dx + dy * dy;
            if (d2 > outer2) continue;
            double coverage = 1;
            if (!(d2 < inner2)) {
                coverage = (radius - std::hypot(dx, dy)) * scale + 0.5;
                if (coverage <= 0) continue;
                if (coverage >= 1) coverage = 1;
            }
            if (textured) {
                lookX[looks] = tabled ? referenceX[j] : dx * refWidth / 1000 + refWidth * 0.5;
                lookY[looks] = referenceY;
                lookCoverage[looks] = coverage;
                lookColumn[looks] = j;
                if (++looks == capacity) flush();
                continue;
            }
            // Light towards the upper left, dark towards the lower right.
            const double t = 0.5 - (dx + dy) / (4 * radius);
            double r, g, b;
            if (t >= 1) {
                r = 240, g = 205, b = 143;
            } else if (t <= 0) {
                r = 105, g = 65, b = 23;
            } else {
                r = 105 + 135 * t, g = 65 + 140 * t, b = 23 + 120 * t;
            }
            over(row[j], r, g, b, coverage);
        }
        flush();
    }
}

void Renderer::polygon(Image& image, std::int32_t hand, double angle, bool shadow) const {
    if (hand < 0 || hand > 2) return;
    if (image.empty() || image.pixels.size() < static_cast<std::size_t>(image.width) * image.height) return;
    if (!std::isfinite(angle)) return;

    // What does not depend on the angle is built once and kept: the outlines in
    // the hand frame (a leaf of 97 points, or the seconds bar), the leaves'
    // spline tables, envelopes and hulls.
    static const std::vector<Point> outlines[3] = {handOutline(*this, 0), handOutline(*this, 1), handOutline(*this, 2)};
    static const LeafTable leafTables[2] = {leafTable(0), leafTable(1)};
    static const LeafEnvelope envelopes[2] = {envelope(*this, 0), envelope(*this, 1)};
    static const ReachHull hulls[2] = {reachHull(envelopes[0], 257), reachHull(envelopes[1], 346)};
    static const SolidShadow solid = solidShadow(bounds[0].shadowOpacity);

    HandPass pass;
    pass.prepare(image.width, image.height, hand, angle, shadow, outlines[hand]);
    if (hand != 2) pass.prepareLeaf(envelopes[hand], hulls[hand]);
    RowBatch batch;
    for (int i = pass.y0; i <= pass.y1; ++i) {
        const double Yr = (i + 0.5) / pass.scale - pass.py;
        int j0, j1;
        if (!pass.stretch(Yr, j0, j1)) continue;
        Pixel* row = image.pixels.data() + static_cast<std::size_t>(i) * image.width;
        if (hand == 2) {
            barRow(pass, batch, row, Yr, j0, j1);
        } else {
            leafRow(pass, leafTables[hand], solid, referenceImage, batch, row, Yr, j0, j1);
        }
    }
}

} // namespace velmor
