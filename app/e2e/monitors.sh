#!/usr/bin/env bash
# A monitor unplugged and plugged in again while the clock runs, and between
# runs, on Xorg's dummy driver: two 1024 x 768 outputs side by side. The clock
# is dragged onto the second one; switched off, the clock comes onto the first;
# switched on again, the clock returns to the user's spot once the change has
# settled. Wine sends no WM_DISPLAYCHANGE for these: the clock's poll sees them,
# except once, where clock-poke sends it as Windows does. Closed on one monitor
# before that change settles and started on two, it starts at the user's spot.
#   monitors.sh PROGRAM.exe CLOCK-POKE.exe WINEPREFIX
xorg_config=$(cd "$(dirname "$0")" && pwd)/dummy_monitors.conf
. "$(dirname "$0")/common.sh"
# What Windows sends when a monitor goes or comes; the clock moves at once.
announce_display_change() { poke displaychange >/dev/null; }
. "$source/testing/monitors_steps.sh"
