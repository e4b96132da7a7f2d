#include "app/layout_memory.h"

#include "app/clock.h"
#include "placement/clock_window.h"
#include "placement/placement_memory_file.h"
#include "placement/size_model.h"
#include "placement/windows_monitors.h"

namespace {

// The poll needs no precision: Windows may fire it together with other
// timers, so the processor wakes less often.
void StartPoll(HWND window, unsigned interval) {
    SetCoalescableTimer(window, LAYOUT_TIMER, interval, nullptr, TIMERV_DEFAULT_COALESCING);
}

void Keep(LayoutMemory& state, std::uint64_t layout) {
    state.memory.current = layout;
    SavePlacementMemory(state.path, state.memory);
}

// Puts the clock where the user had it under `layout`, or, for a layout never
// seen, only inside its monitor as after any display change. The move is the
// program's: it is not remembered as the user's place.
void PlaceFor(LayoutMemory& state, const MonitorLayout& layout, Settings& settings, unsigned dpi) {
    StopResize();
    if (const std::optional<ClockPlace> place = ChoosePlace(layout, state.memory)) {
        settings.Size = ClampSize(place->size, dpi);
        Present(Pixels(settings.Size, dpi), POINT{place->topLeft.x, place->topLeft.y}, false);
    }
    KeepVisible(false);
    Schedule();
    if (state.memory.current != layout.signature) Keep(state, layout.signature);
}

} // namespace

void StartLayoutMemory(LayoutMemory& state, std::wstring path, HWND window, Settings& settings,
                       unsigned dpi) {
    state.path = std::move(path);
    state.memory = LoadPlacementMemory(state.path);
    if (const std::optional<MonitorLayout> layout = ReadMonitorLayout()) {
        state.watch.settled = layout->fingerprint;
        if (state.memory.current != layout->signature) PlaceFor(state, *layout, settings, dpi);
    }
    StartPoll(window, PollInterval(state.watch));
}

void RememberPlace(LayoutMemory& state, HWND window, std::int32_t size) {
    const std::optional<MonitorLayout> layout = ReadMonitorLayout();
    RECT rect{};
    if (!layout || IsIconic(window) || !GetWindowRect(window, &rect)) return;
    if (const std::optional<RememberedPlace> place =
            PlaceOf(*layout, {rect.left, rect.top, rect.right, rect.bottom}, size)) {
        Remember(state.memory, *place);
        Keep(state, layout->signature);
    }
}

void PositionSaved(LayoutMemory& state) {
    const std::optional<MonitorLayout> layout = ReadMonitorLayout();
    if (layout && state.memory.current != layout->signature) Keep(state, layout->signature);
}

void UserPlacing(LayoutMemory& state, std::uint64_t now) {
    state.userPlacedAt = now;
}

void NoticeLayoutChange(LayoutMemory& state, HWND window, std::uint64_t now) {
    state.noticedAt = now;
    NoticeChange(state.watch, now);
    StartPoll(window, PollInterval(state.watch));
}

void WatchLayout(LayoutMemory& state, HWND window, Settings& settings, unsigned dpi, std::uint64_t now) {
    const std::optional<MonitorLayout> layout = ReadMonitorLayout();
    const unsigned interval = PollInterval(state.watch);
    const std::optional<std::uint64_t> fingerprint =
        layout ? std::optional<std::uint64_t>(layout->fingerprint) : std::nullopt;
    if (PollLayout(state.watch, fingerprint, now) &&
        PlaceOnSettle(layout->signature, state.memory.current, state.userPlacedAt, state.noticedAt))
        PlaceFor(state, *layout, settings, dpi);
    if (PollInterval(state.watch) != interval) StartPoll(window, PollInterval(state.watch));
}
