#!/usr/bin/env bash
# The zip holds the program, its read-me and the licence; unzipped into a
# folder with spaces and non-ASCII letters on a fresh prefix, the program
# runs from there and saves its settings.
#   portable_zip.sh VERSION DIST-DIR CLOCK-POKE.exe WINEPREFIX
. "$(dirname "$0")/common.sh"

entries=$(unzip -Z1 "$zip" | tr '\n' ' ')
[ "$entries" = "velmor-clock.exe README.txt LICENSE.txt " ] && pass "the zip holds $entries" ||
  fail "the zip holds $entries"
[ "$(unzip -p "$zip" README.txt | head -1)" = "Velmor Clock $version"$'\r' ] &&
  pass "the read-me names version $version, with Windows line ends" || fail "the read-me's first line is wrong"

folder="$work/Velmor Clock für Überall/Uhr ñ 時計"
mkdir -p "$folder"
unzip -q "$zip" -d "$folder"
exe=$folder/velmor-clock.exe
start_clock_and_wait
[ "$(clock_program)" = "$(windows_path "$exe")" ] && pass "the clock runs from $(windows_path "$exe")" ||
  fail "the clock runs from '$(clock_program)'"
close_clock
[ -f "$(settings_file)" ] && pass "it saved its settings" || fail "no settings file after closing"

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
