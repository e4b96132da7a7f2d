#!/usr/bin/env bash
# Dragging the clock with the left button: it follows the mouse, is pulled back
# inside the work area where it was let go half off the screen, and the new
# position is saved; "Bring clock to center" puts it back. With LockPosition=1 a drag leaves it where it is while the
# wheel and the menu still work; unlocking from the menu lets it move again.
#   drag.sh PROGRAM.exe CLOCK-POKE.exe WINEPREFIX
. "$(dirname "$0")/common.sh"

# dx, dy, where the clock ends: (800, 380) + (200, 100), then 700 more to the
# right would leave it at x = 1700, past the right edge: pulled back to 1600.
start_clock_and_wait
while read -r dx dy x y; do
  drag_by "$dx" "$dy"
  if wait_for 10 rect_is "$x $y 320 320"; then pass "drag by ($dx, $dy) ends at ($x, $y)"
  else fail "drag by ($dx, $dy): window is '$(clock_rect)', expected $x $y"; fi
  check_settings 10 "drag by ($dx, $dy)" X="$x" Y="$y"
done <<CASES
200 100 1000 480
700 0 1600 480
CASES
# "Bring clock to center", the fourth item from the bottom.
choose Up Up Up Up
if wait_for 10 rect_is "800 380 320 320"; then pass "\"Bring clock to center\" centres it"
else fail "after \"Bring clock to center\" the window is '$(clock_rect)'"; fi
check_settings 10 "centred" X=800 Y=380
close_clock

# Locked: the drag is ignored, so the wheel's resize keeps the old centre
# (460, 360): 332 pixels at (294, 194).
write_settings '[Clock]' Size=320 X=300 Y=200 LockPosition=1
start_clock_and_wait
drag_by 200 100
mouse_to_clock
xdotool click 4
if wait_for 10 rect_is "294 194 332 332"; then pass "locked: the drag left it, the wheel resized it about its centre"
else fail "locked: window is '$(clock_rect)', expected 294 194 332 332"; fi
check_settings 10 "locked, wheel" Size=332 X=294 Y=194 LockPosition=1

# "Lock position" is the menu's third item.
choose Down Down Down
check_settings 10 "unlocked from the menu" Size=332 X=294 Y=194 LockPosition=0
drag_by 100 50
if wait_for 10 rect_is "394 244 332 332"; then pass "unlocked: the drag moves it again"
else fail "unlocked: window is '$(clock_rect)', expected 394 244 332 332"; fi
check_settings 10 "unlocked drag" Size=332 X=394 Y=244

close_clock

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
