#!/usr/bin/env bash
# Endurance: the clock at its largest, 1200 pixels (size 600 at 192 DPI), with
# a sweeping seconds hand, worked for MINUTES as a user and the system would:
# wheel notches down and up (animated), the menu opened and dismissed, hidden
# and shown, dragged there and back, the size dialog opened and closed with
# Escape, a time change, a resume, a work-area change and a DPI change to 96
# and back. Every 10 s the clock process's GDI and USER objects and private
# bytes go to OUT-DIR/soak.csv, drawn at the end as OUT-DIR/soak.png. Fails when
# the object counts at the end exceed those after the first minute (by more
# than 2 under Wine), or the private bytes grew by more than 1 MiB since then.
#   soak.sh PROGRAM.exe CLOCK-POKE.exe WINEPREFIX MINUTES OUT-DIR
minutes=$4 out=$5
set -- "$1" "$2" "$3" 1920x1440
. "$(dirname "$0")/common.sh"
"${wine_run[@]}" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 192 /f >/dev/null 2>&1 \
  || { fail "LogPixels could not be set"; exit 1; }

SAMPLE_SECONDS=10
ALLOWED_GROWTH=$((1024 * 1024))
BASELINE_SECONDS=60
mkdir -p "$out"
csv=$out/soak.csv
echo "seconds,gdi,user,private_bytes,after" >"$csv"

write_settings '[Clock]' Size=600 Smooth=1
start_clock_and_wait
home=$(clock_rect)
[ "$home" = "360 120 1200 1200" ] || fail "the clock starts as '$home', not 1200 pixels centred"

started=$(date +%s)
last_sample=-$SAMPLE_SECONDS
source_of_counts=""
elapsed() { echo $(($(date +%s) - started)); }
# A sample notes the step it follows: a step leaves the process in a state of
# its own (a frame buffer more or less), so only samples after the same step
# compare.
sample() {
  local line
  line=$(poke resources) || { fail "no resource figures at $(elapsed) s"; return; }
  read -r _ gdi user private source_of_counts <<<"$line"
  echo "$(elapsed),$gdi,$user,$private,$1" >>"$csv"
  last_sample=$(elapsed)
}
# Every 10 s, and after each round of wheel notches.
sample_when_due() { [ "$1" != wheel ] && (($(elapsed) - last_sample < SAMPLE_SECONDS)) || sample "$1"; }

# Each step works the clock and waits, with a bound, until it is back at home:
# 1200 pixels where it started, shown, no menu or dialog open.
at_home() { rect_is "$home"; }
wheel() {
  mouse_to_clock
  xdotool click 5
  wait_for 10 rect_is "372 132 1176 1176" || fail "a notch down gave '$(clock_rect)'"
  xdotool click 4
}
menu_dismissed() {
  open_menu || { fail "the menu did not open"; return; }
  xdotool key Escape
  wait_for 10 menu_closed || fail "Escape left the menu open"
}
hidden_and_shown() {
  choose Up Up Up
  wait_for 10 clock_hidden || fail "\"Hide clock\" left it shown"
  poke show
  wait_for 10 clock_shown || fail "the show request did not show it"
}
dragged() {
  drag_by 100 50
  wait_for 10 rect_is "460 170 1200 1200" || fail "a drag by (100, 50) gave '$(clock_rect)'"
  drag_by -100 -50
}
size_dialog() {
  choose Down
  wait_for 10 dialog_open || { fail "\"Clock size...\" opened no dialog"; return; }
  xdotool key Escape
  wait_for 10 dialog_closed || { fail "Escape left the size dialog open"; poke dialog close; }
}
system_messages() {
  poke timechange && poke resume && poke workarea || fail "a system message was not delivered"
  poke dpi 96 360 120 1360 1120 || fail "WM_DPICHANGED to 96 was not delivered"
  wait_for 10 rect_is "360 120 600 600" || fail "at 96 DPI the clock is '$(clock_rect)'"
  poke dpi 192 360 120 1560 1320 || fail "WM_DPICHANGED to 192 was not delivered"
}
steps=(wheel menu_dismissed hidden_and_shown dragged size_dialog system_messages)

round=0
while (($(elapsed) < minutes * 60)); do
  step=${steps[round % ${#steps[@]}]}
  $step
  wait_for 10 at_home || fail "after $step the clock is '$(clock_rect)', not '$home'"
  clock_running || { fail "the clock ended during $step"; exit 1; }
  sample_when_due "$step"
  round=$((round + 1))
  sleep 2
done
wheel
wait_for 10 at_home || fail "after the last notches the clock is '$(clock_rect)'"
for _ in 1 2 3; do sleep 1; sample end; done
close_clock "after $round steps"

/usr/bin/python3 "$(dirname "$0")/soak_chart.py" "$csv" "$out/soak.png" "$minutes" "$source_of_counts" \
  || fail "the chart could not be drawn"

# Wine's own objects come and go by one or two, so each figure is the least of
# its samples: the baseline over the second minute's samples after wheel
# notches, the end over the three samples after the last notches. A leak
# raises the least value too.
least() {
  awk -F, -v from="$1" -v to="$2" -v after="$3" 'NR > 1 && $1 >= from && $1 < to && $5 == after {
      for (i = 2; i <= 4; i++) if (!(i in low) || $i < low[i]) low[i] = $i }
    END { if (2 in low) print low[2], low[3], low[4] }' "$csv"
}
read -r base_gdi base_user base_private < <(least $BASELINE_SECONDS $((2 * BASELINE_SECONDS)) wheel)
read -r end_gdi end_user end_private < <(least 0 1000000 end)
[ -n "$base_gdi" ] || { fail "no sample after the first minute"; exit 1; }
growth=$((end_private - base_private))
echo "after $BASELINE_SECONDS s: GDI $base_gdi, USER $base_user, private $base_private bytes;" \
     "at the end ($round steps): GDI $end_gdi, USER $end_user, private $end_private bytes ($growth growth);" \
     "counts from $source_of_counts"
# Under Wine even the least of three samples 1 s apart once stood 2 above the
# baseline (124 after each notch for two minutes, 126 at the end): that much
# is allowed there. A leak of one object each time a step comes round still
# fails: in three minutes each comes round three times or more after the
# baseline's minute.
noise=0
[ "$source_of_counts" = wine ] && noise=2
((end_gdi <= base_gdi + noise)) && pass "GDI objects $base_gdi -> $end_gdi" || fail "GDI objects grew: $base_gdi -> $end_gdi"
((end_user <= base_user + noise)) && pass "USER objects $base_user -> $end_user" || fail "USER objects grew: $base_user -> $end_user"
((growth <= ALLOWED_GROWTH)) && pass "private bytes grew by $growth" \
  || fail "private bytes grew by $growth, more than $ALLOWED_GROWTH"

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
