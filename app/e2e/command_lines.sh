#!/usr/bin/env bash
# Command lines that are not exactly "--self-test FOLDER": the clock starts as
# with none (and ends with 0 when closed), and no self-test file appears in
# the folder named. A self-test folder of 10,000 characters cannot be made:
# exit 11.
#   command_lines.sh PROGRAM.exe CLOCK-POKE.exe WINEPREFIX
. "$(dirname "$0")/common.sh"

folder=$work/frames
mkdir -p "$folder"
dir=$(windows_path "$folder")
long=$(head -c 30000 /dev/zero | tr '\0' 'x')

# label|arguments, one per line; the arguments are split on tabs.
while IFS='|' read -r label arguments; do
  IFS=$'\t' read -r -a argv <<<"$arguments"
  [ "$label" = "an empty argument" ] && argv=("")
  [ "$label" = "a 30,000-character argument" ] && argv=("$long")
  start_clock "${argv[@]}"
  if wait_for 60 clock_shown; then
    close_clock "$label: started the clock; closed"
  else
    await_exit 1
    fail "$label: no clock (exit code $exit_code)"
  fi
  [ -z "$(ls -A "$folder")" ] || { fail "$label: the self-test wrote into the folder"; rm -f "$folder"/*; }
done <<CASES
the switch alone|--self-test
the switch in capitals|--SELF-TEST	$dir
one argument too many|--self-test	$dir	more
a single dash|-self-test	$dir
a slash|/self-test	$dir
the folder after an equals sign|--self-test=$dir
an empty argument|
a 30,000-character argument|
CASES

"${wine_run[@]}" "$exe" --self-test "$dir\\${long:0:10000}" </dev/null >>"$work/clock.log" 2>&1
code=$?
[ "$code" -eq 11 ] && pass "a 10,000-character self-test folder exits 11" || fail "a 10,000-character self-test folder exited $code"

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
