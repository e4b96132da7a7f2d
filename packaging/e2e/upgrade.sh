#!/usr/bin/env bash
# Installing again over a running clock closes it as the user would (it saves
# and ends with 0), replaces the program and starts the new one; the settings
# file keeps its bytes.
#   upgrade.sh VERSION DIST-DIR CLOCK-POKE.exe WINEPREFIX
. "$(dirname "$0")/common.sh"

install_silently || exit 1
# An older program: other bytes (a trailing one), still a program that runs.
printf '\0' >>"$(installed_program)"
settings=(Size=400 X=200 Y=150 Seconds=0 Shadows=0)
mkdir -p "$(settings_dir)"
expected_settings "${settings[@]}" >"$(settings_file)"
exe=$(installed_program)
start_clock_and_wait
old_pid=$(clock_pid)
sleep 1
saved_before=$(date -r "$(settings_file)" +%s%N)

install_silently
await_exit 30
[ "$exit_code" = 0 ] && pass "the old clock ended with 0" || fail "the old clock: exit code $exit_code"
check_settings 0 "after the upgrade" "${settings[@]}"
(($(date -r "$(settings_file)" +%s%N) > saved_before)) && pass "the old clock saved its settings on the way out" ||
  fail "the settings file was not written when the old clock closed"
cmp -s <(packaged_program) "$(installed_program)" && pass "the program was replaced" ||
  fail "the installed program is not the packaged one"
wait_for 60 clock_shown && [ "$(clock_pid)" != "$old_pid" ] && pass "the installer started the clock again" ||
  fail "no new clock after the upgrade"
[ "$(clock_program)" = "$INSTALL_DIR_WINDOWS\\velmor-clock.exe" ] && pass "the new clock is the installed program" ||
  fail "the new clock runs from '$(clock_program)'"
poke close >/dev/null
wait_for 30 clock_hidden || fail "the new clock did not close"

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
