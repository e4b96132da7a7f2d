#!/usr/bin/env bash
# Settings files a user may have: out-of-range sizes, a position off every
# screen, half a position, random bytes. Each starts a clock of the size and
# place the rules give, and the next save writes a whole, valid file.
#   bad_settings.sh PROGRAM.exe CLOCK-POKE.exe WINEPREFIX
. "$(dirname "$0")/common.sh"

# name, window rectangle, the size, X and Y saved afterwards; then the lines.
while IFS='|' read -r name rect saved lines; do
  rm -rf "$(settings_dir)"
  if [ "$lines" = noise ]; then mkdir -p "$(settings_dir)"; LC_ALL=C noise >"$(settings_file)"
  else
    # shellcheck disable=SC2086 # the lines are separate words
    write_settings $lines
  fi
  start_clock_and_wait
  [ "$(clock_rect)" = "$rect" ] && pass "$name: window $rect" || fail "$name: window '$(clock_rect)', expected $rect"
  close_clock "$name"
  # shellcheck disable=SC2086 # the settings are separate words
  check_settings 0 "$name, saved" $saved
done <<CASES
Size=99999|510 90 900 900|Size=900 X=510 Y=90|[Clock] Size=99999
Size=-5|880 460 160 160|Size=160 X=880 Y=460|[Clock] Size=-5
far off screen|1600 0 320 320|X=1600 Y=0|[Clock] X=50000 Y=-40000
X without Y|50 100 320 320|X=50 Y=100|[Clock] X=50
any letter case, strength 999|760 340 400 400|Size=400 X=760 Y=340 ReflectionStrength=150|[clock] size=400 reflectionSTRENGTH=999
random bytes|800 380 320 320|X=800 Y=380|noise
CASES

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
