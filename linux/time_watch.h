// The wall clock's jumps: a change of the system time, and a resume from
// sleep (which the kernel reports the same way), so the hands show the new
// time at once instead of at the next tick.
#pragma once

// Calls `changed` on the main loop after each jump; false when the system
// cannot tell (the clock then catches up at its next tick).
bool WatchTimeChanges(void (*changed)());
