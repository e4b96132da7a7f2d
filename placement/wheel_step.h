// Wheel resizing: how many size units a wheel message asks for.
#pragma once

// One notch (delta 120) is 12 size units, 2 with Shift. A finer wheel's
// smaller deltas build up in `carry`, which keeps the fraction left over (with
// its sign) for the next message. Returns the whole step, toward zero.
int WheelStep(double& carry, int delta, bool shift);
