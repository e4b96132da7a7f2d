#!/usr/bin/env bash
# Messages a user's system sends, from the test tool (Wine raises none of them
# on cue): a time change and a resume from sleep redraw at once; the taskbar's
# "TaskbarCreated" adds a lost notification icon again; a work-area change
# pulls a clock that lies outside back in; a locked session or a display that
# is off stops the tick until the clock can be seen again.
#   system_messages.sh PROGRAM.exe CLOCK-POKE.exe WINEPREFIX
. "$(dirname "$0")/common.sh"

# Magenta pixels in the clock's rectangle of a screenshot.
magenta_pixels() {
  echo $((width * width - $(compare -metric AE "$1[${width}x${width}+$left+$top]" "$work/paint.png" null: 2>&1)))
}

# The clock's X window is painted over from outside, which the program does
# not see; a redraw covers the paint again. The message is sent the moment
# after a screenshot shows the paint, and the next screenshot must show none.
# A stepping clock also redraws once a second on its tick: a round in which the
# paint was gone before the message is repeated, and three clean rounds are
# needed, so a message that does not redraw cannot pass by the tick's luck.
redraws_at_once() {
  local message=$1 clean=0 round line poke_pid
  rm -f "$work/to-poke" "$work/from-poke"
  mkfifo "$work/to-poke" "$work/from-poke"
  for round in 1 2 3 4 5 6 7 8 9 10; do
    "${wine_run[@]}" "$poke_exe" on-enter "$message" <"$work/to-poke" >"$work/from-poke" 2>>"$work/poke.log" &
    poke_pid=$!
    exec 7>"$work/to-poke" 8<"$work/from-poke"
    read -r -t 30 -u 8 line
    display -window "$(clock_xwindow)" "$work/paint.png" 2>/dev/null
    screenshot "$work/painted.png"
    if [ "$(magenta_pixels "$work/painted.png")" -gt $((width * width / 2)) ]; then
      echo go >&7
      read -r -t 30 -u 8 line
      screenshot "$work/after.png"
      left_over=$(magenta_pixels "$work/after.png")
      [ "$left_over" -eq 0 ] && clean=$((clean + 1))
    else
      left_over=0 # the tick came first: a round that tells nothing
      echo go >&7
    fi
    exec 7>&- 8<&-
    wait "$poke_pid"
    [ "$left_over" -eq 0 ] || { fail "$message: $left_over painted pixels still there after it"; return; }
    [ "$clean" -lt 3 ] || { pass "$message redraws at once (3 clean rounds of $round)"; return; }
  done
  fail "$message: the tick kept coming first; only $clean clean rounds"
}

# While nobody can see the clock (HIDE) the tick draws nothing: paint over it
# stays for more than two ticks. When somebody can again (SHOW) a whole frame
# covers all of the paint at once.
no_tick_while_unseen() {
  local hide=$1 show=$2 left_over
  poke $hide || { fail "$hide could not be sent"; return; }
  display -window "$(clock_xwindow)" "$work/paint.png" 2>/dev/null
  sleep 2.5
  screenshot "$work/unseen.png"
  left_over=$(magenta_pixels "$work/unseen.png")
  [ "$left_over" -gt $((width * width / 2)) ] && pass "$hide: no tick draws while nobody can see the clock" ||
    fail "$hide: the clock was drawn over the paint ($left_over painted pixels left)"
  poke $show || { fail "$show could not be sent"; return; }
  screenshot "$work/seen.png"
  left_over=$(magenta_pixels "$work/seen.png")
  [ "$left_over" -eq 0 ] && pass "$show: a whole frame at once" ||
    fail "$show: $left_over painted pixels still there"
}

# Smooth=0: the tick comes once a second, so a redraw on the message shows.
write_settings '[Clock]' Smooth=0
start_clock_and_wait
read -r left top width _ < <(clock_rect)
convert -size "${width}x${width}" xc:'#ff00ff' "$work/paint.png"
no_tick_while_unseen "session lock" "session unlock"
sleep 3 # an unlock is also a layout notice, which settles with a redraw
no_tick_while_unseen "display off" "display on"
redraws_at_once timechange
redraws_at_once resume

[ "$(info_field icon)" = 1 ] && pass "the notification icon is there" || fail "no notification icon at start"
poke untray
[ "$(info_field icon)" = 0 ] || fail "the icon could not be removed for the test"
poke taskbar
[ "$(info_field icon)" = 1 ] && pass "\"TaskbarCreated\" adds the icon again" || fail "no icon after \"TaskbarCreated\""

# Moved past the bottom right corner, then told the work area changed.
poke move 1800 900
rect_is "1800 900 320 320" || fail "the clock could not be moved off the screen for the test"
poke workarea
if wait_for 10 rect_is "1600 760 320 320"; then pass "a work-area change pulls the clock inside"
else fail "after the work-area change the window is '$(clock_rect)'"; fi

close_clock
check_settings 0 "after close" X=1600 Y=760 Smooth=0

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
