#!/usr/bin/env bash
# The context menu: a right-click opens it at the mouse, Escape dismisses it
# without saving, each option chosen flips its setting in the file, "Exit"
# ends the program with 0 and saves exactly once.
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
