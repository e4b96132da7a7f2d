#!/usr/bin/env bash
# A hidden clock comes back: from its notification icon, and on a second start
# while it runs, which hands over and exits 0, leaves the settings file byte
# for byte as it was, and the first clock runs on and takes the foreground.
# The icon's menu (a right click, or the menu key on the icon) opens at the
# anchor point the shell sends with it.
#   second_start.sh PROGRAM.exe CLOCK-POKE.exe WINEPREFIX
. "$(dirname "$0")/common.sh"

start_clock_and_wait
first=$clock_pid
# Hidden from the clock's menu ("Hide clock" is the third item from the
# bottom), shown by a left click on the notification icon, hidden again from
# the icon's menu. Each menu command saves the settings.
choose Up Up Up
wait_for 10 clock_hidden && pass "\"Hide clock\" hides it" || fail "the clock is still shown"
poke icon select
wait_for 10 clock_shown && pass "a left click on the icon shows it" || fail "the icon's click left it hidden"
poke icon menu 700 450
if wait_for 10 menu_open; then
  read -r _ _ menu_left menu_top _ < <(poke menu)
  [ "$menu_left $menu_top" = "700 450" ] && pass "the icon's menu opens at its anchor" \
    || fail "the icon's menu opened at $menu_left $menu_top, not at its anchor 700 450"
  xdotool key Up Up Up Return
  wait_for 10 clock_hidden && pass "the icon's menu hides it" || fail "the icon's menu did not hide it"
else
  fail "the icon's right click opened no menu"
fi
check_settings 10 "hidden" X=800 Y=380
cp "$(settings_file)" "$work/before.ini"
before_mtime=$(date -r "$(settings_file)" +%s%N)

foreground_is_clock() { [ "$(info_field foreground)" = 1 ]; }
foreground_is_clock && fail "the hidden clock is the foreground window before the second start"
started=$(date +%s%N)
start_clock
await_exit 30
[ "$exit_code" = 0 ] && pass "the second start exits 0, after $((($(date +%s%N) - started) / 1000000)) ms" \
  || fail "the second start: exit code $exit_code"
wait_for 10 clock_shown && pass "the hidden clock is shown again" || fail "the clock stayed hidden"
[ "$(info_field visible)" = 1 ] && pass "Windows reports it visible" || fail "not visible to Windows"
wait_for 10 foreground_is_clock && pass "it is the foreground window" || fail "it is not the foreground window"
cmp -s "$work/before.ini" "$(settings_file)" && [ "$(date -r "$(settings_file)" +%s%N)" = "$before_mtime" ] \
  && pass "the settings file is untouched" || fail "the settings file changed: $(settings_text)"

clock_pid=$first
clock_running && pass "the first clock runs on" || fail "the first clock ended"
close_clock

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
