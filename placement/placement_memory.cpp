#include "placement/placement_memory.h"

#include <algorithm>
#include <charconv>

#include "placement/resize.h"
#include "placement/size_model.h"

namespace {

constexpr std::string_view HEADER = "velmor-placement 1";
constexpr std::string_view CURRENT = "current";
constexpr std::string_view PLACE = "place";

bool AnchoredRight(Corner corner) {
    return corner == Corner::TopRight || corner == Corner::BottomRight;
}
bool AnchoredBottom(Corner corner) {
    return corner == Corner::BottomLeft || corner == Corner::BottomRight;
}

std::int32_t ToLogical(std::int64_t pixels, unsigned dpi) {
    const std::int64_t limited = std::clamp<std::int64_t>(pixels, -1'000'000, 1'000'000);
    return MulDivRound(static_cast<std::int32_t>(limited), 96, static_cast<std::int32_t>(dpi));
}

std::string Hex(std::uint64_t value) {
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, value, 16).ptr;
    return std::string(16 - (end - digits), '0') + std::string(digits, end);
}

// Splits off the next space-separated field of `line`.
std::string_view Field(std::string_view& line) {
    const std::size_t end = line.find(' ');
    const std::string_view field = line.substr(0, end);
    line = end == std::string_view::npos ? std::string_view{} : line.substr(end + 1);
    return field;
}

template <class Number> bool ReadNumber(std::string_view& line, Number& value, int base = 10) {
    const std::string_view field = Field(line);
    if (field.empty()) return false;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value, base);
    return error == std::errc{} && end == field.data() + field.size();
}

bool ReadPlace(std::string_view line, RememberedPlace& place) {
    int corner = 0;
    const bool read = ReadNumber(line, place.layout, 16) && ReadNumber(line, place.monitor) &&
                      ReadNumber(line, corner) && ReadNumber(line, place.offsetX) &&
                      ReadNumber(line, place.offsetY) && ReadNumber(line, place.size);
    place.anchor = static_cast<Corner>(corner);
    return read && line.empty() && place.monitor >= 0 && corner >= 0 && corner <= 3 &&
           place.size >= velmor::size::SMALLEST && place.size <= velmor::size::LARGEST;
}

} // namespace

std::optional<RememberedPlace> PlaceOf(const MonitorLayout& layout, const ScreenRect& window,
                                       std::int32_t size) {
    const int index = NearestMonitor(layout, window);
    if (index < 0) return std::nullopt;
    const Monitor& monitor = layout.monitors[index];
    const ScreenRect& area = monitor.workArea;
    // The nearer corner on each axis, by the clock's centre against the area's.
    const bool right = std::int64_t{window.left} + window.right > std::int64_t{area.left} + area.right;
    const bool bottom = std::int64_t{window.top} + window.bottom > std::int64_t{area.top} + area.bottom;
    RememberedPlace place;
    place.layout = layout.signature;
    place.monitor = index;
    place.anchor = static_cast<Corner>((right ? 1 : 0) + (bottom ? 2 : 0));
    place.offsetX = ToLogical(
        right ? std::int64_t{area.right} - window.right : std::int64_t{window.left} - area.left, monitor.dpi);
    place.offsetY =
        ToLogical(bottom ? std::int64_t{area.bottom} - window.bottom : std::int64_t{window.top} - area.top,
                  monitor.dpi);
    place.size = size;
    return place;
}

void Remember(PlacementMemory& memory, const RememberedPlace& place) {
    std::erase_if(memory.places, [&](const RememberedPlace& old) { return old.layout == place.layout; });
    memory.places.insert(memory.places.begin(), place);
    if (memory.places.size() > MAX_LAYOUTS) memory.places.resize(MAX_LAYOUTS);
}

const RememberedPlace* Find(const PlacementMemory& memory, std::uint64_t layout) {
    const auto found = std::find_if(memory.places.begin(), memory.places.end(),
                                    [&](const RememberedPlace& place) { return place.layout == layout; });
    return found == memory.places.end() ? nullptr : &*found;
}

std::optional<ClockPlace> ChoosePlace(const MonitorLayout& now, const PlacementMemory& memory) {
    const RememberedPlace* place = Find(memory, now.signature);
    if (!place || place->monitor >= static_cast<int>(now.monitors.size())) return std::nullopt;
    const Monitor& monitor = now.monitors[place->monitor];
    const ScreenRect& area = monitor.workArea;
    const std::int32_t size = std::min(ClampSize(place->size, monitor.dpi), MonitorCap(area, monitor.dpi));
    const std::int32_t width = Pixels(size, monitor.dpi);
    const std::int32_t dx = MulDivRound(place->offsetX, static_cast<std::int32_t>(monitor.dpi), 96);
    const std::int32_t dy = MulDivRound(place->offsetY, static_cast<std::int32_t>(monitor.dpi), 96);
    const std::int64_t x =
        AnchoredRight(place->anchor) ? std::int64_t{area.right} - dx - width : std::int64_t{area.left} + dx;
    const std::int64_t y =
        AnchoredBottom(place->anchor) ? std::int64_t{area.bottom} - dy - width : std::int64_t{area.top} + dy;
    return ClockPlace{
        {KeepInside(x, width, area.left, area.right), KeepInside(y, width, area.top, area.bottom)}, size};
}

std::string MemoryText(const PlacementMemory& memory) {
    std::string text(HEADER);
    text += '\n';
    text += std::string(CURRENT) + ' ' + Hex(memory.current) + '\n';
    for (const RememberedPlace& place : memory.places) {
        text += std::string(PLACE) + ' ' + Hex(place.layout) + ' ' + std::to_string(place.monitor) + ' ' +
                std::to_string(static_cast<int>(place.anchor)) + ' ' + std::to_string(place.offsetX) + ' ' +
                std::to_string(place.offsetY) + ' ' + std::to_string(place.size) + '\n';
    }
    return text;
}

PlacementMemory ParseMemory(std::string_view text) {
    PlacementMemory memory;
    bool headerSeen = false;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos) return {}; // a file cut short
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        if (!headerSeen) {
            if (line != HEADER) return {};
            headerSeen = true;
            continue;
        }
        const std::string_view kind = Field(line);
        RememberedPlace place;
        if (kind == CURRENT) {
            if (!ReadNumber(line, memory.current, 16) || !line.empty()) return {};
        } else if (kind != PLACE || !ReadPlace(line, place) || memory.places.size() == MAX_LAYOUTS ||
                   Find(memory, place.layout)) {
            return {};
        } else {
            memory.places.push_back(place);
        }
    }
    return memory;
}
