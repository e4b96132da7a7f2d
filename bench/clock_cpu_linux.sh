#!/usr/bin/env bash
# What the native Linux clock costs while it runs: the real program for SECONDS
# each at 320, 640 and 1200 pixels with a sweeping seconds hand and at 320
# pixels stepping once a second, on a virtual 1920 x 1440 display with a
# compositing manager (1200 pixels is size 600 at scale 2). For each it
# reports, per second of wall time, the CPU time of the clock's process, of the
# X server and of the compositing manager; last, the same for a bare GTK 3
# window that wakes every 50 ms and draws nothing (bench/idle_gtk_window.c),
# the least any GTK program ticking as often costs. With "windows" it then runs
# bench/clock_cpu.sh, the Windows program under Wine, for the same SECONDS.
#   bench/clock_cpu_linux.sh [BUILD_DIR] [SECONDS] [windows]   (defaults: build/native, 60)
set -u
cd "$(dirname "$0")/.."
build=${1:-build/native} seconds=${2:-60} beside=${3:-}
WARM_UP=3 # seconds after the first frame before measuring

cmake --build "$build" --target velmor-clock idle_gtk_window >/dev/null || exit 1
set -- "$PWD/$build/linux/velmor-clock" 1920x1440 picom
. linux/e2e/common.sh # the display, the bus, the compositor, starting and closing the clock
xserver=${pids[0]} compositor=${pids[2]}

hz=$(getconf CLK_TCK)
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; } # user + system of all threads
now_ns() { date +%s%N; }
percent() { awk -v t="$1" -v h="$hz" -v w="$2" 'BEGIN { printf "%.2f", 100 * t / h / w }'; }

format="%-26s %9s %9s %11s\n"
printf "$format" "run ($seconds s)" "clock" "X" "compositor"
printf "$format" "" "CPU %" "server %" "CPU %"
clock=$program
while IFS='|' read -r name scale size smooth; do
  write_settings '[Clock]' "Size=$size" "Smooth=$smooth"
  program=$clock
  [ "$size" = idle ] && program="$PWD/$build/bench/idle_gtk_window"
  GDK_SCALE=$scale start_clock_and_wait
  sleep "$WARM_UP"
  c0=$(cpu_ticks "$clock_pid") x0=$(cpu_ticks "$xserver") m0=$(cpu_ticks "$compositor") t0=$(now_ns)
  sleep "$seconds"
  c1=$(cpu_ticks "$clock_pid") x1=$(cpu_ticks "$xserver") m1=$(cpu_ticks "$compositor") t1=$(now_ns)
  wall=$(awk -v a="$t0" -v b="$t1" 'BEGIN { print (b - a) / 1e9 }')
  printf "$format" "$name" "$(percent $((c1 - c0)) "$wall")" "$(percent $((x1 - x0)) "$wall")" \
    "$(percent $((m1 - m0)) "$wall")"
  close_clock "$name" >/dev/null
done <<RUNS
320 px, smooth seconds|1|320|1
640 px, smooth seconds|1|640|1
1200 px, smooth seconds|2|600|1
320 px, stepping seconds|1|320|0
bare GTK window, 50 ms|1|idle|0
RUNS

if [ "$beside" = windows ]; then
  echo
  echo "The Windows program under Wine:"
  bash bench/clock_cpu.sh build/windows-timing "$seconds"
fi
