#!/usr/bin/env bash
# What a running clock costs: the real program under Wine for SECONDS each, at
# 320, 640 and 1200 pixels with a sweeping seconds hand and at 320 pixels
# stepping once a second, on a virtual 1920 x 1440 display (1200 pixels is size
# 600 at 192 DPI). For each it reports, per second of wall time, the CPU time of
# the clock's process (all its threads), of Wine's server and of the X server,
# and from inside the clock the time of our drawing and pixel copy apart from
# the platform's layered update (a build with VELMOR_FRAME_TIMING, made here).
#   bench/clock_cpu.sh [BUILD_DIR] [SECONDS]    (defaults: build/windows-timing, 60)
set -u
cd "$(dirname "$0")/.."
build=${1:-build/windows-timing} seconds=${2:-60}
WARM_UP=3  # seconds after the first frame before measuring

cmake -S . -B "$build" -G Ninja --toolchain cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DVELMOR_FRAME_TIMING=ON >/dev/null || exit 1
cmake --build "$build" --target velmor-clock clock-poke >/dev/null || exit 1
set -- "$PWD/$build/app/velmor-clock.exe" "$PWD/$build/app/e2e/clock-poke.exe" "$PWD/$build/bench-prefix" 1920x1440
. app/e2e/common.sh   # the display, the prefix, starting and closing the clock

hz=$(getconf CLK_TCK)
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }  # user + system of all threads
now_ns() { date +%s%N; }
# Wine's server of this prefix (other prefixes have servers of their own).
server_pid() {
  local pid
  for pid in $(pgrep -x wineserver64) $(pgrep -x wineserver); do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$prefix" && { echo "$pid"; return; }
  done
}
# Percent of one processor: SECONDS of time per WALL seconds.
percent() { awk -v t="$1" -v w="$2" 'BEGIN { printf "%.1f", 100 * t / w }'; }
seconds_of() { awk -v t="$1" -v h="$hz" 'BEGIN { print t / h }'; }
timing() { awk -v key="$1" '$1 == key { print $2 }' "$work/timing.txt"; }

format="%-26s %7s %9s %9s %9s %9s %7s\n"
printf "$format" "run ($seconds s)" "clock" "drawing" "layered" "Wine's" "X" "frames"
printf "$format" "" "CPU %" "+ copy %" "update %" "server %" "server %" "per s"
while IFS='|' read -r name dpi size smooth; do
  "${wine_run[@]}" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  write_settings '[Clock]' "Size=$size" "Smooth=$smooth"
  rm -f "$work/timing.txt"
  started=$(now_ns)
  VELMOR_FRAME_TIMING_FILE=$work/timing.txt start_clock
  wait_for 60 clock_shown || { echo "$name: no clock"; exit 1; }
  sleep "$WARM_UP"
  server=$(server_pid)
  c0=$(cpu_ticks "$clock_pid") s0=$(cpu_ticks "$server") x0=$(cpu_ticks "$xvfb_pid") t0=$(now_ns)
  sleep "$seconds"
  c1=$(cpu_ticks "$clock_pid") s1=$(cpu_ticks "$server") x1=$(cpu_ticks "$xvfb_pid") t1=$(now_ns)
  poke close
  await_exit 30
  # The in-program totals cover the clock's whole life, the rest the measured span.
  life=$(awk -v a="$started" -v b="$(now_ns)" 'BEGIN { print (b - a) / 1e9 }')
  wall=$(awk -v a="$t0" -v b="$t1" 'BEGIN { print (b - a) / 1e9 }')
  printf "$format" "$name" "$(percent "$(seconds_of $((c1 - c0)))" "$wall")" \
    "$(percent "$(timing drawing_seconds)" "$life")" "$(percent "$(timing layered_update_seconds)" "$life")" \
    "$(percent "$(seconds_of $((s1 - s0)))" "$wall")" "$(percent "$(seconds_of $((x1 - x0)))" "$wall")" \
    "$(awk -v f="$(timing frames)" -v l="$life" 'BEGIN { printf "%.1f", f / l }')"
  [ "$exit_code" = 0 ] || echo "  (the clock ended with $exit_code)"
  # A fresh server per run, so that each run's server time is its own.
  "${wine_run[@]}" --shutdown
done <<RUNS
320 px, smooth seconds|96|320|1
640 px, smooth seconds|96|640|1
1200 px, smooth seconds|192|600|1
320 px, stepping seconds|96|320|0
RUNS
"${wine_run[@]}" reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1
