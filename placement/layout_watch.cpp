#include "placement/layout_watch.h"

void NoticeChange(LayoutWatch& watch, std::uint64_t now) {
    watch.changing = true;
    watch.noticed = true;
    watch.seen.reset();
    watch.seenAt = now;
}

bool PollLayout(LayoutWatch& watch, std::optional<std::uint64_t> fingerprint, std::uint64_t now) {
    if (!watch.changing) {
        if (fingerprint == watch.settled) return false;
        watch.changing = true;
        watch.seen = fingerprint;
        watch.seenAt = now;
        return false;
    }
    if (!fingerprint || fingerprint != watch.seen) {
        watch.seen = fingerprint;
        watch.seenAt = now;
        return false;
    }
    if (now - watch.seenAt < LAYOUT_SETTLE_MS) return false;
    const bool place = *fingerprint != watch.settled || watch.noticed;
    watch.changing = false;
    watch.noticed = false;
    watch.settled = *fingerprint;
    return place;
}

bool PlaceOnSettle(std::uint64_t layout, std::uint64_t current, std::uint64_t userPlacedAt,
                   std::uint64_t noticedAt) {
    return layout != current || userPlacedAt <= noticedAt;
}

unsigned PollInterval(const LayoutWatch& watch) {
    return watch.changing ? LAYOUT_CHANGING_MS : LAYOUT_POLL_MS;
}
