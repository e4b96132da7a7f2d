#!/usr/bin/env bash
# The context menu read back through the accessibility bus (items, order,
# kinds, check marks), items chosen with keys changing the settings file, the
# size dialog's slider resizing the clock, "Start at login" writing and
# removing the autostart entry, and a second start showing a hidden clock.
#   menu.sh PROGRAM [SCREEN] [COMPOSITOR]
. "$(dirname "$0")/common.sh"

check_menu() {
  local what=$1; shift
  if ! open_menu; then fail "$what: the menu did not open"; return; fi
  if diff <(expected_menu "$@") <(menu_items) >"$work/menu.diff"; then pass "$what: items and check marks"
  else fail "$what: menu differs"; cat "$work/menu.diff"; fi
  xdotool key Escape
  wait_for 10 menu_closed || fail "$what: Escape left the menu open"
}

start_clock_and_wait
check_menu "defaults" 0 0 1 1 1 0 1 0 1 0 Hide
# A dismissed menu changes and saves nothing.
[ -e "$(settings_file)" ] && fail "a dismissed menu saved" || pass "a dismissed menu saved nothing"

# Keys: Down to the first item and on; Up from the last. Separators are skipped.
choose Down Down Down                 # Lock position
check_settings 5 "Lock position chosen" X=800 Y=380 LockPosition=1
choose Down Down Down Down Down       # Smooth seconds hand
check_settings 5 "Smooth seconds hand chosen" X=800 Y=380 LockPosition=1 Smooth=0
choose Down Down Down Down Down Down Down Right Down Down   # Reflection strength > Strong
check_settings 5 "Strong chosen" X=800 Y=380 LockPosition=1 Smooth=0 ReflectionStrength=135
check_menu "after three choices" 0 1 1 0 1 0 0 1 1 0 Hide
# A locked clock stays where it is when dragged.
drag_by 200 100
sleep 1
check_rect 1 "a locked clock after a drag" "800 380 320 320"

# Start at login: the entry starts exactly this program, and goes again.
entry="$XDG_CONFIG_HOME/autostart/velmor-clock.desktop"
choose Up Up Up Up Up
if wait_for 5 test -f "$entry" && grep -qxF "Exec=\"$(readlink -f "$program")\"" "$entry"; then
  pass "Start at login wrote the autostart entry"
else fail "no autostart entry for the program: $(cat "$entry" 2>/dev/null)"; fi
check_menu "with the autostart entry" 0 1 1 0 1 0 0 1 1 1 Hide
choose Up Up Up Up Up
wait_for 5 test ! -e "$entry" && pass "Start at login again removed the entry" || fail "the entry stayed"

# The size dialog: its slider at the far end makes the clock as large as it goes.
choose Down
dialog=""
find_dialog() { dialog=$(size_dialog_window); [ -n "$dialog" ]; }
if wait_for 10 find_dialog; then
  pass "Clock size... opened the size dialog"
  xdotool windowfocus --sync "$dialog" key End
  check_rect 10 "the slider at its end" "510 90 900 900"
  xdotool key Escape
  wait_for 5 eval '! find_dialog' && pass "Escape closed the dialog" || fail "the dialog stayed open"
  check_settings 5 "the dialog closed" Size=900 X=510 Y=90 LockPosition=1 Smooth=0 ReflectionStrength=135
else fail "no size dialog"; fi

# Hidden, then started again: the running clock shows itself, and the second start ends.
choose Up Up Up
wait_for 5 clock_hidden && pass "Hide clock hid the window" || fail "the window stayed"
"$program" </dev/null >>"$work/second.log" 2>&1 &
second=$!
if wait_for 20 eval '! kill -0 $second 2>/dev/null'; then
  wait "$second"; code=$?
  [ "$code" = 0 ] && pass "the second start ended with 0" || fail "the second start ended with $code"
else fail "the second start is still running"; kill "$second"; fi
wait_for 10 clock_shown && pass "the second start showed the clock" || fail "the clock stayed hidden"
check_rect 5 "shown again" "510 90 900 900"
check_menu "shown again" 0 1 1 0 1 0 0 1 1 0 Hide

choose Up                             # Exit
expect_exit_0 "Exit" 20
clock_pid=""
check_settings 1 "after Exit" Size=900 X=510 Y=90 LockPosition=1 Smooth=0 ReflectionStrength=135

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
