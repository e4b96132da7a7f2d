#include "placement/window_calls.h"

void EnterWindowCall(WindowCalls& calls) {
    ++calls.depth;
}

std::optional<DpiChange> LeaveWindowCall(WindowCalls& calls) {
    if (calls.depth > 0) --calls.depth;
    if (calls.depth > 0) return std::nullopt;
    std::optional<DpiChange> change = calls.pending;
    calls.pending.reset();
    return change;
}

bool DeferDpiChange(WindowCalls& calls, const DpiChange& change) {
    if (calls.depth == 0) return false;
    calls.pending = change;
    return true;
}
