// Leaf profile of the hour and minute hands: a cubic Hermite spline through the
// knot tables, with finite-difference tangents over the neighbouring knots.
#include <cmath>
#include <vector>

#include "renderer/hand_knots.h"
#include "renderer/leaf_spline.h"
#include "renderer/renderer.h"

namespace velmor {

namespace {
std::vector<Renderer::LeafKnot> table(const knots::Knot (&source)[knots::count]) {
    std::vector<Renderer::LeafKnot> result;
    result.reserve(knots::count);
    for (const knots::Knot& k : source)
        result.push_back({k.along, k.halfWidth, k.shift});
    return result;
}
} // namespace

Renderer::LeafSection Renderer::leaf(std::int32_t hand, double along) const {
    // Built together on the first call, hour first, and only read afterwards.
    static const std::vector<LeafKnot> hour = table(knots::hour);
    static const std::vector<LeafKnot> minute = table(knots::minute);

    const std::vector<LeafKnot>& k = hand == 0 ? hour : minute;
    const int n = static_cast<int>(k.size());

    // Clamp into [0, length]; NaN takes the length.
    double u = along < k[n - 1].along ? along : k[n - 1].along;
    if (std::isnan(along)) u = k[n - 1].along;
    if (!(u > 0.0)) u = 0.0;

    // The segment ending at the first knot at or beyond u (s = 1 on a knot):
    // one past the number of inner knots before u, counted without branches
    // (the rasteriser calls this for pixels all along the hand).
    int j = 1;
    for (int i = 1; i < n - 1; ++i)
        j += k[i].along < u;
    return leafSectionAt(leafSegment(k.data(), n, j), u);
}

} // namespace velmor
