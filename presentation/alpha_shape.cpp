#include "presentation/alpha_shape.h"

#include <algorithm>

namespace {

struct Run {
    std::int32_t begin = 0;
    std::int32_t end = 0;
    friend bool operator==(const Run&, const Run&) = default;
};

// The runs of window row `y`: units with a pixel of enough alpha.
void RowRuns(const velmor::Image& image, std::int32_t scale, std::int32_t y, std::vector<Run>& runs) {
    runs.clear();
    const std::int32_t units = (image.width + scale - 1) / scale;
    const std::int32_t top = y * scale;
    const std::int32_t bottom = std::min(image.height, top + scale);
    bool open = false;
    for (std::int32_t u = 0; u < units; ++u) {
        bool in = false;
        const std::int32_t right = std::min(image.width, (u + 1) * scale);
        for (std::int32_t py = top; py < bottom && !in; ++py) {
            const velmor::Pixel* row = image.pixels.data() + static_cast<std::size_t>(py) * image.width;
            for (std::int32_t px = u * scale; px < right && !in; ++px)
                in = row[px].a >= SHAPE_ALPHA;
        }
        if (in && !open) runs.push_back({u, u + 1});
        if (in) runs.back().end = u + 1;
        open = in;
    }
}

} // namespace

std::vector<ShapeRect> AlphaShape(const velmor::Image& image, std::int32_t scale) {
    scale = std::max(scale, 1);
    std::vector<ShapeRect> shape;
    if (image.empty()) return shape;
    const std::int32_t rows = (image.height + scale - 1) / scale;
    std::vector<Run> last, now;
    std::size_t lastFirst = 0; // where the rectangles of the last row's runs begin in `shape`
    for (std::int32_t y = 0; y < rows; ++y) {
        RowRuns(image, scale, y, now);
        if (now == last && !now.empty()) {
            for (std::size_t i = lastFirst; i < shape.size(); ++i)
                ++shape[i].height;
            continue;
        }
        lastFirst = shape.size();
        for (const Run& run : now)
            shape.push_back({run.begin, y, run.end - run.begin, 1});
        std::swap(last, now);
    }
    return shape;
}
