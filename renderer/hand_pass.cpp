// The hands and their shadows, composited straight into a frame, with edges
// anti-aliased from a signed distance at each pixel centre (one pixel wide for
// the hands, 7 dial units for shadows). One polygon() call sets up a HandPass
// for its angle, then walks the rows the hand may touch: the seconds bar's rows
// and the leaves' rows, each gathering the pixels that need real work into
// batches worked out together.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

#include "renderer/bar_distance.h"
#include "renderer/compositing.h"
#include "renderer/hand_bounds.h"
#include "renderer/hand_tables.h"
#include "renderer/leaf_spline.h"
#include "renderer/raster.h"
#include "renderer/reach.h"
#include "renderer/renderer.h"
#include "renderer/shadow_edge.h"
#include "renderer/simd.h"

namespace velmor {

namespace {

using hands::HandBounds;
using raster::toIndex;

// The hour hand stands at 305 degrees and the minute hand at 60 in the reference
// artwork; these are the double-precision cosine and sine of those angles.
constexpr double poseCos[2] = {0.573576436351046, 0.5000000000000001};
constexpr double poseSin[2] = {-0.8191520442889918, 0.8660254037844386};

// Where point (q, y) of a hand standing in its reference pose (cosine pc, sine
// ps) lies in the reference artwork, in its pixels: both coordinates in one pair
// of lanes, each with the plain expression's operations in its order.
inline void referencePoint(const Image& reference, double pc, double ps, double q, double y, double& X,
                           double& Y) {
#if VELMOR_X86_64
    // (q·pc − y·ps + pivotX) · width / 1000 and (q·ps + y·pc + pivotY) · height / 1000;
    // adding y·(−ps) is subtracting y·ps exactly.
    __m128d v = _mm_add_pd(_mm_mul_pd(_mm_set1_pd(q), _mm_set_pd(ps, pc)),
                           _mm_mul_pd(_mm_set1_pd(y), _mm_set_pd(pc, -ps)));
    v = _mm_add_pd(v, _mm_set_pd(hands::pivotY, hands::pivotX));
    v = _mm_mul_pd(v,
                   _mm_set_pd(static_cast<double>(reference.height), static_cast<double>(reference.width)));
    v = _mm_div_pd(v, _mm_set1_pd(1000.0));
    X = _mm_cvtsd_f64(v);
    Y = _mm_cvtsd_f64(_mm_unpackhi_pd(v, v));
#else
    X = (q * pc - y * ps + hands::pivotX) * reference.width / 1000;
    Y = (q * ps + y * pc + hands::pivotY) * reference.height / 1000;
#endif
}

// The brass test: red well above green, green well above blue.
inline bool brassy(Pixel p) {
    return p.r >= 1.06 * p.g && p.g >= 1.1 * p.b;
}

// How a pass treats a row when the hands go down in two stages (see
// drawHandsOverShadows): a hand's first stage writes only the pixels it
// overwrites whatever lies under them and marks them in `cover`, keeping its
// other pixels' looks in `later`; a shadow leaves marked pixels alone.
struct Stage {
    std::uint8_t* cover = nullptr; // the row's marks
    std::uint8_t mark = 0;         // this hand's mark; 0 for a shadow
    std::int32_t rowStart = 0;     // the row's first flat index
    RowReach* marked = nullptr;    // the row's marked columns
    std::vector<Renderer::LaterLook>* later = nullptr;
};

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
    const HandBounds* handBounds = nullptr;
    double length = 0, bound = 0, tail = 0; // the hand's, from handBounds
    double sine = 0, cosine = 0;            // of the angle
    double pivotX = 0, pivotY = 0;          // the hand's or the shadow's
    double scale = 0;                       // pixels per dial unit
    double margin = 0;                      // kept around the band (hands::bandMargin)
    // The box of pixels the hand may touch.
    int firstColumn = 0, lastColumn = -1, firstRow = 0, lastRow = -1;
    // The band's half-width, and the hand-frame offsets of the box's first and
    // last column centres.
    double across = 0, firstX = 0, lastX = 0;
    bool cosZero = false, sinZero = false;

