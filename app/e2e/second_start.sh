#!/usr/bin/env bash
# A second start while the clock runs: it hands over and exits 0 in a few
# seconds, the hidden clock comes back, and the settings file is left byte for
# byte as it was; the first clock runs on.
#   second_start.sh PROGRAM.exe CLOCK-POKE.exe WINEPREFIX
. "$(dirname "$0")/common.sh"

start_clock_and_wait
first=$clock_pid
# "Hide clock" is the third item from the bottom; hiding saves the settings.
choose Up Up Up
wait_for 10 clock_hidden && pass "\"Hide clock\" hides it" || fail "the clock is still shown"
check_settings 10 "hidden" X=800 Y=380
cp "$(settings_file)" "$work/before.ini"
before_mtime=$(date -r "$(settings_file)" +%s%N)

started=$(date +%s)
start_clock
expect_exit_0 "the second start, after $(($(date +%s) - started)) s"
wait_for 10 clock_shown && pass "the hidden clock is shown again" || fail "the clock stayed hidden"
[ "$(info_field visible)" = 1 ] && pass "Windows reports it visible" || fail "not visible to Windows"
cmp -s "$work/before.ini" "$(settings_file)" && [ "$(date -r "$(settings_file)" +%s%N)" = "$before_mtime" ] \
  && pass "the settings file is untouched" || fail "the settings file changed: $(settings_text)"

clock_pid=$first
clock_running && pass "the first clock runs on" || fail "the first clock ended"
poke close
expect_exit_0 "closed"

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
