// The clock's own window moves and layered updates, counted while they run.
// Windows sends WM_DPICHANGED from inside such a call when it carries the
// window onto a monitor of another DPI; handled there, the change would free
// the presentation surface the outer call is still using. It is kept instead
// and handled once the outermost call has returned.
#pragma once

#include <optional>

#include "placement/geometry.h"

struct DpiChange {
    unsigned dpi = 0; // the new DPI as the message gives it (0 reads as 96 later)
    ScreenRect suggested;
    friend bool operator==(const DpiChange&, const DpiChange&) = default;
};

struct WindowCalls {
    int depth = 0;                    // our window calls under way, nested
    std::optional<DpiChange> pending; // the latest change seen inside one
};

void EnterWindowCall(WindowCalls& calls);

// Ends one call; when it was the outermost, hands back the change kept
// while it ran (only the latest counts: it says where the window is now).
std::optional<DpiChange> LeaveWindowCall(WindowCalls& calls);

// True when a call is under way: `change` is kept for later. False: handle it now.
bool DeferDpiChange(WindowCalls& calls, const DpiChange& change);
