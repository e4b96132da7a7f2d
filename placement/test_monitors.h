// Monitors the placement tests share: a laptop with its taskbar and a second
// monitor to its right or left.
#pragma once

#include <string>

#include "placement/monitor_layout.h"

namespace test_monitors {

inline constexpr int TASKBAR = 40;

inline Monitor Screen(std::u16string device, ScreenRect rect, bool primary, unsigned dpi = 96) {
    return {std::move(device), rect, {rect.left, rect.top, rect.right, rect.bottom - TASKBAR}, dpi, primary};
}

// A laptop at the origin and a 2560 x 1440 monitor, as the system lists them.
inline const Monitor LAPTOP = Screen(u"\\\\.\\DISPLAY1", {0, 0, 1920, 1080}, true);
inline const Monitor RIGHT = Screen(u"\\\\.\\DISPLAY2", {1920, 0, 4480, 1440}, false);
inline const Monitor LEFT = Screen(u"\\\\.\\DISPLAY2", {-2560, 0, 0, 1440}, false);
inline const MonitorLayout DOCKED = MakeLayout({LAPTOP, RIGHT});
inline const MonitorLayout UNDOCKED = MakeLayout({LAPTOP});

} // namespace test_monitors
