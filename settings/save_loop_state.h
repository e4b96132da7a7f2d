// The states the save-loop helper writes, one per step: every field follows
// from the step number, so a file on disk names exactly one step (its Y).
#pragma once

#include "settings/settings.h"

inline Settings SaveLoopState(int step) {
    Settings s;
    s.Size = 160 + step % 741;
    s.X = -3 * step - 1;
    s.Y = step;
    s.ReflectionStrength = 50 + step % 101;
    s.Seconds = step % 2 == 0;
    s.Smooth = step % 3 == 0;
    s.AlwaysOnTop = step % 5 == 0;
    return s;
}
