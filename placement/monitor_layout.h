// The set of monitors the desktop has at one moment, in an order that does not
// depend on how the system happened to list them; the signature that names the
// desk (which monitors where), and the fingerprint that changes with anything
// placement depends on (work areas and DPI too).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "placement/geometry.h"

struct Monitor {
    std::u16string device; // the system's device name ("\\.\DISPLAY1")
    ScreenRect rect;       // the whole monitor, screen pixels
    ScreenRect workArea;   // the monitor minus taskbar and docked bars
    unsigned dpi = 96;     // 0 from the system is stored as 96
    bool primary = false;
    friend bool operator==(const Monitor&, const Monitor&) = default;
};

struct MonitorLayout {
    std::vector<Monitor> monitors; // canonical order: by top, then left, of the rectangle
    // The monitors' rectangles and which is primary. Work areas and DPI stay
    // out: a remembered place is kept relative to a work-area corner in
    // logical pixels, so it still fits when the taskbar moves or the scale
    // changes on the same desk.
    std::uint64_t signature = 0;
    std::uint64_t fingerprint = 0; // the signature's fields, work areas and DPI
};

// The layout of `monitors` listed in any order.
MonitorLayout MakeLayout(std::vector<Monitor> monitors);

// Index in `layout` of the monitor that holds most of `window`, or, when none
// overlaps it, of the one whose work area is nearest; -1 without monitors.
int NearestMonitor(const MonitorLayout& layout, const ScreenRect& window);
