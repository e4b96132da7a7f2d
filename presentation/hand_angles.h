// The hand angles for a time of day, in degrees clockwise from 12 o'clock.
#pragma once

#include "renderer/renderer.h"

struct HandAngles {
    float hour = 0;   // [0, 360)
    float minute = 0; // [0, 360)
    float second = 0; // [0, 360)
};

// The renderer's angles (velmor::handAngles) narrowed to float; `smooth` adds
// the milliseconds, so every hand moves continuously.
HandAngles TimeAngles(velmor::Time time, bool smooth);

// A double angle in [0, 360) as the nearest float that is still below 360.
float AngleToFloat(double degrees);
