#include "presentation/hand_angles.h"

#include <cmath>

float AngleToFloat(double degrees) {
    // Just below a full turn (23:59:59.999 gives 359.9999917) the nearest float
    // is 360 itself: keep the hand on this side of 12 o'clock.
    constexpr float FULL_TURN = 360.0f;
    const float angle = static_cast<float>(degrees);
    return angle < FULL_TURN ? angle : std::nextafter(FULL_TURN, 0.0f);
}

HandAngles TimeAngles(velmor::Time time, bool smooth) {
    const velmor::Angles angles = velmor::handAngles(time, smooth);
    return {AngleToFloat(angles.hour), AngleToFloat(angles.minute), AngleToFloat(angles.second)};
}