    // A pixel whose distance is provably at least `gone` is untouched; a shadow
    // pixel provably 3.5 units inside is at full opacity; a hand pixel provably
    // a pixel's half inside is wholly covered. Across the leaf these distances
    // stretch by the envelope's steepest slope. The 1e-4 margins dwarf rounding.
    const LeafEnvelope* env = nullptr;
    double gone = 0, goneAcross = 0, solidAcross = 0, whole = 0, wholeAcross = 0;

    // The hull's lines as bounds on a row's Xr, for +x and -x: Xr·(±c − m·s) <=
    // offset + G ∓ s·Yr − m·c·Yr (c, s the cosine and sine). Lines nearly parallel
    // to the row bound nothing reliably and are left out; the bounds get a margin
    // far above rounding.
    static constexpr double hullMargin = 1e-4;
    bool hulled = false;
    int lines = 0;
    double lineSlope[2 * ReachHull::lines], lineConstant[2 * ReachHull::lines];
    double lineInverse[2 * ReachHull::lines], lineSign[2 * ReachHull::lines];

    // Pixel centres across, hand-frame ready: the same (j + 0.5) / scale - pivotX
    // every row needs, worked out once per call for frames up to the largest.
    bool tabled = false;
    double columnX[largestFrame];

    void prepare(int width, int height, int handIndex, double angle, bool isShadow,
                 const std::vector<Point>& outline) {
        hand = handIndex;
        shadow = isShadow;
        handBounds = &hands::bounds[hand];
        length = handBounds->length, bound = handBounds->bound, tail = handBounds->tail;
        const double theta = angle * std::numbers::pi / 180;
        sine = std::sin(theta), cosine = std::cos(theta);
        pivotX = shadow ? hands::shadowX : hands::pivotX, pivotY = shadow ? hands::shadowY : hands::pivotY;
        scale = width / 1000.0;
        margin = hands::bandMargin(shadow, scale);

        double minX = 1e9, minY = 1e9, maxX = -1e9, maxY = -1e9;
        for (const Point& p : outline) {
            const double X = pivotX + p.x * cosine - p.y * sine;
            const double Y = pivotY + p.x * sine + p.y * cosine;
            minX = std::min(minX, X);
            maxX = std::max(maxX, X);
            minY = std::min(minY, Y);
            maxY = std::max(maxY, Y);
        }
        firstColumn = std::max(0, toIndex(std::floor((minX - margin) * scale)));
        lastColumn = std::min(width - 1, toIndex(std::ceil((maxX + margin) * scale)));
        firstRow = std::max(0, toIndex(std::floor((minY - margin) * scale)));
        lastRow = std::min(height - 1, toIndex(std::ceil((maxY + margin) * scale)));

        across = bound + margin;
        firstX = (firstColumn + 0.5) / scale - pivotX, lastX = (lastColumn + 0.5) / scale - pivotX;
        cosZero = std::fabs(cosine) < 1e-12, sinZero = std::fabs(sine) < 1e-12;
        gone = (shadow ? 3.5 : 0.5 / scale) * 1.0001 + 1e-9;
        goneAcross = gone;

        tabled = lastColumn < largestFrame;
        if (tabled)
            for (int j = firstColumn; j <= lastColumn; ++j)
                columnX[j] = (j + 0.5) / scale - pivotX;
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
                const double coefficient = sign * cosine - hull.slope[k] * sine;
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
        double a = firstX, b = lastX;
        // Narrows [a, b] to the stretch between two bounds in either order;
        // false when nothing is left.
        auto keep = [&a, &b](double lo, double hi) {
            if (hi < lo) std::swap(lo, hi);
            a = std::max(a, lo);
            b = std::min(b, hi);
            return a <= b;
        };
        if (cosZero) {
            if (!(sine * Yr >= -across && sine * Yr <= across)) return false;
        } else if (!keep((-across - sine * Yr) / cosine, (across - sine * Yr) / cosine)) {
            return false;
        }
        if (sinZero) {
            if (!(cosine * Yr >= -length - margin && cosine * Yr <= tail + margin)) return false;
        } else if (!keep((cosine * Yr + length + margin) / sine, (cosine * Yr - tail - margin) / sine)) {
            return false;
        }
        if (hulled) {
            const double sYr = sine * Yr, cYr = cosine * Yr;
            double lo = a, hi = b;
            for (int k = 0; k < lines; ++k) {
                const double limit =
                    (lineConstant[k] - lineSign[k] * sYr - lineSlope[k] * cYr) * lineInverse[k];
                if (lineInverse[k] > 0) {
                    hi = std::min(hi, limit + hullMargin);
                } else {
                    lo = std::max(lo, limit - hullMargin);
                }
            }
            // Along the hand: -gone < s·Xr − c·Yr < length + gone.
            if (std::fabs(sine) >= 1e-3) {
                const double u = (cYr - gone) / sine, v = (cYr + length + gone) / sine;
                lo = std::max(lo, std::min(u, v) - hullMargin);
                hi = std::min(hi, std::max(u, v) + hullMargin);
            }
            a = lo, b = hi;
            if (!(a <= b)) return false;
        }
        j0 = std::max(firstColumn, toIndex(std::floor((a + pivotX) * scale - 0.5)) - 1);
        j1 = std::min(lastColumn, toIndex(std::ceil((b + pivotX) * scale - 0.5)) + 1);
        return j0 <= j1;
    }

