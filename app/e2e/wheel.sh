#!/usr/bin/env bash
# The mouse wheel over the clock: a notch up grows it by 12 about its centre,
# with Shift by 2, a notch down shrinks it by 12; each size is saved 400 ms
# after the notch, not before. A notch of 12 animates frame by frame, seen
# from outside Wine: the 130 ms at 16 ms a frame show at least 4 widths between
# the old size and the new (frames on every other 15.6 ms system tick would
# show 3; all of them, 6 or 7).
#   wheel.sh PROGRAM.exe CLOCK-POKE.exe WINEPREFIX SCREEN DAMAGE-STAMPS
renice -n -10 $$ >/dev/null 2>&1 || true # ahead of other work on a busy machine
. "$(dirname "$0")/common.sh"

start_clock_and_wait
mouse_to_clock

# keys, expected size, window rectangle: the doubled centre (1920, 1080) stays.
from=320
while read -r keys size x y; do
  stamp_redraws 2 "$work/frames" &
  stamps_pid=$!
  sleep 0.3 # the watcher is listening
  before_ms=$(($(date +%s%N) / 1000000))
  case $keys in
    up) xdotool click 4 ;;
    shift-up) xdotool keydown shift click 4 keyup shift ;;
    down) xdotool click 5 ;;
  esac
  if wait_for 10 rect_is "$x $y $size $size"; then pass "$keys: $size x $size at ($x, $y)"
  else fail "$keys: window is '$(clock_rect)', expected $x $y $size $size"; fi
  check_settings 10 "$keys" Size="$size" X="$x" Y="$y"
  saved_ms=$(($(date -r "$(settings_file)" +%s%N) / 1000000))
  [ $((saved_ms - before_ms)) -ge 390 ] && pass "$keys: saved $((saved_ms - before_ms)) ms after the notch" \
    || fail "$keys: saved after $((saved_ms - before_ms)) ms, before the 400 ms delay"
  wait "$stamps_pid"
  between=$(awk -v a="$from" -v b="$size" '$1 == "sized" && ($2 - a) * ($2 - b) < 0 && !seen[$2]++ { n++ }
                                          END { print n + 0 }' "$work/frames")
  # A fine notch changes the width by two pixels: no room for widths between.
  if [ "$keys" = shift-up ]; then :
  elif [ "$between" -ge 4 ]; then pass "$keys: the animation showed $between widths on the way"
  else fail "$keys: the animation showed only $between widths on the way: $(awk '$1 == "sized" { printf "%s ", $2 }' "$work/frames")"; fi
  from=$size
done <<CASES
up 332 794 374
shift-up 334 793 373
down 322 799 379
CASES

close_clock
check_settings 0 "after close" Size=322 X=799 Y=379

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
