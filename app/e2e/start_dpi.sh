#!/usr/bin/env bash
# A clock started at 192 DPI (Wine's LogPixels in a prefix of its own, so no
# other scenario sees it): a stored size of 900 becomes 600, a clock of 1200
# pixels, the largest; a wheel notch up keeps it there and still saves, a
# notch down gives 588, 1176 pixels about the same centre.
#   start_dpi.sh PROGRAM.exe CLOCK-POKE.exe WINEPREFIX   (on a 1920 x 1440 screen)
set -- "$1" "$2" "$3" 1920x1440
. "$(dirname "$0")/common.sh"
"${wine_run[@]}" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 192 /f >/dev/null 2>&1 \
  || { fail "LogPixels could not be set"; exit 1; }

write_settings '[Clock]' Size=900
start_clock_and_wait
[ "$(clock_rect)" = "360 120 1200 1200" ] && pass "size 900 at 192 DPI starts as 1200 pixels, centred" \
  || fail "window '$(clock_rect)' at start"
mouse_to_clock
while read -r button size rect; do
  xdotool click "$button"
  if wait_for 10 rect_is "$rect"; then pass "button $button: window $rect"
  else fail "button $button: window '$(clock_rect)', expected $rect"; fi
  read -r x y _ <<<"$rect"
  check_settings 10 "button $button" Size="$size" X="$x" Y="$y"
done <<CASES
4 600 360 120 1200 1200
5 588 372 132 1176 1176
CASES
close_clock

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