    // The hand-frame point (x, y) of column j's centre in the row at Yr, given
    // sine·Yr and cosine·Yr.
    void point(int j, double sYr, double cYr, double& x, double& y) const {
        const double Xr = tabled ? columnX[j] : (j + 0.5) / scale - pivotX;
        x = cosine * Xr + sYr;
        y = -sine * Xr + cYr;
    }
};

// One row of the seconds bar or its shadow: the pixels near it gathered, their
// exact distances worked out together, then drawn.
void barRow(const HandPass& pass, RowBatch& batch, Pixel* row, double Yr, int j0, int j1,
            const Stage* stage) {
    const std::uint8_t* covered = stage != nullptr ? stage->cover : nullptr;
    const double sYr = pass.sine * Yr, cYr = pass.cosine * Yr;
    const double opacity = pass.handBounds->shadowOpacity;
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
            const double u = batch.ax[k] / pass.bound; // 0 on the centre line, 1 on the side
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
        if (covered != nullptr && covered[j] != 0) continue;
        double x, y;
        pass.point(j, sYr, cYr, x, y);
        const double ax = std::fabs(x);
        // The exact distance is at least the distance to each side's line.
        if (std::max(ax - pass.bound, std::max(y - pass.tail, -pass.length - y)) >= pass.gone) continue;
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
    const double opacity = pass.handBounds->shadowOpacity;
    for (int k = 0; k < pending; ++k) {
        const double o = batch.value[k];
        if (o > 0) over(row[batch.column[k]], 0, 0, 0, o >= 1 ? opacity : o * opacity);
    }
}

// The spline pixels of a leaf hand's batch: coverage and shift, then the colour
// of the same point of the same hand in the reference artwork; off its brass,
// the colour nearer the centre line. All first looks of the batch are taken
// together, then all second ones.
void flushLeafHand(const HandPass& pass, const LeafTable& table, const Image& reference, RowBatch& batch,
                   int pending, Pixel* row, const Stage* stage) {
    for (int k = 0; k < pending; ++k) {
        const LeafSegment& segment = table.segments[batch.segment[k]];
        if (batch.covered[k]) {
            batch.value[k] = 1;
            batch.shift[k] = leafShiftAt(segment, batch.u[k]);
        } else {
            const LeafSection section = leafSectionAt(segment, batch.u[k]);
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
        referencePoint(reference, pc, ps, 0.45 * batch.x[k] + batch.shift[k], -batch.along[k],
                       batch.lookX[seconds], batch.lookY[seconds]);
        batch.again[seconds++] = i;
    }
    sampleMany(reference, batch.lookX, batch.lookY, batch.second, seconds);
    for (int n = 0; n < seconds; ++n)
        batch.look[batch.again[n]] = batch.second[n];
    if (stage == nullptr) {
        for (int i = 0; i < looks; ++i) {
            const int k = batch.entry[i];
            raster::overSample(row[batch.column[k]], batch.look[i], batch.value[k] >= 1 ? 1 : batch.value[k]);
        }
        return;
    }
    for (int i = 0; i < looks; ++i) {
        const int k = batch.entry[i], j = batch.column[k];
        const Pixel look = batch.look[i];
        const double coverage = batch.value[k] >= 1 ? 1 : batch.value[k];
        if (coverage >= 1 && look.a == 255) {
            // overSample() writes the look itself here, whatever lies under it.
            row[j] = look;
            stage->cover[j] = stage->mark;
            RowReach& m = *stage->marked;
            if (m.first > m.last) {
                m = RowReach{j, j};
            } else {
                m.first = std::min(m.first, j);
                m.last = std::max(m.last, j);
            }
        } else {
            stage->later->push_back({stage->rowStart + j, look, coverage});
        }
    }
}

// One row of a leaf hand or its shadow. Pixels that need the spline are
// gathered first and worked out after the row's walk, in batches: independent
// iterations without branches let the processor overlap the divisions and
// square roots of many pixels instead of waiting on each in turn.
void leafRow(const HandPass& pass, const LeafTable& table, const SolidShadow& solid, const Image& reference,
             RowBatch& batch, Pixel* row, double Yr, int j0, int j1, const Stage* stage) {
    const double sYr = pass.sine * Yr, cYr = pass.cosine * Yr;
    const std::uint8_t* covered = pass.shadow && stage != nullptr ? stage->cover : nullptr;
    const LeafEnvelope& env = *pass.env;
    int pending = 0;
    auto flush = [&] {
        if (pass.shadow) {
            flushLeafShadow(pass, table, batch, pending, row);
        } else {
            flushLeafHand(pass, table, reference, batch, pending, row, stage);
        }
        pending = 0;
    };
    for (int j = j0; j <= j1; ++j) {
        if (covered != nullptr && covered[j] != 0) continue;
        double x, y;
        pass.point(j, sYr, cYr, x, y);
        const double ax = std::fabs(x);
        // Beyond the tip or behind the pivot. d is at least e, so a pixel that
        // e alone leaves untouched needs no leaf.
        const double e = std::max(-pass.length - y, y);
        if (e >= pass.gone) continue;
        const double along = -y;
        // Its whole units, 0 behind the pivot and the length from the tip on.
        const int bin = static_cast<int>(std::min(std::max(along, 0.0), pass.length));
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
        batch.covered[pending] =
            !pass.shadow && e <= -pass.whole && env.narrowest[bin] - ax >= pass.wholeAcross;
        if (++pending == RowBatch::capacity) flush();
    }
    flush();
}

// One hand or shadow over the rows it may touch; with `staged` (rows marks,
// flat-index spans and looks for later, as drawHandsOverShadows keeps them) a
// hand takes its first stage and a shadow skips marked pixels.
void drawPass(const Renderer& r, const HandTables& tables, Image& image, std::int32_t hand, double angle,
              bool shadow, Renderer::Cover* staged) {
    if (!std::isfinite(angle)) return;
    HandPass pass;
    pass.prepare(image.width, image.height, hand, angle, shadow, tables.outlines[hand]);
    if (hand != 2) pass.prepareLeaf(tables.envelopes[hand], tables.hulls[hand]);
    RowBatch batch;
    Stage stage;
    // Only the hour and minute hands take a first stage; shadows only read marks.
    if (staged != nullptr && !shadow) {
        stage.mark = static_cast<std::uint8_t>(hand + 1);
        stage.later = &staged->later[hand];
    }
    for (int i = pass.firstRow; i <= pass.lastRow; ++i) {
        const double Yr = (i + 0.5) / pass.scale - pass.pivotY;
        int j0, j1;
        if (!pass.stretch(Yr, j0, j1)) continue;
        const std::size_t start = static_cast<std::size_t>(i) * image.width;
        Pixel* row = image.pixels.data() + start;
        if (staged != nullptr) {
            stage.cover = staged->marks.data() + start;
            stage.rowStart = static_cast<std::int32_t>(start);
            stage.marked = &staged->marked[static_cast<std::size_t>(i)];
        }
        if (hand == 2) {
            barRow(pass, batch, row, Yr, j0, j1, staged != nullptr ? &stage : nullptr);
        } else {
            leafRow(pass, tables.leaves[hand], tables.solid, r.referenceImage, batch, row, Yr, j0, j1,
                    staged != nullptr ? &stage : nullptr);
        }
    }
}

// Whether `image` holds all its pixels, so a pass may draw into it.
bool drawable(const Image& image) {
    return !image.empty() && image.pixels.size() >= static_cast<std::size_t>(image.width) * image.height;
}

} // namespace

void Renderer::polygon(Image& image, std::int32_t hand, double angle, bool shadow) const {
    if (hand < 0 || hand > 2) return;
    if (!drawable(image)) return;
    drawPass(*this, handTables(*this), image, hand, angle, shadow, nullptr);
}

void Renderer::drawHandsOverShadows(Image& image, Angles angles, bool seconds) {
    if (!drawable(image)) return;
    constexpr auto largest = static_cast<std::size_t>(largestFrame);
    const std::size_t count = static_cast<std::size_t>(image.width) * image.height;
    const HandTables& tables = handTables(*this);
    // Storage grows to twice what it needs, up to what the largest frame needs,
    // so the steps of a growing animated resize fit without taking more each
    // time. Every mark is 0 between calls, so resizing keeps them all 0.
    auto room = [](auto& storage, std::size_t count, std::size_t most) {
        if (storage.capacity() < count) storage.reserve(std::max(count, std::min(2 * count, most)));
    };
    room(cover.marks, count, largest * largest);
    cover.marks.resize(count);
    room(cover.marked, static_cast<std::size_t>(image.height), largest);
    cover.marked.assign(static_cast<std::size_t>(image.height), RowReach{});
    // The hands' edges at this size; a reference with see-through brass may
    // ask for more once.
    for (std::vector<LaterLook>& l : cover.later) {
        l.clear();
        room(l, 8 * static_cast<std::size_t>(image.width), 8 * largest);
    }

    // A pixel the hour or the minute hand overwrites whole ends up with that
    // hand's look (or the minute hand's over it) whatever the shadows left
    // there, so those go first and the shadows skip them.
    drawPass(*this, tables, image, 0, angles.hour, false, &cover);
    drawPass(*this, tables, image, 1, angles.minute, false, &cover);
    drawPass(*this, tables, image, 0, angles.hour, true, &cover);
    drawPass(*this, tables, image, 1, angles.minute, true, &cover);
    if (seconds) drawPass(*this, tables, image, 2, angles.second, true, &cover);
    // The hands' other pixels over the shadows, hour first; where the minute
    // hand overwrote a pixel the hour hand's look under it is gone anyway.
    for (const LaterLook& l : cover.later[0])
        if (cover.marks[static_cast<std::size_t>(l.index)] != 2)
            raster::overSample(image.pixels[static_cast<std::size_t>(l.index)], l.look, l.coverage);
    for (const LaterLook& l : cover.later[1])
        raster::overSample(image.pixels[static_cast<std::size_t>(l.index)], l.look, l.coverage);

    for (std::size_t i = 0; i < cover.marked.size(); ++i) {
        const RowReach m = cover.marked[i];
        if (m.first > m.last) continue;
        std::fill_n(cover.marks.begin() + static_cast<std::ptrdiff_t>(i * image.width + m.first),
                    m.last - m.first + 1, std::uint8_t{0});
    }
}

} // namespace velmor
