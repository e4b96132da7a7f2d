#!/usr/bin/env bash
# A move to a 192-DPI monitor (WM_DPICHANGED, which Wine never sends): size 900
# becomes 600, a 1200-pixel clock, where the work area holds 1200 pixels; on a
# work area 1080 high the monitor cap stores 540. The size is saved, and a move
# back to 96 DPI keeps it.
#   dpi.sh PROGRAM.exe CLOCK-POKE.exe WINEPREFIX SCREEN   (SCREEN: 1920x1440 or 1920x1080)
. "$(dirname "$0")/common.sh"
height=${screen#*x}
size=$((height / 2 < 600 ? height / 2 : 600))   # MulDiv(height, 96, 192), never above 115200 / 192
y=$((height - 2 * size < 100 ? height - 2 * size : 100))

write_settings '[Clock]' Size=900 X=100 Y=100
start_clock_and_wait
[ "$(clock_rect)" = "100 100 900 900" ] && pass "900 pixels at 96 DPI" || fail "window '$(clock_rect)' at start"

# dpi, the window after it, what is saved.
while read -r dpi rect; do
  # The system suggests the window's own place.
  read -r left top _ < <(clock_rect)
  poke dpi "$dpi" "$left" "$top" $((left + 1000)) $((top + 1000))
  if wait_for 10 rect_is "$rect"; then pass "$dpi DPI on a $screen screen: window $rect"
  else fail "$dpi DPI: window '$(clock_rect)', expected $rect"; fi
  check_settings 10 "$dpi DPI" Size=$size X=100 Y=$y
done <<CASES
192 100 $y $((2 * size)) $((2 * size))
96 100 $y $size $size
CASES

close_clock

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
