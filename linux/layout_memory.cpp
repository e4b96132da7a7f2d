#include "linux/layout_memory.h"

#include <optional>

#include "linux/clock.h"
#include "linux/files.h"
#include "linux/gtk_clock_window.h"
#include "linux/monitors.h"
#include "linux/surface.h"
#include "linux/timers.h"
#include "placement/clock_window.h"
#include "placement/size_model.h"

namespace {

constexpr std::size_t LARGEST_FILE = 4096; // MAX_LAYOUTS lines are far below it

MonitorLayout ReadLayout(GtkWidget* window) {
    return MakeLayout(DisplayMonitors(gtk_widget_get_display(window), WindowScale(window)));
}

void Keep(LayoutMemory& state, std::uint64_t layout) {
    state.memory.current = layout;
    if (!state.path.empty()) ReplaceFileAtomically(state.path, MemoryText(state.memory));
}

// Puts the clock where the user had it under `layout`, or, for a layout never
// seen, only inside its monitor as after any display change. The move is the
// program's: it is not remembered as the user's place.
void PlaceFor(LayoutMemory& state, const MonitorLayout& layout, Settings& settings, unsigned dpi) {
    StopResize();
    if (const std::optional<ClockPlace> place = ChoosePlace(layout, state.memory)) {
        settings.Size = ClampSize(place->size, dpi);
        Present(Pixels(settings.Size, dpi), place->topLeft, false);
    }
    KeepVisible(false);
    Schedule();
    if (state.memory.current != layout.signature) Keep(state, layout.signature);
}

} // namespace

std::string LayoutMemoryPath(const std::string& settingsPath) {
    const std::size_t slash = settingsPath.rfind('/');
    return slash == std::string::npos ? std::string() : settingsPath.substr(0, slash + 1) + "placements.txt";
}

void StartLayoutMemory(LayoutMemory& state, std::string path, GtkWidget* window, Settings& settings,
                       unsigned dpi) {
    state.path = std::move(path);
    const std::optional<std::string> text =
        state.path.empty() ? std::nullopt : ReadSmallFile(state.path, LARGEST_FILE);
    state.memory = text ? ParseMemory(*text) : PlacementMemory{};
    const MonitorLayout layout = ReadLayout(window);
    if (!layout.monitors.empty()) {
        state.watch.settled = layout.fingerprint;
        if (state.memory.current != layout.signature) PlaceFor(state, layout, settings, dpi);
    }
    StartTimer(LAYOUT_TIMER, PollInterval(state.watch));
}

void RememberPlace(LayoutMemory& state, GtkWidget* window, std::int32_t size) {
    const MonitorLayout layout = ReadLayout(window);
    if (const std::optional<RememberedPlace> place = PlaceOf(layout, ClockRect(), size)) {
        Remember(state.memory, *place);
        Keep(state, layout.signature);
    }
}

void PositionSaved(LayoutMemory& state, GtkWidget* window) {
    const MonitorLayout layout = ReadLayout(window);
    if (!layout.monitors.empty() && state.memory.current != layout.signature) Keep(state, layout.signature);
}

void UserPlacing(LayoutMemory& state, std::uint64_t now) {
    state.userPlacedAt = now;
}

void NoticeLayoutChange(LayoutMemory& state, std::uint64_t now) {
    state.noticedAt = now;
    NoticeChange(state.watch, now);
    StartTimer(LAYOUT_TIMER, PollInterval(state.watch));
}

void WatchLayout(LayoutMemory& state, GtkWidget* window, Settings& settings, unsigned dpi,
                 std::uint64_t now) {
    const MonitorLayout layout = ReadLayout(window);
    const unsigned interval = PollInterval(state.watch);
    const std::optional<std::uint64_t> fingerprint =
        layout.monitors.empty() ? std::nullopt : std::optional<std::uint64_t>(layout.fingerprint);
    if (PollLayout(state.watch, fingerprint, now) &&
        PlaceOnSettle(layout.signature, state.memory.current, state.userPlacedAt, state.noticedAt))
        PlaceFor(state, layout, settings, dpi);
    if (PollInterval(state.watch) != interval) StartTimer(LAYOUT_TIMER, PollInterval(state.watch));
}
