#!/usr/bin/env bash
# Settings files a user may have: out-of-range sizes, a position off every
# screen, half a position, any letter case, random bytes, the Windows
# program's UTF-16 file. Each starts a clock of the size and place the rules
# give, and closing it writes a whole, valid file.
#   bad_settings.sh PROGRAM [SCREEN] [COMPOSITOR]
. "$(dirname "$0")/common.sh"

# name, window rectangle, what is saved on closing; then the file's lines.
while IFS='|' read -r name rect saved lines; do
  rm -rf "$(settings_dir)"
  mkdir -p "$(settings_dir)"
  case "$lines" in
    noise) LC_ALL=C noise >"$(settings_file)" ;;
    # shellcheck disable=SC2086 # the lines are separate words
    utf16*) { printf '\xff\xfe'; printf '%s\r\n' ${lines#utf16 } | iconv -f UTF-8 -t UTF-16LE; } >"$(settings_file)" ;;
    # shellcheck disable=SC2086
    *) write_settings $lines ;;
  esac
  start_clock_and_wait
  check_rect 5 "$name" "$rect"
  # "Always on top" asks the window manager to keep the clock above others.
  above=no; [[ "$(xprop -id "$(clock_xwindow)" _NET_WM_STATE)" == *_NET_WM_STATE_ABOVE* ]] && above=yes
  want=no; [[ " $saved " == *" AlwaysOnTop=1 "* ]] && want=yes
  [ "$above" = "$want" ] && pass "$name: above other windows: $above" || fail "$name: above other windows: $above"
  close_clock "$name"
  # shellcheck disable=SC2086 # the settings are separate words
  check_settings 1 "$name, saved" $saved
done <<CASES
Size=99999|510 90 900 900|Size=900 X=510 Y=90|[Clock] Size=99999
Size=-5|880 460 160 160|Size=160 X=880 Y=460|[Clock] Size=-5
far off screen|1600 0 320 320|X=1600 Y=0|[Clock] X=50000 Y=-40000
X without Y|50 100 320 320|X=50 Y=100|[Clock] X=50
any letter case, strength 999|760 340 400 400|Size=400 X=760 Y=340 AlwaysOnTop=1 ReflectionStrength=150|[clock] size=400 alwaysONtop=1 reflectionSTRENGTH=999
random bytes|800 380 320 320|X=800 Y=380|noise
the Windows program's file|40 60 480 480|Size=480 X=40 Y=60 Shadows=0|utf16 [Clock] Size=480 X=40 Y=60 Shadows=0
CASES

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
