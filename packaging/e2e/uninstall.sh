#!/usr/bin/env bash
# Uninstalling closes the running clock as the user would and removes the
# program, its shortcut, its uninstall entry and its start with Windows (the
# Run value and its Startup-apps entry), and keeps the user's settings and a
# portable copy's start with Windows.
#   uninstall.sh VERSION DIST-DIR CLOCK-POKE.exe WINEPREFIX
. "$(dirname "$0")/common.sh"

install_silently || exit 1
exe=$(installed_program)
start_clock_and_wait
# "Start with Windows" from the clock's own menu writes the Run value.
choose Down Down Down Down Down Down Down Down Down
run=$(reg_value "$RUN_KEY" VelmorClock) || run="(none)"
[ "$run" = "\"$INSTALL_DIR_WINDOWS\\velmor-clock.exe\"" ] && pass "the clock starts with Windows" ||
  fail "Run value is '$run'"
# What Windows' Startup-apps page writes beside it (enabled).
"${wine_run[@]}" reg add "$APPROVED_KEY" /v VelmorClock /t REG_BINARY /d 020000000000000000000000 /f \
  </dev/null >/dev/null 2>&1 || fail "could not write the Startup-apps entry"

uninstall_silently || fail "the uninstall entry is still there after 90 s"
await_exit 30
[ "$exit_code" = 0 ] && pass "the running clock ended with 0" || fail "the running clock: exit code $exit_code"
[ ! -e "$(install_dir)" ] && pass "the program folder is gone" || fail "left: $(ls "$(install_dir)")"
[ ! -e "$(shortcut)" ] && pass "the shortcut is gone" || fail "the shortcut is still there"
reg_value "$RUN_KEY" VelmorClock >/dev/null && fail "the Run value is still there" || pass "the Run value is gone"
reg_value "$APPROVED_KEY" VelmorClock >/dev/null && fail "the Startup-apps entry is still there" ||
  pass "the Startup-apps entry is gone"
[ -f "$(settings_file)" ] && pass "the settings are kept" || fail "the settings file is gone"

# A portable copy's start with Windows is its own: uninstalling leaves it.
install_silently || exit 1
portable='"C:\Tools\Velmor Clock\velmor-clock.exe"'
"${wine_run[@]}" reg add "$RUN_KEY" /v VelmorClock /t REG_SZ /d "$portable" /f </dev/null >/dev/null 2>&1 &&
  "${wine_run[@]}" reg add "$APPROVED_KEY" /v VelmorClock /t REG_BINARY /d 030000000000000000000000 /f \
    </dev/null >/dev/null 2>&1 || fail "could not write the Run value and its Startup-apps entry"
uninstall_silently || fail "the second uninstall did not end"
[ "$(reg_value "$RUN_KEY" VelmorClock)" = "$portable" ] && pass "another copy's Run value is kept" ||
  fail "another copy's Run value is '$(reg_value "$RUN_KEY" VelmorClock)'"
reg_value "$APPROVED_KEY" VelmorClock >/dev/null && pass "and its Startup-apps entry" ||
  fail "another copy's Startup-apps entry is gone"

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
