// The rasteriser touches, for a hand, only pixels whose centres lie in a band
// around the hand's axis: at most B + J across and from L + J before the pivot
// to T + J behind it, J being 5 units for a shadow's soft edge and 1.5 pixels
// for a hand's anti-aliasing; for a disc, only pixels within radius + 2 units
// of its centre. The stretches below are those shapes grown by three pixels, so
// that rounding in either computation cannot put a touched pixel outside.
#include "renderer/reach.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "renderer/hand_bounds.h"

namespace velmor {

namespace {

constexpr double margin = 3; // pixels: the rasteriser scans a pixel or two past its band

struct Corner {
    double x;
    double y;
};

// Widens row i by [a, b], pixel-centre coordinates in pixels.
[[gnu::always_inline]] inline void widen(std::vector<RowReach>& rows, std::int32_t width, std::int32_t i,
                                         double a, double b) {
    // Columns whose centres j + 0.5 lie in [a, b].
    const double lo = std::max(std::ceil(a - 0.5), 0.0);
    const double hi = std::min(std::floor(b - 0.5), static_cast<double>(width) - 1);
    if (!(lo <= hi)) return;
    RowReach& r = rows[static_cast<std::size_t>(i)];
    const auto first = static_cast<std::int32_t>(lo), last = static_cast<std::int32_t>(hi);
    if (r.first > r.last) {
        r = RowReach{first, last};
    } else {
        r.first = std::min(r.first, first);
        r.last = std::max(r.last, last);
    }
}

// The rows range a span from y0 to y1 (pixels) can meet: centres i + 0.5 in it.
bool rowRange(double y0, double y1, std::int32_t height, std::int32_t& i0, std::int32_t& i1) {
    const double lo = std::max(std::ceil(y0 - 0.5), 0.0);
    const double hi = std::min(std::floor(y1 - 0.5), static_cast<double>(height) - 1);
    if (!(lo <= hi)) return false;
    i0 = static_cast<std::int32_t>(lo);
    i1 = static_cast<std::int32_t>(hi);
    return true;
}

} // namespace

void noReach(std::vector<RowReach>& rows, std::int32_t height) {
    rows.assign(height > 0 ? static_cast<std::size_t>(height) : 0, RowReach{});
}

void reachHand(std::vector<RowReach>& rows, std::int32_t width, std::int32_t hand, double angle,
               bool shadow) {
    if (hand < 0 || hand > 2 || width <= 0 || !std::isfinite(angle)) return;
    const auto height = static_cast<std::int32_t>(rows.size());
    const double scale = width / 1000.0;
    const hands::HandBounds& hb = hands::bounds[hand];
    const double J = hands::bandMargin(shadow, scale);
    const double grow = margin / scale;
    const double across = hb.bound + J + grow, before = hb.length + J + grow, behind = hb.tail + J + grow;
    const double px = shadow ? hands::shadowX : hands::pivotX, py = shadow ? hands::shadowY : hands::pivotY;
    const double theta = angle * std::numbers::pi / 180;
    const double s = std::sin(theta), c = std::cos(theta);

    // The band's corners in pixels; a point (x across, y along, tip at negative
    // y) of the hand frame lies at the pivot plus (x c - y s, x s + y c).
    Corner corners[4];
    const double xs[4] = {-across, across, across, -across}, ys[4] = {-before, -before, behind, behind};
    double top = 1e300, bottom = -1e300;
    for (int k = 0; k < 4; ++k) {
        corners[k] = {(px + xs[k] * c - ys[k] * s) * scale, (py + xs[k] * s + ys[k] * c) * scale};
        top = std::min(top, corners[k].y);
        bottom = std::max(bottom, corners[k].y);
    }
    std::int32_t i0, i1;
    if (!rowRange(top, bottom, height, i0, i1)) return;
    // Each edge's run across per pixel down, worked out once; the three pixels
    // of margin dwarf what multiplying by it instead of dividing can move.
    double run[4];
    for (int k = 0; k < 4; ++k) {
        const Corner &p = corners[k], &q = corners[(k + 1) % 4];
        run[k] = p.y == q.y ? 0 : (q.x - p.x) / (q.y - p.y);
    }
    // The band is convex: each row centre line meets it in one stretch, found
    // from the crossings of its four edges.
    for (std::int32_t i = i0; i <= i1; ++i) {
        const double y = i + 0.5;
        double a = 1e300, b = -1e300;
        for (int k = 0; k < 4; ++k) {
            const Corner& p = corners[k];
            const Corner& q = corners[(k + 1) % 4];
            if ((p.y - y) * (q.y - y) > 0) continue;
            if (p.y == q.y) {
                a = std::min(a, std::min(p.x, q.x));
                b = std::max(b, std::max(p.x, q.x));
                continue;
            }
            const double x = p.x + (y - p.y) * run[k];
            a = std::min(a, x);
            b = std::max(b, x);
        }
        if (a <= b) widen(rows, width, i, a, b);
    }
}

void reachDisc(std::vector<RowReach>& rows, std::int32_t width, double cx, double cy, double radius) {
    if (width <= 0 || !std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(radius)) return;
    const auto height = static_cast<std::int32_t>(rows.size());
    const double scale = width / 1000.0;
    const double x = cx * scale, y = cy * scale, r = (std::fabs(radius) + 2) * scale + margin;
    std::int32_t i0, i1;
    if (!rowRange(y - r, y + r, height, i0, i1)) return;
    for (std::int32_t i = i0; i <= i1; ++i) {
        const double dy = i + 0.5 - y;
        const double half = std::sqrt(std::max(0.0, r * r - dy * dy));
        widen(rows, width, i, x - half, x + half);
    }
}

} // namespace velmor
