#!/usr/bin/env bash
# A silent install on a fresh prefix puts the program, its Start-menu shortcut
# and its uninstall entry in place for this user, and the installed program
# shows the clock.
#   install.sh VERSION DIST-DIR CLOCK-POKE.exe WINEPREFIX
. "$(dirname "$0")/common.sh"

install_silently || exit 1
cmp -s <(packaged_program) "$(installed_program)" && pass "the installed program is the packaged one" ||
  fail "the installed program differs from the packaged one"
for file in uninstall.exe LICENSE.txt; do
  [ -f "$(install_dir)/$file" ] && pass "$file installed" || fail "no $file in $(install_dir)"
done
# The uninstaller is written by the installer: it carries the same version information.
strings -a -el "$(install_dir)/uninstall.exe" | grep -qx "$version.0" && pass "the uninstaller carries version $version" ||
  fail "no version $version.0 in uninstall.exe"
# The link names its target in UTF-16 or in the ANSI code page.
if [ -f "$(shortcut)" ] && { strings -a -el "$(shortcut)"; strings -a "$(shortcut)"; } |
   grep -qF "Programs\\Velmor Clock\\velmor-clock.exe"; then
  pass "the Start-menu shortcut starts the installed program"
else
  fail "no Start-menu shortcut to the program at $(shortcut)"
fi

while IFS='|' read -r name expected; do
  actual=$(reg_value "$UNINSTALL_KEY" "$name") || actual="(none)"
  [ "$actual" = "$expected" ] && pass "uninstall entry $name" ||
    fail "uninstall entry $name is '$actual', expected '$expected'"
done <<ENTRY
DisplayName|Velmor Clock
DisplayVersion|$version
Publisher|Dashwelle
DisplayIcon|"$INSTALL_DIR_WINDOWS\\velmor-clock.exe",0
InstallLocation|$INSTALL_DIR_WINDOWS
UninstallString|"$INSTALL_DIR_WINDOWS\\uninstall.exe"
QuietUninstallString|"$INSTALL_DIR_WINDOWS\\uninstall.exe" /S
ENTRY
# In KiB, at least the program itself.
size=$(reg_value "$UNINSTALL_KEY" EstimatedSize) || size=0
program_kib=$(($(stat -c %s "$(installed_program)") / 1024))
((size >= program_kib)) && pass "uninstall entry EstimatedSize $((size)) KiB" ||
  fail "uninstall entry EstimatedSize is $size, the program alone is $program_kib KiB"

exe=$(installed_program)
start_clock_and_wait
[ "$(clock_program)" = "$INSTALL_DIR_WINDOWS\\velmor-clock.exe" ] &&
  pass "the installed program shows the clock" || fail "the clock runs from '$(clock_program)'"
close_clock

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
