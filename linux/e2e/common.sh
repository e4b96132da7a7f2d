# The end-to-end harness for the native Linux clock: each scenario sources this with
#   scenario.sh PROGRAM [SCREEN] [COMPOSITOR] [SERVER_OPTIONS]
# and gets a virtual display of its own (SCREEN, default 1920x1080; more
# options for the X server in SERVER_OPTIONS) with a plain
# desktop colour, a session bus of its own (and through it the accessibility
# bus), a compositing manager unless COMPOSITOR is "none", an empty
# configuration folder, and helpers that start the program, wait for states
# with a bound and read the window, the screen and the settings file.
# Everything it started ends when the scenario ends, however it ends.
set -u
program=$1 screen=${2:-1920x1080} compositor=${3:-picom} server_options=${4:-}
source=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
here="$source/linux/e2e"
. "$source/testing/e2e_checks.sh" # pass, fail, failures, wait_for
. "$source/testing/e2e_desktop.sh" # the window, the mouse, the screen, the settings check
python=/usr/bin/python3 # Debian's, which has the accessibility and D-Bus bindings

work=$(mktemp -d "${TMPDIR:-/tmp}/velmor-linux-e2e.XXXXXX")
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" HOME="$work/home"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" "$HOME"
chmod 700 "$XDG_RUNTIME_DIR"
unset NO_AT_BRIDGE GDK_SCALE GDK_DPI_SCALE WAYLAND_DISPLAY
export GDK_BACKEND=x11 GTK_THEME=Adwaita
pids=() clock_pid=""
DESKTOP="#205080" # the colour of the desktop behind the clock

