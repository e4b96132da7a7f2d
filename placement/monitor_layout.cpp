#include "placement/monitor_layout.h"

#include <algorithm>
#include <limits>
#include <tuple>

#include "placement/size_model.h"

namespace {

constexpr std::uint64_t FNV_OFFSET = 14695981039346656037ull;
constexpr std::uint64_t FNV_PRIME = 1099511628211ull;

void Mix(std::uint64_t& hash, std::int64_t value) {
    for (int byte = 0; byte < 8; ++byte) {
        hash ^= static_cast<std::uint64_t>(value >> (8 * byte)) & 0xFF;
        hash *= FNV_PRIME;
    }
}

void Mix(std::uint64_t& hash, const ScreenRect& rect) {
    for (std::int32_t edge : {rect.left, rect.top, rect.right, rect.bottom})
        Mix(hash, edge);
}

// Device names stay out of the signature: the system renumbers them when the
// primary monitor changes, so the same desk would look like a new one.
std::uint64_t Hash(const std::vector<Monitor>& monitors, bool everything) {
    std::uint64_t hash = FNV_OFFSET;
    Mix(hash, static_cast<std::int64_t>(monitors.size()));
    for (const Monitor& monitor : monitors) {
        Mix(hash, monitor.rect);
        Mix(hash, monitor.primary);
        if (!everything) continue;
        Mix(hash, monitor.workArea);
        Mix(hash, monitor.dpi);
    }
    return hash;
}

std::int64_t Overlap(const ScreenRect& a, const ScreenRect& b) {
    const std::int64_t width = std::int64_t{std::min(a.right, b.right)} - std::max(a.left, b.left);
    const std::int64_t height = std::int64_t{std::min(a.bottom, b.bottom)} - std::max(a.top, b.top);
    return width > 0 && height > 0 ? width * height : 0;
}

// Squared distance from the window's centre to the nearest point of `area`.
std::int64_t Distance(const ScreenRect& area, const ScreenRect& window) {
    const std::int64_t x = (std::int64_t{window.left} + window.right) / 2;
    const std::int64_t y = (std::int64_t{window.top} + window.bottom) / 2;
    const std::int64_t dx = std::max<std::int64_t>({area.left - x, 0, x - (std::int64_t{area.right} - 1)});
    const std::int64_t dy = std::max<std::int64_t>({area.top - y, 0, y - (std::int64_t{area.bottom} - 1)});
    return dx * dx + dy * dy;
}

} // namespace

MonitorLayout MakeLayout(std::vector<Monitor> monitors) {
    for (Monitor& monitor : monitors)
        monitor.dpi = velmor::size::KnownDpi(monitor.dpi);
    std::sort(monitors.begin(), monitors.end(), [](const Monitor& a, const Monitor& b) {
        return std::tie(a.rect.top, a.rect.left, a.rect.bottom, a.rect.right) <
               std::tie(b.rect.top, b.rect.left, b.rect.bottom, b.rect.right);
    });
    const std::uint64_t signature = Hash(monitors, false);
    const std::uint64_t fingerprint = Hash(monitors, true);
    return {std::move(monitors), signature, fingerprint};
}

int NearestMonitor(const MonitorLayout& layout, const ScreenRect& window) {
    int best = -1;
    std::int64_t bestOverlap = 0;
    std::int64_t bestDistance = std::numeric_limits<std::int64_t>::max();
    for (int i = 0; i < static_cast<int>(layout.monitors.size()); ++i) {
        const Monitor& monitor = layout.monitors[i];
        const std::int64_t overlap = Overlap(monitor.rect, window);
        const std::int64_t distance = Distance(monitor.workArea, window);
        if (overlap > bestOverlap || (bestOverlap == 0 && overlap == 0 && distance < bestDistance)) {
            best = i;
            bestOverlap = overlap;
            bestDistance = distance;
        }
    }
    return best;
}
