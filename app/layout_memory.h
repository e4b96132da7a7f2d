// Bringing the clock back to the user's place when a monitor layout comes
// back: the memory of places per layout, kept in its own file, and the watch
// that tells when a change of monitors has settled.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "placement/layout_watch.h"
#include "placement/placement_memory.h"
#include "settings/settings.h"

struct LayoutMemory {
    LayoutWatch watch;
    PlacementMemory memory;
    std::wstring path;              // the memory file; empty: nothing is kept across runs
    std::uint64_t noticedAt = 0;    // the system's last notice of a change, in milliseconds
    std::uint64_t userPlacedAt = 0; // the user's last resize or drag began
};

// At start-up, once the clock has its place by the usual rules: loads the
// memory from `path`; when the settings' position belongs to another layout
// than the one found now and that one is remembered, puts the clock at its
// place there. Starts the poll.
void StartLayoutMemory(LayoutMemory& state, std::wstring path, HWND window, Settings& settings, unsigned dpi);

// The user placed the clock where `window` is now, at size setting `size`.
void RememberPlace(LayoutMemory& state, HWND window, std::int32_t size);

// The settings were saved with the clock where it is now (at exit): their
// position belongs to the layout now, even when a change has not settled yet.
void PositionSaved(LayoutMemory& state);

// The user starts placing the clock (a resize request, a drag), at `now`
// milliseconds: a notice that settles on the same layout afterwards leaves
// the clock where the user is putting it.
void UserPlacing(LayoutMemory& state, std::uint64_t now);

// The system says the monitors may be changing, at `now` milliseconds.
void NoticeLayoutChange(LayoutMemory& state, HWND window, std::uint64_t now);

// One poll of the layout; places the clock once a change has settled.
void WatchLayout(LayoutMemory& state, HWND window, Settings& settings, unsigned dpi, std::uint64_t now);
