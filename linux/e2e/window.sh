#!/usr/bin/env bash
# The clock window as a user meets it: it appears centred and round (its
# corners show the desktop, and clicks there reach what lies under it), its
# hands move, the wheel resizes it about its centre and the size is saved
# late, and a drag moves it and saves the place. With COMPOSITOR "none" the
# same holds on a screen without a compositing manager (a shape mask), and
# with SERVER_OPTIONS "-extension MIT-SHM" on a server that shares no memory
# (GTK paints every tick).
#   window.sh PROGRAM [SCREEN] [COMPOSITOR] [SERVER_OPTIONS]
. "$(dirname "$0")/common.sh"

start_clock_and_wait
check_rect 10 "first start, centred" "800 380 320 320"
# What a window manager reads: out of the taskbar and pager, on every workspace,
# not above other windows (Always on top is off), and the program's title.
hints=$(xprop -id "$(clock_xwindow)" _NET_WM_STATE _NET_WM_DESKTOP _NET_WM_NAME)
for hint in _NET_WM_STATE_SKIP_TASKBAR _NET_WM_STATE_SKIP_PAGER _NET_WM_STATE_STICKY \
            "_NET_WM_DESKTOP(CARDINAL) = 4294967295" '_NET_WM_NAME(UTF8_STRING) = "Velmor Clock"'; do
  [[ "$hints" == *"$hint"* ]] && pass "the window has $hint" || fail "the window lacks $hint: $hints"
done
[[ "$hints" != *_NET_WM_STATE_ABOVE* ]] && pass "not above other windows" || fail "above other windows: $hints"

# Round: the corners show the desktop (as it shows far from the clock), the face does not.
desktop=$(pixel 5 5) corner=$(pixel 803 383) middle=$(pixel 960 460)
# Without a compositing manager the desktop is the plain colour the X server
# paints, which an unshaped window's transparent corner would cover in black.
[ "$compositor" = none ] && [ "$desktop" != "$DESKTOP" ] && fail "the desktop shows $desktop, not $DESKTOP"
[ "$corner" = "$desktop" ] && pass "a corner shows the desktop" || fail "a corner shows $corner, not $desktop"
[ "$middle" != "$desktop" ] && pass "the face is drawn ($middle)" || fail "the face shows the desktop"
# Clicks on a transparent corner are not the clock's: no menu opens there.
xdotool mousemove 803 383 click 3
sleep 0.5
menu_closed && pass "a right-click on a corner opens no menu" || { fail "a corner took the click"; xdotool key Escape; }

# The hands move: the same rectangle differs a second later.
screenshot "$work/a.png"; sleep 1.1; screenshot "$work/b.png"
moved=$(differing_pixels "$work/a.png" "$work/b.png" 320 320 800 380)
[ "${moved%%.*}" -gt 50 ] && pass "the hands moved ($moved pixels)" || fail "the hands did not move ($moved pixels)"

# Where the server can share memory, the ticks put the frame's pixels from a
# segment of its size; a resize gives the old segment back.
if [[ "$server_options" == *MIT-SHM* ]]; then
  [ "$(frame_segments 320)" = 0 ] && pass "no memory shared without the extension" ||
    fail "a segment shared without the extension"
else
  [ "$(frame_segments 320)" = 1 ] && pass "the frame's pixels are shared with the X server" ||
    fail "$(frame_segments 320) shared segments of a 320-pixel frame"
fi

# Wheel: one notch up is 12 size units about the centre, Shift two; saved
# 400 ms after the last notch, not before.
mouse_to_clock
xdotool click 4
check_rect 5 "one notch up" "794 374 332 332"
[ -e "$(settings_file)" ] && fail "saved at once: $(settings_text)" || pass "not saved at once"
xdotool keydown shift click 4 keyup shift
check_rect 5 "one fine notch up" "793 373 334 334"
check_settings 5 "after the wheel" Size=334 X=793 Y=373
xdotool click 5 click 5
check_rect 5 "two notches down" "805 385 310 310"
check_settings 5 "after two notches down" Size=310 X=805 Y=385
if [[ "$server_options" != *MIT-SHM* ]]; then
  segments="$(frame_segments 320) $(frame_segments 334) $(frame_segments 310)"
  [ "$segments" = "0 0 1" ] && pass "one segment, of the new size" ||
    fail "segments of 320, 334 and 310 pixels: $segments"
fi

# Drag: the clock follows the mouse, and its place is saved when the button is up.
drag_by 200 -100
check_rect 5 "dragged" "1005 285 310 310"
check_settings 5 "after the drag" Size=310 X=1005 Y=285
# Not beyond the screen: a drag far to the right leaves the clock at the edge.
drag_by 900 0
check_rect 5 "dragged past the right edge" "1610 285 310 310"
check_settings 5 "after the drag past the edge" Size=310 X=1610 Y=285

# What the ticks painted piece by piece is the whole frame: with a stepping
# hand, a screenshot early in a second equals one taken after the clock's
# window was mapped again, which paints it whole from the clock's surface
# (no trails of the hands).
choose Down Down Down Down Down # Smooth seconds hand: off
check_settings 5 "stepping" Size=310 X=1610 Y=285 Smooth=0
sleep 3
read -r x y w h < <(clock_rect)
ms() { echo $((10#$(date +%N) / 1000000)); }
window=$(clock_xwindow)
# A second may turn between the two screenshots on a busy machine: up to three
# tries. Trails stay from try to try.
for try in 1 2 3; do
  wait_for 2 eval '[ "$(ms)" -ge 100 ] && [ "$(ms)" -le 250 ]'
  screenshot "$work/ticked.png"
  xdotool windowunmap --sync "$window" windowmap --sync "$window" sleep 0.2
  screenshot "$work/repainted.png"
  trails=$(differing_pixels "$work/ticked.png" "$work/repainted.png" "$w" "$h" "$x" "$y")
  [ "${trails%%.*}" = 0 ] && break
done
[ "${trails%%.*}" = 0 ] && pass "the ticks left no trails" || fail "$trails pixels differ from a full repaint"

close_clock "closed"
check_settings 1 "after closing" Size=310 X=1610 Y=285 Smooth=0

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
