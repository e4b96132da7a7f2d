#!/usr/bin/env bash
# A monitor unplugged and plugged in again while the clock runs, and between
# runs, on Xorg's dummy driver: two 1024 x 768 outputs side by side. The clock
# is dragged onto the second one; switched off, the clock comes onto the first;
# switched on again, the clock returns to the user's spot once the change has
# settled. Wine sends no WM_DISPLAYCHANGE for these: the clock's poll sees them.
# Closed on one monitor and started on two, it starts at the user's spot there.
#   monitors.sh PROGRAM.exe CLOCK-POKE.exe WINEPREFIX
xorg_config=$(cd "$(dirname "$0")" && pwd)/dummy_monitors.conf
. "$(dirname "$0")/common.sh"
. "$source/testing/monitors_steps.sh"
