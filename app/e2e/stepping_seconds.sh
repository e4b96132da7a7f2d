#!/usr/bin/env bash
# A stepping seconds hand changes on the second of the local clock, however
# late each timer fires: for a minute, every redraw of the clock's X window,
# stamped from outside Wine by the system clock (which is Wine's local clock),
# lands within 60 ms after a whole second, and every second is drawn once,
# none twice and none left out.
#   stepping_seconds.sh PROGRAM.exe CLOCK-POKE.exe WINEPREFIX SCREEN DAMAGE-STAMPS
# The machine may be busy with other work (builds, other tests): where allowed,
# this scenario and all it starts run ahead of it, so that what is measured is
# the clock's timing, not the wait for a processor.
renice -n -10 $$ >/dev/null 2>&1 || true
. "$(dirname "$0")/common.sh"

write_settings '[Clock]' Smooth=0
start_clock_and_wait
sleep 2 # start-up's own frames are over
stamp_redraws 65 "$work/stamps"

# Redraws past the 60 ms, and seconds of the span drawn other than once.
read -r redraws latest late span odd < <(awk '
  $1 == "drawn" {
    ms = $2 % 1000; second = int($2 / 1000); count[second]++; n++
    if (ms > latest) latest = ms
    if (ms > 60) late++
    if (n == 1) first = second; last = second }
  END { for (s = first; s <= last; s++) if (count[s] != 1) odd++
        print n + 0, latest + 0, late + 0, last - first + 1, odd + 0 }' "$work/stamps")
[ "$redraws" -ge 60 ] && pass "$redraws redraws in a minute" || fail "only $redraws redraws in 65 s"
[ "$late" -eq 0 ] && pass "every redraw within 60 ms after its second (the latest $latest ms)" \
  || fail "$late of $redraws redraws more than 60 ms after their second (the latest $latest ms)"
[ "$odd" -eq 0 ] && pass "each of $span seconds drawn once" \
  || fail "$odd of $span seconds drawn other than once"
[ "$late" -eq 0 ] && [ "$odd" -eq 0 ] || { echo "--- redraws"; cat "$work/stamps"; }

close_clock
echo "$failures failure(s)"
[ "$failures" -eq 0 ]
