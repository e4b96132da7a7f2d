// Where the user put the clock under each monitor layout seen lately, so that a
// layout coming back (a monitor plugged in again, a dock reconnected) brings the
// clock back to the user's place instead of where the system pushed it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "placement/geometry.h"
#include "placement/monitor_layout.h"

inline constexpr std::size_t MAX_LAYOUTS = 8; // layouts remembered, most recent first

enum class Corner { TopLeft = 0, TopRight = 1, BottomLeft = 2, BottomRight = 3 };

// The user's placement under one layout: the monitor (index in canonical
// order), the work-area corner nearest the clock, the clock's distance inward
// from that corner in logical pixels (96 DPI) and the size setting.
struct RememberedPlace {
    std::uint64_t layout = 0;
    int monitor = 0;
    Corner anchor = Corner::TopLeft;
    std::int32_t offsetX = 0;
    std::int32_t offsetY = 0;
    std::int32_t size = 0;
    friend bool operator==(const RememberedPlace&, const RememberedPlace&) = default;
};

struct PlacementMemory {
    // The layout the clock last settled in: the one the settings file's
    // position belongs to. 0 when not known.
    std::uint64_t current = 0;
    std::vector<RememberedPlace> places; // most recent first, at most MAX_LAYOUTS
    friend bool operator==(const PlacementMemory&, const PlacementMemory&) = default;
};

// Where the clock goes and at what size setting.
struct ClockPlace {
    ScreenPoint topLeft;
    std::int32_t size = 0;
    friend bool operator==(const ClockPlace&, const ClockPlace&) = default;
};

// The record of the user's placement of `window` (screen pixels) at size
// setting `size` under `layout`; none without monitors.
std::optional<RememberedPlace> PlaceOf(const MonitorLayout& layout, const ScreenRect& window,
                                       std::int32_t size);

// Stores `place` as the most recent one, replacing the entry of its layout and
// dropping the oldest beyond MAX_LAYOUTS.
void Remember(PlacementMemory& memory, const RememberedPlace& place);

// The remembered place under `layout`, if there is one.
const RememberedPlace* Find(const PlacementMemory& memory, std::uint64_t layout);

// Where the clock goes under `now`: the user's place when the layout is
// remembered, with the size clamped for the monitor's DPI and capped to its
// work area and the clock kept inside that work area; none for a layout not
// remembered (the caller keeps the clock where it is, pulled inside).
std::optional<ClockPlace> ChoosePlace(const MonitorLayout& now, const PlacementMemory& memory);

// The memory as text: a header line, "current <signature>", then one
// "place <signature> <monitor> <corner> <x> <y> <size>" line per layout,
// signatures in 16 hexadecimal digits.
std::string MemoryText(const PlacementMemory& memory);

// The memory the text describes; anything damaged gives an empty memory
// (nothing remembered).
PlacementMemory ParseMemory(std::string_view text);
