# What the end-to-end harnesses of the Windows program (app/e2e/common.sh) and
# of the Linux clock (linux/e2e/common.sh) both do to the clock on an X display
# and read off it. Each harness sources this after testing/e2e_checks.sh (or
# what sources it) and defines `clock_pid`, `clock_rect` ("X Y WIDTH HEIGHT"),
# `settings_are`, `settings_text`, `menu_open` and `menu_closed` for its own
# program, and may set `menu_key_delay` (milliseconds between the keys `choose`
# presses; xdotool's own 12 unless set).

# The program's process.
clock_running() { kill -0 "$clock_pid" 2>/dev/null; }
clock_ended() { ! clock_running; }
# Waits up to SECONDS for the program to end; `exit_code` is then its exit
# code, or "running".
await_exit() {
  if wait_for "$1" clock_ended; then wait "$clock_pid"; exit_code=$?; else exit_code=running; fi
}

# The program ends within SECONDS (default half a minute) with 0.
#   expect_exit_0 WHAT [SECONDS]
expect_exit_0() {
  await_exit "${2:-30}"
  [ "$exit_code" = 0 ] && pass "$1: exit code 0" || fail "$1: exit code $exit_code"
}

# The clock's X window: the one mapped window with the clock's title.
clock_xwindow() { xdotool search --onlyvisible --name '^Velmor Clock$' 2>/dev/null | head -1; }
clock_shown() { [ -n "$(clock_xwindow)" ]; }
clock_hidden() { [ -z "$(clock_xwindow)" ]; }
rect_is() { [ "$(clock_rect)" = "$1" ]; }
# "X Y WIDTH HEIGHT" of an X window on the screen.
xgeometry() {
  xdotool getwindowgeometry --shell "$1" | awk -F= '/^(X|Y|WIDTH|HEIGHT)=/ { printf "%s ", $2 }' | sed 's/ $//'
}

# Every byte of the settings file, polled for up to SECONDS: the save may be pending.
#   check_settings SECONDS WHAT KEY=VALUE...
check_settings() {
  local seconds=$1 what=$2; shift 2
  if wait_for "$seconds" settings_are "$@"; then pass "$what: settings file is $*"
  else fail "$what: settings file is '$(settings_text)', expected $*"; fi
}

# Bytes that are no settings file, the same on every run.
noise() { awk 'BEGIN { srand(14); for (i = 0; i < 700; i++) printf "%c", int(rand() * 256) }' </dev/null; }

# The mouse at the centre of the clock window.
mouse_to_clock() {
  local x y w h
  read -r x y w h < <(clock_rect)
  xdotool mousemove $((x + w / 2)) $((y + h / 2))
}

# A user's drag from the clock's centre by (DX, DY), in steps of a tenth.
drag_by() {
  local dx=$1 dy=$2 step steps=()
  for step in 1 2 3 4 5 6 7 8 9 10; do
    steps+=(mousemove_relative -- $((dx / 10)) $((dy / 10)) sleep 0.03)
  done
  mouse_to_clock
  xdotool mousedown 1 sleep 0.1 "${steps[@]}" mouseup 1
}

# Right-clicks the clock and waits for its menu (the harness's `menu_open`).
open_menu() {
  mouse_to_clock
  xdotool click 3
  wait_for 10 menu_open
}
# Opens the menu and chooses the item reached by the given key presses.
choose() {
  open_menu || { fail "the menu did not open for '$*'"; return 1; }
  xdotool key --delay "${menu_key_delay:-12}" "$@" Return
  wait_for 10 menu_closed || fail "the menu stayed open after '$*'"
}

# The colour of one screen pixel as "#RRGGBB".
pixel() { import -window root -crop "1x1+$1+$2" -depth 8 txt:- | sed -n '2s/.*\(#[0-9A-F]\{6\}\).*/\1/p'; }
screenshot() { import -window root "$1"; }
# Pixels that differ between the same rectangle of two images.
#   differing_pixels A.png B.png WIDTH HEIGHT X Y
differing_pixels() { compare -metric AE "$1[$3x$4+$5+$6]" "$2[$3x$4+$5+$6]" null: 2>&1; }
