# The monitors scenario's steps, shared by the Windows program's harness
# (app/e2e/monitors.sh) and the Linux clock's (linux/e2e/monitors.sh): each
# sources its own common.sh first, which gives the same helpers (the clock's
# rectangle, drag, close, the settings file) and `write_settings`, and defines
# `announce_display_change`: what the system tells the clock when its monitors
# change, beyond what the clock's poll sees in time.
# A settle takes 2 s after a poll (every 2 s) first sees the change.
RETURN_SECONDS=6
plug() { xrandr --output DUMMY1 --mode 1024x768 --right-of DUMMY0; }
unplug() { xrandr --output DUMMY1 --off; }
places() { grep '^place ' "$(settings_dir)/placements.txt" 2>/dev/null; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }
# Waits for the clock at X Y (320 wide); says how long it took.
expect_at() {
  local x=$1 y=$2 what=$3 start
  start=$(now_ms)
  if wait_for "$RETURN_SECONDS" rect_is "$x $y 320 320"; then
    pass "$what: at ($x, $y) after $(($(now_ms) - start)) ms"
  else fail "$what: window is '$(clock_rect)', expected ($x, $y) within $RETURN_SECONDS s"; fi
}

xrandr --output DUMMY0 --mode 1024x768
xrandr --addmode DUMMY1 1024x768
plug
echo "monitors: $(xrandr --listmonitors | tail -n +2 | awk '{ print $3 }' | tr '\n' ' ')"

start_clock_and_wait
expect_at 352 224 "first start, centred on the first monitor"
drag_by 900 -100
expect_at 1252 124 "dragged onto the second monitor"
check_settings 10 "dragged" X=1252 Y=124
wait_for 10 test -n "$(places)" && pass "the drag is remembered: $(places)" || fail "no place remembered after the drag"
remembered=$(places)

unplug
expect_at 704 124 "second monitor off: pulled onto the first"
sleep 3  # past the settle: the forced move must not have been stored
[ "$(places)" = "$remembered" ] && pass "the forced move stored nothing" || fail "places became '$(places)'"

plug
expect_at 1252 124 "second monitor on again: back at the user's spot"

# Closed on one monitor before the change has settled, started again on two:
# the saved position belongs to the layout it was saved under.
unplug
announce_display_change
expect_at 704 124 "off again"
close_clock "closed on one monitor"
check_settings 10 "closed on one monitor" X=704 Y=124
plug
start_clock_and_wait
expect_at 1252 124 "started on two monitors: at the user's spot on the second"

# "Bring clock to center" (fourth from the bottom of the menu) is the user's
# place too: the clock comes back to it after a layout change.
choose Up Up Up Up
expect_at 1376 224 "brought to the center of the second monitor"
unplug
expect_at 704 224 "second monitor off once more"
plug
expect_at 1376 224 "second monitor on: back at the center it was brought to"

# A damaged memory file remembers nothing: the saved position holds.
close_clock "closed on two monitors"
unplug
printf 'velmor-placement 1\nplace what\n' >"$(settings_dir)/placements.txt"
write_settings '[Clock]' X=100 Y=100
plug
start_clock_and_wait
expect_at 100 100 "damaged memory file: the saved position"
close_clock

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
