#!/usr/bin/env bash
# A move to a 192-DPI monitor and back as Windows sends it (Wine sends neither
# message): first WM_GETDPISCALEDSIZE, which the clock answers with its own
# edge at the new DPI (size 900 becomes 600 there, 1200 pixels, by the size
# model alone), then WM_DPICHANGED with a rectangle of that size, which the
# clock takes exactly where the work area holds it; on a work area 1080 high
# the monitor cap then stores 540 and pulls the clock inside. The size is
# saved, and a move back to 96 DPI keeps it. A change sent from inside the
# clock's own window move waits until that move has returned. During a drag
# the clock stays in the suggested rectangle until it is let go.
#   dpi.sh PROGRAM.exe CLOCK-POKE.exe WINEPREFIX SCREEN   (SCREEN: 1920x1440 or 1920x1080)
. "$(dirname "$0")/common.sh"
height=${screen#*x}
size=$((height / 2 < 600 ? height / 2 : 600))   # MulDiv(height, 96, 192), never above 115200 / 192
y=$((height - 2 * size < 60 ? height - 2 * size : 60))

write_settings '[Clock]' Size=900 X=100 Y=100
start_clock_and_wait
[ "$(clock_rect)" = "100 100 900 900" ] && pass "900 pixels at 96 DPI" || fail "window '$(clock_rect)' at start"

# dpi, the edge the clock asks for, where the system suggests it, the window after it.
while read -r dpi edge left top rect; do
  answer=$(poke scaled "$dpi")
  [ "$answer" = "scaled $edge $edge 1" ] && pass "$dpi DPI: the clock asks for $edge x $edge" \
    || fail "$dpi DPI: WM_GETDPISCALEDSIZE answered '$answer', expected $edge x $edge and TRUE"
  poke dpi "$dpi" "$left" "$top" $((left + edge)) $((top + edge))
  if wait_for 10 rect_is "$rect"; then pass "$dpi DPI on a $screen screen: window $rect"
  else fail "$dpi DPI: window '$(clock_rect)', expected $rect"; fi
  read -r saved_x saved_y _ <<<"$rect"
  check_settings 10 "$dpi DPI" Size=$size X="$saved_x" Y="$saved_y"
done <<CASES
192 1200 150 60 150 $y $((2 * size)) $((2 * size))
96 $size 300 200 300 200 $size $size
CASES

# Windows sends WM_DPICHANGED from inside the SetWindowPos that carried the
# window to the other monitor. clock-poke's hook sends it from inside the
# clock's own next one: "Always on top" from the menu sets the z-order. The
# clock keeps the change until its call has returned (the window is still
# where it was when the nested message returns), then takes the rectangle.
read -r _ _ edge _ < <(poke scaled 192)
open_menu || fail "the menu did not open"
# Not through poke, which prints only once clock-poke has ended.
"${wine_run[@]}" "$poke_exe" nest 192 150 60 $((150 + edge)) $((60 + edge)) </dev/null >"$work/nest.out" 2>>"$work/poke.log" &
nest_pid=$!
wait_for 20 grep -q '^armed' "$work/nest.out" || fail "the nested change was not armed: '$(cat "$work/nest.out")'"
xdotool key Down Down Return
wait "$nest_pid"
nested=$(tail -1 "$work/nest.out" | tr -d '\r')
[ "$nested" = "nested 1 1" ] && pass "a change sent from inside the clock's own SetWindowPos waits for it" \
  || fail "nested change: '$nested', expected 'nested 1 1' (sent, and kept until the call returned)"
if wait_for 10 rect_is "150 $y $((2 * size)) $((2 * size))"; then pass "after the nested change: window 150 $y $((2 * size))"
else fail "after the nested change: window '$(clock_rect)', expected 150 $y $((2 * size))"; fi
check_settings 10 "after the nested change" Size=$size X=150 Y="$y" AlwaysOnTop=1

close_clock

# A drag onto a monitor of another DPI: while the move loop runs the clock
# takes the suggested rectangle as it is, even half off the screen, and saves
# nothing; letting go pulls it inside and saves.
write_settings '[Clock]' Size=320 X=400 Y=300
cp "$(settings_file)" "$work/written.ini"
start_clock_and_wait
mouse_to_clock
xdotool mousedown 1 sleep 0.2 mousemove_relative -- 10 0 sleep 0.2 mousemove_relative -- 10 0 sleep 0.3
read -r _ _ edge _ < <(poke scaled 144)
poke dpi 144 -100 300 $((edge - 100)) $((300 + edge))
if wait_for 10 rect_is "-100 300 $edge $edge"; then pass "during a drag: the suggested rectangle as it is"
else fail "during a drag: window '$(clock_rect)', expected -100 300 $edge $edge"; fi
cmp -s "$work/written.ini" "$(settings_file)" && pass "during a drag: nothing saved" \
  || fail "during a drag the settings were saved: '$(settings_text)'"
xdotool mouseup 1
if wait_for 10 rect_is "0 300 $edge $edge"; then pass "let go: pulled inside the screen"
else fail "let go: window '$(clock_rect)', expected 0 300 $edge $edge"; fi
check_settings 10 "let go" Size=320 X=0 Y=300
close_clock

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
