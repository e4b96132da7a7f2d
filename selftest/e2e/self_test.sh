#!/usr/bin/env bash
# The real program's self-test under Wine: its files, its report and its exit
# codes. (Command lines that start the clock instead are an end-to-end scenario
# of the clock, app/e2e/command_lines.sh.)
#   self_test.sh PROGRAM.exe WINEPREFIX
set -u
exe=$1 prefix=$2
source=$(cd "$(dirname "$0")/../.." && pwd)
. "$source/selftest/e2e/common.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A writable folder that does not exist yet: every file, the exact report, exit 0.
out=$work/frames
run_clock --self-test "$(windows_path "$out")"
code=$?
[ "$code" -eq 0 ] && pass "self-test exits 0" || fail "self-test exited $code, expected 0"
expected=$(self_test_files | sort)
actual=$(ls -1 "$out" 2>/dev/null | sort)
[ "$actual" = "$expected" ] && pass "the 21 files (5 previews, 12 rotations, 3 feature frames, the report), nothing else" || fail "files differ: $(diff <(echo "$expected") <(echo "$actual") | tr '\n' ' ')"
printf 'failures=0\r\nface_native=1254\r\nmax_render=1200\r\n' | iconv -f ASCII -t UTF-16LE >"$work/report"
cmp -s "$work/report" "$out/selftest.txt" && pass "report bytes" || fail "report is $(od -c "$out/selftest.txt" | head -5)"
# Every picture is a PNG of its own size (width and height from the header).
while read -r name size; do
  header=$(head -c 24 "$out/$name" 2>/dev/null | od -An -tu1 | tr -s ' \n' ' ')
  want=$(printf ' 137 80 78 71 13 10 26 10 0 0 0 13 73 72 68 82 0 0 %d %d 0 0 %d %d ' \
         $((size / 256)) $((size % 256)) $((size / 256)) $((size % 256)))
  [ "$header" = "$want" ] && pass "$name is a ${size}-pixel PNG" || fail "$name header:$header"
done <<LIST
preview-160.png 160
preview-320.png 320
preview-640.png 640
preview-960.png 960
preview-1200.png 1200
rotation-0.png 320
rotation-11.png 320
no-glass.png 640
no-shadow.png 640
no-seconds.png 320
LIST
cmp -s "$out/rotation-0.png" "$out/rotation-1.png" && fail "rotation frames 0 and 1 are identical" || pass "rotations differ"
cmp -s "$out/no-glass.png" "$out/no-shadow.png" && fail "no-glass and no-shadow are identical" || pass "feature frames differ"

# Run again into the same folder: an existing folder is fine, files are replaced.
run_clock --self-test "$(windows_path "$out")"
code=$?
[ "$code" -eq 0 ] && pass "self-test into an existing folder exits 0" || fail "second run exited $code"

# A folder below a file can be neither made nor written: exit 11, no report.
touch "$work/blocker"
run_clock --self-test "$(windows_path "$work/blocker/frames")"
code=$?
[ "$code" -eq 11 ] && pass "unwritable folder exits 11" || fail "unwritable folder exited $code, expected 11"
[ -f "$work/blocker" ] || fail "the blocking file went away"

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
