// The monitor layout as Windows reports it now (Win32 only).
#pragma once

#include <optional>

#include "placement/monitor_layout.h"

// Every monitor with its device name, rectangle, work area, DPI and primary
// flag; none while monitors come and go and a query fails, or when there is none.
std::optional<MonitorLayout> ReadMonitorLayout();
