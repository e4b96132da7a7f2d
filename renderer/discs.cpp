// The discs: the seconds hand's brass disc and the pivot cap textured from the
// reference hub, composited straight into a frame with a one-pixel
// anti-aliased edge. Geometry is in dial units, 1/1000 of the frame's width.
#include <algorithm>
#include <cmath>

#include "renderer/compositing.h"
#include "renderer/hand_bounds.h"
#include "renderer/raster.h"
#include "renderer/renderer.h"

namespace velmor {

using raster::toIndex;

void Renderer::circle(Image& image, double cx, double cy, double radius, bool textured) const {
    if (image.empty() || image.pixels.size() < static_cast<std::size_t>(image.width) * image.height) return;
    if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(radius)) return;
    const double scale = image.width / 1000.0;
    const int x0 = std::max(0, toIndex((cx - radius - 2) * scale));
    const int x1 = std::min(image.width - 1, toIndex((cx + radius + 2) * scale));
    const int y0 = std::max(0, toIndex((cy - radius - 2) * scale));
    const int y1 = std::min(image.height - 1, toIndex((cy + radius + 2) * scale));
    if (y1 < y0 || x1 < x0) return;

    // The texture is the reference around its own pivot, at the same offsets
    // from it as from the disc's centre.
    const double refWidth = referenceImage.width, refHeight = referenceImage.height;
    const double refPivotX = refWidth * (hands::pivotX / 1000),
                 refPivotY = refHeight * (hands::pivotY / 1000);
    // Squared distances from the centre that are surely inside the one-pixel edge
    // (coverage at least 1) or surely beyond it (coverage at most 0), with margins
    // that dwarf rounding; only the ring between needs the exact hypot.
    const double inner = radius - 0.5 / scale - 1e-6, outer = radius + 0.5 / scale + 1e-6;
    const double inner2 = inner > 0 ? inner * inner : -1.0, outer2 = outer * outer;

    // Per column, what every row needs: dx, and for the texture its column in the
    // reference artwork.
    double columnX[largestFrame], referenceX[largestFrame];
    const bool tabled = x1 < largestFrame;
    if (tabled)
        for (int j = x0; j <= x1; ++j) {
            columnX[j] = (j + 0.5) / scale - cx;
            referenceX[j] = columnX[j] * refWidth / 1000 + refPivotX;
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
        for (int k = 0; k < looks; ++k)
            raster::overSample(row[lookColumn[k]], look[k], lookCoverage[k]);
        looks = 0;
    };

    for (int i = y0; i <= y1; ++i) {
        const double dy = (i + 0.5) / scale - cy;
        const double referenceY = refPivotY + refHeight * dy / 1000;
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
                lookX[looks] = tabled ? referenceX[j] : dx * refWidth / 1000 + refPivotX;
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

} // namespace velmor
