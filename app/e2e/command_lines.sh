#!/usr/bin/env bash
# Command lines that are not exactly the switch and one folder start the clock
# (no self-test runs for them); each is closed normally and ends with 0.
#   command_lines.sh PROGRAM.exe CLOCK-POKE.exe WINEPREFIX
. "$(dirname "$0")/common.sh"

for args in "--self-test" "--self-test $(windows_path "$work/four") extra" "--SELF-TEST $(windows_path "$work/caps")"; do
  # shellcheck disable=SC2086 # the words are the arguments
  start_clock $args
  wait_for 60 clock_shown && pass "'$args' starts the clock" || fail "'$args' showed no clock"
  close_clock "'$args'"
done
[ ! -e "$work/four" ] && [ ! -e "$work/caps" ] && pass "no self-test ran for them" || fail "a self-test ran: $(ls "$work")"
