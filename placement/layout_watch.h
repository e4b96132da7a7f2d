// Watching the monitor layout: notices from the system and a regular poll of
// the layout's fingerprint, and the moment a change has settled.
#pragma once

#include <cstdint>
#include <optional>

inline constexpr unsigned LAYOUT_POLL_MS = 2000;        // poll while nothing changes
inline constexpr unsigned LAYOUT_CHANGING_MS = 500;     // poll while a change settles
inline constexpr std::uint64_t LAYOUT_SETTLE_MS = 2000; // unchanged this long: settled

struct LayoutWatch {
    std::uint64_t settled = 0;         // the layout the clock was last placed for
    bool changing = false;             // a change is settling
    bool noticed = false;              // the system told of it (not only the poll)
    std::optional<std::uint64_t> seen; // the fingerprint last read while changing
    std::uint64_t seenAt = 0;          // when it was first read
};

// The system says the monitors may be changing (display, work area, session,
// resume), at `now` milliseconds.
void NoticeChange(LayoutWatch& watch, std::uint64_t now);

// One poll at `now` with the fingerprint read then (none when the monitor
// query failed: the layout is still changing). True when a change has settled
// and the clock is to be placed for the layout now:
// after a layout other than the last settled one, or after a notice (the
// system may have moved the clock even when the layout came back the same).
bool PollLayout(LayoutWatch& watch, std::optional<std::uint64_t> fingerprint, std::uint64_t now);

// Whether a settled change (PollLayout true) puts the clock at its remembered
// place for `layout`: always when the clock's place belongs to another layout
// (`current`); under that same layout only when the user has not started
// placing the clock since the system's notice: a resize or drag under way,
// not yet remembered, is the user's newer choice.
bool PlaceOnSettle(std::uint64_t layout, std::uint64_t current, std::uint64_t userPlacedAt,
                   std::uint64_t noticedAt);

// The poll interval for the watch's state.
unsigned PollInterval(const LayoutWatch& watch);
