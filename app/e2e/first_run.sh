#!/usr/bin/env bash
# A first run without settings: a round 320-pixel layered tool window titled
# "Velmor Clock", centred on the work area, with transparent corners and moving
# hands; no settings file until something is saved, then the position.
#   first_run.sh PROGRAM.exe CLOCK-POKE.exe WINEPREFIX
. "$(dirname "$0")/common.sh"

screenshot "$work/desktop.png"
start_clock_and_wait

# Wine on a bare display: the work area is the whole screen.
[ "$(info_field work)" = "0 0 1920 1080" ] && pass "work area is the whole 1920 x 1080 screen" \
  || fail "work area is '$(info_field work)'"
[ "$(clock_rect)" = "800 380 320 320" ] && pass "320 x 320 centred on the work area" \
  || fail "window is '$(clock_rect)', expected 800 380 320 320"
window=$(clock_xwindow)
[ "$(xgeometry "$window")" = "800 380 320 320" ] && pass "the X window has the same place and size" \
  || fail "X window geometry is '$(xgeometry "$window")'"
info=$(poke info)
grep -qx 'title Velmor Clock' <<<"$info" && grep -qx 'layered 1' <<<"$info" && grep -qx 'toolwindow 1' <<<"$info" \
  && pass "layered tool window titled Velmor Clock" || fail "window info: $(tr '\n' ' ' <<<"$info")"
[ ! -e "$(settings_file)" ] && pass "nothing saved before a change" || fail "a settings file was written at start"

# Round: the corners show the desktop as it was, the face covers the centre.
screenshot "$work/first.png"
corners=0
for corner in "800 380" "1096 380" "800 676" "1096 676"; do
  read -r x y <<<"$corner"
  corners=$((corners + $(differing_pixels "$work/desktop.png" "$work/first.png" 24 24 "$x" "$y")))
done
[ "$corners" -eq 0 ] && pass "the four 24 x 24 corners are transparent" || fail "$corners corner pixels changed"
centre=$(differing_pixels "$work/desktop.png" "$work/first.png" 200 200 860 440)
[ "$centre" -gt 36000 ] && pass "the face covers the middle ($centre of 40000 pixels drawn)" \
  || fail "only $centre of the middle 40000 pixels drawn"

# The hands move: a screenshot a second later differs inside the clock.
start_ms=$(($(date +%s%N) / 1000000))
hands_moved() {
  [ $(($(date +%s%N) / 1000000 - start_ms)) -ge 1000 ] || return 1
  screenshot "$work/later.png"
  [ "$(differing_pixels "$work/first.png" "$work/later.png" 320 320 800 380)" -gt 0 ]
}
wait_for 5 hands_moved && pass "the hands moved within a second" || fail "the picture did not change"

# Closing the window ends the program with 0 and saves where it stood.
close_clock
check_settings 0 "after close" Size=320 X=800 Y=380

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
