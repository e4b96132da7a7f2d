#include "linux/timers.h"

#include <glib.h>

#include <array>

namespace {

constexpr int TIMER_COUNT = 8;
std::array<guint, TIMER_COUNT> sources{};
TimerHandler handler = nullptr;

gboolean Fire(gpointer data) {
    const int id = GPOINTER_TO_INT(data);
    const guint self = g_source_get_id(g_main_current_source());
    if (handler) handler(id);
    // The handler may have restarted or stopped this timer: then this source ends.
    return sources[id] == self ? G_SOURCE_CONTINUE : G_SOURCE_REMOVE;
}

// Ends the source of `id` unless it is the one firing now (which ends itself).
void Drop(int id) {
    const guint source = sources[id];
    sources[id] = 0;
    GSource* current = g_main_current_source();
    if (source != 0 && !(current && g_source_get_id(current) == source)) g_source_remove(source);
}

} // namespace

std::uint64_t Milliseconds() {
    return static_cast<std::uint64_t>(g_get_monotonic_time() / 1000);
}

void SetTimerHandler(TimerHandler h) {
    handler = h;
}

void StartTimer(int id, unsigned interval) {
    if (id < 0 || id >= TIMER_COUNT) return;
    Drop(id);
    sources[id] = g_timeout_add(interval, Fire, GINT_TO_POINTER(id));
}

void StopTimer(int id) {
    if (id >= 0 && id < TIMER_COUNT) Drop(id);
}

void StopAllTimers() {
    for (int id = 0; id < TIMER_COUNT; ++id)
        Drop(id);
}
