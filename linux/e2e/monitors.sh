#!/usr/bin/env bash
# A monitor unplugged and plugged in again while the clock runs, and between
# runs, on Xorg's dummy driver: two 1024 x 768 outputs side by side. The clock
# is dragged onto the second one; switched off, the clock comes onto the first;
# switched on again, the clock returns to the user's spot once the change has
# settled. Closed on one monitor and started on two, it starts at the user's
# spot there; a damaged memory file remembers nothing.
#   monitors.sh PROGRAM
xorg_config=$(cd "$(dirname "$0")/../../app/e2e" && pwd)/dummy_monitors.conf
. "$(dirname "$0")/common.sh"
# GDK tells the clock itself, and it moves at once.
announce_display_change() { :; }
. "$source/testing/monitors_steps.sh"
