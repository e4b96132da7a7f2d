// Bringing the clock back to the user's place when a monitor layout comes
// back: the memory of places per layout (placements.txt beside the settings
// file), and the watch that tells when a change of monitors has settled. The
// rules are the portable ones (placement/placement_memory.h, layout_watch.h).
#pragma once

#include <gtk/gtk.h>

#include <cstdint>
#include <string>

#include "placement/layout_watch.h"
#include "placement/placement_memory.h"
#include "settings/settings.h"

struct LayoutMemory {
    LayoutWatch watch;
    PlacementMemory memory;
    std::string path;               // the memory file; empty: nothing is kept across runs
    std::uint64_t noticedAt = 0;    // the system's last notice of a change, in milliseconds
    std::uint64_t userPlacedAt = 0; // the user's last resize or drag began
};

// The memory file's path for the settings file at `settingsPath`; empty for an empty one.
std::string LayoutMemoryPath(const std::string& settingsPath);

// At start-up, once the clock has its place by the usual rules: loads the
// memory; when the settings' position belongs to another layout than the one
// found now and that one is remembered, puts the clock at its place there.
// Starts the poll.
void StartLayoutMemory(LayoutMemory& state, std::string path, GtkWidget* window, Settings& settings,
                       unsigned dpi);

// The user placed the clock where it is now, at size setting `size`.
void RememberPlace(LayoutMemory& state, GtkWidget* window, std::int32_t size);

// The settings were saved with the clock where it is now (at exit): their
// position belongs to the layout now, even when a change has not settled yet.
void PositionSaved(LayoutMemory& state, GtkWidget* window);

// The user starts placing the clock (a resize request, a drag), at `now` ms.
void UserPlacing(LayoutMemory& state, std::uint64_t now);

// The system says the monitors may be changing, at `now` ms.
void NoticeLayoutChange(LayoutMemory& state, std::uint64_t now);

// One poll of the layout; places the clock once a change has settled.
void WatchLayout(LayoutMemory& state, GtkWidget* window, Settings& settings, unsigned dpi, std::uint64_t now);
