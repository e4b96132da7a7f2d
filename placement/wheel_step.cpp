#include "placement/wheel_step.h"

#include <cmath>

int WheelStep(double& carry, int delta, bool shift) {
    const double step = shift ? 2.0 : 12.0;
    // In this order: a fine wheel's fractions must add up exactly as they did
    // for the user before (40 with Shift gives 0, 1, 0, 1, 1, 0).
    const double x = step * delta / 120.0 + carry;
    const double whole = std::trunc(x);
    carry = x - whole;
    return static_cast<int>(whole);
}
