# The end-to-end harness for the real clock: each scenario sources this with
#   scenario.sh PROGRAM.exe CLOCK-POKE.exe WINEPREFIX [SCREEN [DAMAGE-STAMPS]]
# (DAMAGE-STAMPS: the native X client that stamps the clock's redraws) and gets a virtual display of its own (SCREEN, default 1920x1080), the shared
# test prefix, an empty settings folder, and helpers that start the program,
# wait for states with a bound, read the window and the screen and decode the
# settings file. Wine's server and the display are shut down when the scenario
# ends, however it ends; its work folder (logs, screenshots) goes too, unless
# KEEP_WORK is set, for looking into a failure.
set -u
exe=$1 poke_exe=$2 prefix=$3 screen=${4:-1920x1080} damage_stamps=${5:-}
source=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$source/selftest/e2e/common.sh"   # pass, fail, wait_for, windows_path
. "$source/testing/e2e_desktop.sh"   # the window, the mouse, the screen, the settings check

work=$(mktemp -d "${TMPDIR:-/tmp}/velmor-e2e.XXXXXX")
wine_run=("$source/cmake/wine-run" --prefix="$prefix")
xvfb_pid="" reaper_pid="" clock_pid=""

# Ends everything this scenario started: the program and every other Wine
# process of the prefix, then the display, and last the watcher that would do
# it if this script were killed on the way.
shut_down() {
  "${wine_run[@]}" --shutdown
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  [ -n "$reaper_pid" ] && kill "$reaper_pid" 2>/dev/null
  xvfb_pid="" reaper_pid=""
}
# Commands a scenario adds to undo what it did outside its work folder (a
# mount, an attribute), run first when it ends.
cleanups=()
finish() {
  local code=$? cleanup
  for cleanup in "${cleanups[@]}"; do eval "$cleanup"; done
  shut_down
  if [ "$failures" -ne 0 ] || [ "$code" -ne 0 ]; then
    for log in "$work"/*.log; do [ -s "$log" ] && { echo "--- $(basename "$log")"; tail -20 "$log"; }; done
  fi
  [ -n "${KEEP_WORK:-}" ] || rm -rf "$work"
}
trap finish EXIT
trap 'exit 130' INT TERM HUP

# A display of its own; a test runner's display is not used, so every scenario
# sees the screen size it asks for and nothing else on it.
# A scenario that sets xorg_config gets Xorg with that configuration instead
# (monitors.sh: the dummy driver, whose outputs xrandr plugs and unplugs).
start_display() {
  local server=(Xvfb -screen 0 "${screen}x24")
  if [ -n "${xorg_config:-}" ]; then
    mkdir -p "$work/xorg.conf.d"
    server=(Xorg -noreset -config "$xorg_config" -configdir "$work/xorg.conf.d" -logfile "$work/xorg.log")
  fi
  "${server[@]}" -displayfd 5 -nolisten tcp 5>"$work/display" >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  wait_for 20 test -s "$work/display" || { echo "Xvfb did not start"; exit 1; }
  export DISPLAY=:$(head -1 "$work/display")
  # Cleans up after a runner that kills this script outright (its timeout):
  # a detached watcher ends the scenario's Wine processes and display.
  setsid bash -c 'while kill -0 "$0" 2>/dev/null; do sleep 1; done
                  "$1" --prefix="$2" --shutdown; kill "$3"; rm -rf "$4"' \
    $$ "$source/cmake/wine-run" "$prefix" "$xvfb_pid" "$work" </dev/null >/dev/null 2>&1 &
  reaper_pid=$!
}

# The scenarios share one prefix and run one at a time. wine-run makes it on
# first use, with Wine's X11 driver unmanaged: without a window manager that is
# what lets popup menus open and take keys.
prepare_prefix() {
  "${wine_run[@]}" "$poke_exe" menu </dev/null >/dev/null 2>&1 || { echo "Wine does not start in $prefix"; exit 1; }
}

# The user's local application data as Wine lays it out.
local_app_data() { echo "$prefix/drive_c/users/$(id -un)/AppData/Local"; }
settings_dir() { echo "$(local_app_data)/Dashwelle/Velmor Clock"; }
settings_file() { echo "$(settings_dir)/settings.ini"; }

# Writes a settings file from text lines, as UTF-16LE with a byte-order mark.
write_settings() {
  mkdir -p "$(settings_dir)"
  { printf '\xff\xfe'; printf '%s\r\n' "$@" | iconv -f UTF-8 -t UTF-16LE; } >"$(settings_file)"
}

# The exact bytes the program writes for the defaults with KEY=VALUE overrides.
expected_settings() {
  local -A value=([Size]=320 [X]=-2147483648 [Y]=-2147483648 [AlwaysOnTop]=0 [LockPosition]=0
                  [Seconds]=1 [Smooth]=1 [Crystal]=1 [Shadows]=1 [ReflectionStrength]=100)
  local pair
  for pair in "$@"; do value[${pair%%=*}]=${pair#*=}; done
  printf '\xff\xfe'
  { printf '[Clock]'
    for key in Size X Y AlwaysOnTop LockPosition Seconds Smooth Crystal Shadows ReflectionStrength; do
      printf '\r\n%s=%s' "$key" "${value[$key]}"
    done
    printf '\r\n'; } | iconv -f UTF-8 -t UTF-16LE
}
settings_are() { cmp -s <(expected_settings "$@") "$(settings_file)"; }
settings_text() { iconv -f UTF-16LE -t UTF-8 "$(settings_file)" 2>/dev/null | tr -d '\r\377\376' | tr '\n' ' '; }

# The program in the background; await_exit reads its exit code.
start_clock() {
  "${wine_run[@]}" "$exe" "$@" </dev/null >>"$work/clock.log" 2>&1 &
  clock_pid=$!
}
# Closes the clock as the system would (WM_CLOSE): it saves and ends with 0.
close_clock() {
  poke close
  expect_exit_0 "${1:-closed by WM_CLOSE}"
}

# The test tool inside Windows (see clock_poke.cpp). A call that fails, but
# not for want of a clock, is made once more a second later: now and then,
# inside a whole suite, a call ends at once with exit code 1 and no word from
# the tool while the clock runs on. A clock that does not answer fails both.
# Each failed try's exit code goes to stderr and to poke.log, with what the
# tool said.
POKE_NO_CLOCK=10
poke() {
  local out code try
  for try in 1 2; do
    out=$("${wine_run[@]}" "$poke_exe" "$@" </dev/null 2>>"$work/poke.log"); code=$?
    { [ "$code" -eq 0 ] || [ "$code" -eq "$POKE_NO_CLOCK" ]; } && break
    echo "poke $*: exit code $code (try $try)" | tee -a "$work/poke.log" >&2
    [ "$try" -eq 1 ] && sleep 1
  done
  [ -n "$out" ] && printf '%s\n' "${out//$'\r'/}"
  return $code
}
# One line of `clock-poke info`, without its name: info_field rect -> "L T R B".
info_field() { poke info | sed -n "s/^$1 //p"; }
# The clock window's rectangle as Windows sees it: "LEFT TOP WIDTH HEIGHT".
clock_rect() { info_field rect | awk '{ print $1, $2, $3 - $1, $4 - $2 }'; }

# Starts the clock and waits for its window to be mapped.
start_clock_and_wait() {
  start_clock "$@"
  wait_for 60 clock_shown || { fail "no clock window appeared"; exit 1; }
}

# Each redraw and each change of size of the clock's X window for SECONDS,
# seen from outside Wine: "drawn EPOCH-MS READ-MS" and "sized WIDTH HEIGHT"
# lines (damage_stamps.c).
#   stamp_redraws SECONDS FILE
stamp_redraws() {
  [ -x "$damage_stamps" ] || { echo "no damage-stamps tool given"; exit 1; }
  "$damage_stamps" "$(clock_xwindow)" "$1" >"$2" 2>>"$work/stamps.log"
}

# Menu helpers: right-click the clock, wait for the menu, pick with keys.
menu_open() { poke menu | grep -q '^menu 1'; }
menu_closed() { poke menu | grep -q '^menu 0'; }
# Whether the size dialog is open.
dialog_open() { poke dialog | grep -q '^dialog 1'; }
dialog_closed() { poke dialog | grep -q '^dialog 0'; }

start_display
prepare_prefix
rm -rf "$(local_app_data)/Dashwelle"
