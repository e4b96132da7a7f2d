# The package scenarios: each installs or unpacks the downloads on a Wine
# prefix made fresh for it, and drives the clock with the end-to-end harness
# (app/e2e/common.sh: a display of its own, wait_for, poke, start_clock...).
#   scenario.sh VERSION DIST-DIR CLOCK-POKE.exe WINEPREFIX
version=$1 dist=$2
zip=$dist/velmor-clock-$version-win64.zip
setup=$dist/velmor-clock-$version-setup.exe
# A prefix nothing has run in yet; the harness makes it.
rm -rf "$4" "$4.lock"
set -- "$zip" "$3" "$4"
. "$(dirname "${BASH_SOURCE[0]}")/../../app/e2e/common.sh"

# The prefix (about 700 MB) goes with the scenario, after Wine's server.
eval "harness_$(declare -f shut_down)"
shut_down() {
  harness_shut_down
  rm -rf "$prefix" "$prefix.lock"
}

user_dir() { echo "$prefix/drive_c/users/$(id -un)"; }
install_dir() { echo "$(local_app_data)/Programs/Velmor Clock"; }
installed_program() { echo "$(install_dir)/velmor-clock.exe"; }
# The same folder as Windows names it.
INSTALL_DIR_WINDOWS="C:\\users\\$(id -un)\\AppData\\Local\\Programs\\Velmor Clock"
shortcut() { echo "$(user_dir)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Velmor Clock.lnk"; }
UNINSTALL_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\VelmorClock'
RUN_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
APPROVED_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run'

# One registry value's data as `reg query` prints it; fails when it is absent.
#   reg_value KEY NAME
reg_value() {
  "${wine_run[@]}" reg query "$1" /v "$2" </dev/null 2>/dev/null | tr -d '\r' |
    awk -v name="$2" '$1 == name { sub(/^[ \t]*[^ \t]+[ \t]+[^ \t]+[ \t]+/, ""); print; found = 1 }
                      END { exit !found }'
}
reg_key_exists() { "${wine_run[@]}" reg query "$1" </dev/null >/dev/null 2>&1; }

# The program inside the zip, byte for byte.
packaged_program() { unzip -p "$zip" velmor-clock.exe; }

# Runs the installer silently; it ends with 0 when it has installed.
#   install_silently [SETUP.exe]
install_silently() {
  local code
  "${wine_run[@]}" "${1:-$setup}" /S </dev/null >>"$work/setup.log" 2>&1; code=$?
  if [ "$code" = 0 ] && [ -f "$(installed_program)" ]; then pass "silent install"
  else fail "silent install: exit code $code, program there: $([ -f "$(installed_program)" ] && echo yes || echo no)"; return 1; fi
}

# Runs the installed uninstaller silently. It starts a copy of itself and
# returns at once, so this waits for its last step, the uninstall entry's end.
uninstall_entry_gone() { ! reg_key_exists "$UNINSTALL_KEY"; }
uninstall_silently() {
  "${wine_run[@]}" "$(install_dir)/uninstall.exe" /S </dev/null >>"$work/setup.log" 2>&1
  wait_for 90 uninstall_entry_gone
}

# The running clock's program file, as Windows names it.
clock_program() { poke path | sed -n 's/^path //p'; }
clock_pid() { poke path | sed -n 's/^pid //p'; }
