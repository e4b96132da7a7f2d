// The monitors and work areas GDK reports, in screen pixels (GDK's
// application pixels times each monitor's scale factor).
#pragma once

#include <gtk/gtk.h>

#include <vector>

#include "placement/geometry.h"
#include "placement/monitor_layout.h"

// The display's monitors.
std::vector<Monitor> DisplayMonitors(GdkDisplay* display, int scale);

// The work area of the monitor nearest to `rect` (the one holding most of it);
// the whole screen when GDK lists no monitor.
ScreenRect WorkAreaNear(GdkDisplay* display, int scale, const ScreenRect& rect);
