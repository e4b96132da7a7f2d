#!/usr/bin/env bash
# The size dialog by keyboard, as a user has it: "Clock size..." opens it with
# the focus on the slider, Right grows the clock by one, and Enter presses
# "Done", which closes the dialog and saves; Escape closes it as well.
#   size_dialog.sh PROGRAM.exe CLOCK-POKE.exe WINEPREFIX
. "$(dirname "$0")/common.sh"

write_settings '[Clock]' Size=320 X=400 Y=300
start_clock_and_wait
# The key that closes it, and the clock after Right: one bigger about its centre.
while read -r key size x y; do
  choose Down   # "Clock size...", the first item
  wait_for 10 dialog_open || { fail "no size dialog"; continue; }
  sleep 0.5
  xdotool key Right
  wait_for 10 rect_is "$x $y $size $size" \
    || fail "Right on the slider: window '$(clock_rect)', expected $size pixels"
  xdotool key "$key"
  if wait_for 10 dialog_closed; then pass "$key closes the size dialog"; else fail "$key left the size dialog open"; fi
  check_settings 10 "$key" Size="$size" X="$x" Y="$y"
done <<CASES
Return 321 399 299
Escape 322 398 298
CASES
close_clock

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