finish() {
  local code=$? pid
  [ -n "$clock_pid" ] && kill "$clock_pid" 2>/dev/null
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null && wait "${pids[i]}" 2>/dev/null; done
  if [ "$failures" -ne 0 ] || [ "$code" -ne 0 ]; then
    for log in "$work"/*.log; do [ -s "$log" ] && { echo "--- $(basename "$log")"; tail -20 "$log"; }; done
  fi
  rm -rf "$work"
}
trap finish EXIT
trap 'exit 130' INT TERM HUP

# A scenario that sets xorg_config gets Xorg with that configuration instead
# (monitors.sh: the dummy driver, whose outputs xrandr plugs and unplugs).
start_display() {
  local server=(Xvfb -screen 0 "${screen}x24")
  read -ra options <<<"$server_options"
  server+=("${options[@]}")
  if [ -n "${xorg_config:-}" ]; then
    mkdir -p "$work/xorg.conf.d"
    server=(Xorg -config "$xorg_config" -configdir "$work/xorg.conf.d" -logfile "$work/xorg.log")
  fi
  local try pid
  # Other test runs start displays on this machine too: a server that lost a
  # race for its display number, or does not answer, is replaced.
  for try in 1 2 3; do
    rm -f "$work/display"
    "${server[@]}" -noreset -displayfd 5 -nolisten tcp 5>"$work/display" >"$work/xvfb.log" 2>&1 &
    pid=$!
    wait_for 20 test -s "$work/display" || { kill "$pid" 2>/dev/null; continue; }
    export DISPLAY=:$(head -1 "$work/display")
    sleep 0.3
    if kill -0 "$pid" 2>/dev/null && xsetroot -solid "$DESKTOP" 2>/dev/null; then
      pids+=("$pid")
      break
    fi
    kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  done
  [ ${#pids[@]} -gt 0 ] || { echo "the X server did not start"; exit 1; }
  # Ends what this scenario started if the runner kills it outright (its timeout).
  setsid bash -c 'while kill -0 "$0" 2>/dev/null; do sleep 1; done; kill "${@:2}" 2>/dev/null; rm -rf "$1"' \
    $$ "$work" "${pids[@]}" </dev/null >/dev/null 2>&1 &
}

start_bus() {
  local address
  dbus-daemon --session --nofork --nopidfile --print-address=5 5>"$work/bus" >"$work/bus.log" 2>&1 &
  pids+=($!)
  wait_for 10 test -s "$work/bus" || { echo "the session bus did not start"; exit 1; }
  address=$(head -1 "$work/bus")
  export DBUS_SESSION_BUS_ADDRESS=$address
}

start_compositor() {
  [ "$compositor" = none ] && return
  picom --backend xrender --no-fading-openclose >"$work/compositor.log" 2>&1 &
  pids+=($!)
  # The compositing manager owns the screen's _NET_WM_CM_S0 selection once it runs.
  wait_for 20 composited || { echo "the compositing manager did not start"; exit 1; }
}
composited() { "$python" "$here/x_query.py" composited; }

settings_dir() { echo "$XDG_CONFIG_HOME/velmor-clock"; }
settings_file() { echo "$(settings_dir)/settings.ini"; }
settings_text() { tr '\n' ' ' <"$(settings_file)" 2>/dev/null; }
# Writes a settings file from text lines, as the Linux clock writes it (UTF-8).
write_settings() { mkdir -p "$(settings_dir)"; printf '%s\n' "$@" >"$(settings_file)"; }
# The exact text the program writes for the defaults with KEY=VALUE overrides.
expected_settings() {
  local -A value=([Size]=320 [X]=-2147483648 [Y]=-2147483648 [AlwaysOnTop]=0 [LockPosition]=0
                  [Seconds]=1 [Smooth]=1 [Crystal]=1 [Shadows]=1 [ReflectionStrength]=100)
  local pair
  for pair in "$@"; do value[${pair%%=*}]=${pair#*=}; done
  printf '[Clock]\n'
  for key in Size X Y AlwaysOnTop LockPosition Seconds Smooth Crystal Shadows ReflectionStrength; do
    printf '%s=%s\n' "$key" "${value[$key]}"
  done
}
settings_are() { cmp -s <(expected_settings "$@") "$(settings_file)"; }

start_clock() {
  "$program" </dev/null >>"$work/clock.log" 2>&1 &
  clock_pid=$!
}
# Closes the clock as a session's end does (SIGTERM): it saves and ends with 0.
close_clock() {
  kill -TERM "$clock_pid"
  expect_exit_0 "${1:-closed}" 20
  clock_pid=""
}

# "X Y WIDTH HEIGHT" of the clock window on the screen.
clock_rect() {
  local w; w=$(clock_xwindow); [ -n "$w" ] || return 1
  xgeometry "$w"
}
# How many memory segments the clock shares with the X server for a frame of
# SIZE x SIZE pixels (GTK's own upload pool is of other sizes).
frame_segments() {
  awk -v pid="$clock_pid" -v bytes=$(($1 * $1 * 4)) '
    FNR == 1 { file++ }
    file == 1 && $3 == pid { ours[$1] = 1 }
    file == 2 && ($2 in ours) && $5 == bytes { n++ }
    END { print n + 0 }' <(ipcs -m -p) <(ipcs -m)
}
#   check_rect SECONDS WHAT "X Y W H"
check_rect() {
  if wait_for "$1" rect_is "$3"; then pass "$2: window $3"; else fail "$2: window '$(clock_rect)', expected $3"; fi
}

start_clock_and_wait() {
  start_clock
  wait_for 30 clock_shown || { fail "no clock window appeared"; exit 1; }
  sleep 0.5 # its first frame on the screen
}

# The items as the menu table has them, for the given check marks of Always
# on top, Lock position, the seconds hand, smooth, crystal, Soft, Normal,
# Strong, shadows and Start at login, and "Hide clock" or "Show clock".
expected_menu() {
  printf '%s\n' "command|Clock size...|" "check|Always on top|$1" "check|Lock position|$2" "separator||" \
    "check|Show seconds hand|$3" "check|Smooth seconds hand|$4" "check|Crystal reflection|$5" \
    "submenu|Reflection strength|" "> check|Soft|$6" "> check|Normal|$7" "> check|Strong|$8" \
    "check|Hand shadows|$9" "separator||" "check|Start at login|${10}" "command|Bring clock to center|" \
    "command|${11} clock|" "separator||" "command|About Velmor Clock|" "command|Exit|"
}
# The size dialog's X window, when it is open.
size_dialog_window() { xdotool search --onlyvisible --name '^Velmor Clock — Size$' 2>/dev/null | head -1; }

# The clock's open menu as the accessibility bus reads it (atspi_menu.py).
menu_items() { "$python" "$here/atspi_menu.py" items 2>>"$work/atspi.log"; }
menu_open() { [ -n "$(menu_items)" ]; }
menu_closed() { ! menu_open; }
menu_key_delay=60 # the keys 60 ms apart for the GTK menu, as this harness has always pressed them

start_display
start_bus
start_compositor
