#!/usr/bin/env bash
# The context menu: a right-click opens it at the mouse, Escape dismisses it
# without saving, each option chosen flips its setting in the file, "Start with
# Windows" is ticked only when the shell will start the clock and choosing it
# leaves the Run value and the shell's switch for it both on, "Exit" ends the
# program with 0 and saves exactly once.
#   menu.sh PROGRAM.exe CLOCK-POKE.exe WINEPREFIX
. "$(dirname "$0")/common.sh"

start_clock_and_wait
open_menu && pass "a right-click opens the menu" || fail "no menu after a right-click"
read -r _ _ left top _ < <(poke menu)
[ "$left $top" = "960 540" ] && pass "the menu opens at the mouse" || fail "the menu is at ($left, $top)"
xdotool key Escape
wait_for 10 menu_closed || fail "Escape left the menu open"
[ ! -e "$(settings_file)" ] && pass "a dismissed menu saves nothing" || fail "dismissing the menu saved"

# Keys from the top (Down) of the menu, and what the file says after each.
settings=(X=800 Y=380)
while IFS='|' read -r what change keys; do
  # shellcheck disable=SC2086 # the keys and the settings are separate words
  choose $keys
  # shellcheck disable=SC2206
  settings+=($change)
  check_settings 10 "$what" "${settings[@]}"
done <<CASES
Hand shadows|Shadows=0|Down Down Down Down Down Down Down Down
Smooth seconds hand|Smooth=0|Down Down Down Down Down
Strong reflection|ReflectionStrength=135|Down Down Down Down Down Down Down Right Down Down
Crystal reflection|Crystal=0|Down Down Down Down Down Down
Normal reflection turns the crystal on|ReflectionStrength=100 Crystal=1|Down Down Down Down Down Down Down Right Down
Always on top|AlwaysOnTop=1|Down Down
CASES
[ "$(info_field topmost)" = 1 ] && pass "\"Always on top\" makes it topmost" || fail "not topmost"
choose Down Down
[ "$(info_field topmost)" = 0 ] && pass "and again not" || fail "still topmost"
settings+=(AlwaysOnTop=0)

# "Start with Windows" against the shell's own switch (Task Manager's "Startup
# apps" leave the Run value and mark it off beside it). The check mark is read
# from the screen: the menu's picture is compared with its picture with and
# without the mark.
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
approved_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run'
# The value "VelmorClock" under KEY as `reg query` shows it, "TYPE    DATA", or nothing.
reg_value() { "${wine_run[@]}" reg query "$1" /v VelmorClock </dev/null 2>/dev/null | tr -d '\r' | sed -n 's/^    VelmorClock    //p'; }
reg_delete() { "${wine_run[@]}" reg delete "$1" /v VelmorClock /f </dev/null >/dev/null 2>&1; }
reg_binary() { "${wine_run[@]}" reg add "$1" /v VelmorClock /t REG_BINARY /d "$2" /f </dev/null >/dev/null 2>&1; }
values() { echo "Run '$(reg_value "$run_key")', switch '$(reg_value "$approved_key")'"; }
values_match() { [ "$(values)" = "$1" ]; }
# The two values are RUN and SWITCH (polled: the command runs as the menu closes).
#   values_are RUN SWITCH WHAT
values_are() {
  local expected="Run '$1', switch '$2'"
  if wait_for 10 values_match "$expected"; then pass "$3: $expected"
  else fail "$3: $(values), expected $expected"; fi
}
# The open menu's picture, in FILE.
menu_picture() {
  local l t r b
  open_menu || { fail "no menu for $1"; return 1; }
  read -r _ _ l t r b < <(poke menu)
  sleep 0.3   # let it finish drawing
  import -window root -crop "$((r - l))x$((b - t))+$l+$t" +repage "$work/$1.png"
  xdotool key Escape
  wait_for 10 menu_closed || fail "Escape left the menu open"
}
same_picture() { [ "$(compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1)" = 0 ]; }
for key in "$run_key" "$approved_key"; do reg_delete "$key"; cleanups+=("reg_delete '$key'"); done
start_item=(Down Down Down Down Down Down Down Down Down)
quoted="REG_SZ    \"$(windows_path "$exe")\""
menu_picture unticked
choose "${start_item[@]}"
values_are "$quoted" "" "\"Start with Windows\" chosen"
menu_picture ticked
# The mark is all that changes, in the column left of the texts.
mark_column=20
read -r menu_width menu_height < <(identify -format '%w %h' "$work/ticked.png")
if ! same_picture unticked ticked && [ "$(differing_pixels "$work/unticked.png" "$work/ticked.png" \
  $((menu_width - mark_column)) "$menu_height" "$mark_column" 0)" = 0 ]; then
  pass "\"Start with Windows\" chosen: a check mark appears"
else
  fail "\"Start with Windows\" chosen: no check mark, or more than it changed"
fi
# Switched off in Task Manager: the Run value stays, the switch is odd and stamped.
reg_binary "$approved_key" 070000007179C9AE16D9D101
menu_picture switched_off
same_picture switched_off unticked && pass "switched off by the shell: no check mark" \
  || fail "switched off by the shell: the menu is not the unticked one"
choose "${start_item[@]}"
values_are "$quoted" "REG_BINARY    060000000000000000000000" "chosen while switched off"
menu_picture switched_on
same_picture switched_on ticked && pass "switched on again: the check mark is back" \
  || fail "switched on again: the menu is not the ticked one"
choose "${start_item[@]}"
values_are "" "" "\"Start with Windows\" chosen again"
check_settings 10 "after \"Start with Windows\"" "${settings[@]}"

# Exit: the process ends with 0 after one save of the settings as they are.
inotifywait -m -e moved_to --format '%f' "$(settings_dir)" >"$work/saves" 2>"$work/inotify.log" &
watcher=$!
wait_for 10 grep -qs 'Watches established' "$work/inotify.log" || fail "could not watch the settings folder"
choose Up
expect_exit_0 "\"Exit\""
kill "$watcher" 2>/dev/null
wait "$watcher" 2>/dev/null
saves=$(grep -cx 'settings.ini' "$work/saves")
[ "$saves" -eq 1 ] && pass "\"Exit\" saved once" || fail "\"Exit\" saved $saves times"
check_settings 0 "after Exit" "${settings[@]}"

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
