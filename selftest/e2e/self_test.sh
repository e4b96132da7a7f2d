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
trap 'writable "$work/read-only" 2>/dev/null; rm -rf "$work"' EXIT

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

# Folders a user can get wrong: each exits 11 and writes nothing where it should not.
# An existing file as the folder: nothing can be saved, the file stays as it was.
echo keep >"$work/a-file"
run_clock --self-test "$(windows_path "$work/a-file")"
code=$?
[ "$code" -eq 11 ] && pass "a file as the folder exits 11" || fail "a file as the folder exited $code"
[ "$(cat "$work/a-file")" = keep ] || fail "the file given as the folder changed"
# A read-only folder.
mkdir "$work/read-only" && read_only "$work/read-only"
run_clock --self-test "$(windows_path "$work/read-only")"
code=$?
[ "$code" -eq 11 ] && pass "a read-only folder exits 11" || fail "a read-only folder exited $code"
[ -z "$(ls -A "$work/read-only")" ] || fail "files appeared in the read-only folder"
# An empty folder text is refused: the files would land at the root of the
# current drive (Z:\ is / under Wine), "\preview-160.png" and the rest.
(cd "$work" && run_clock --self-test "")
code=$?
[ "$code" -eq 11 ] && pass "an empty folder exits 11" || fail "an empty folder exited $code"
stray=$(self_test_files | while read -r name; do [ -e "/$name" ] && echo "/$name"; done)
[ -z "$stray" ] && pass "an empty folder writes nothing at the drive root" \
  || { fail "an empty folder wrote $(echo $stray)"; rm -f $stray; }
# A folder path of 300 characters, past the old MAX_PATH (the program is long-path
# aware), its parents there, the folder itself made by the self-test.
parent=$work/$(printf 'd%.0s' {1..120})/$(printf 'e%.0s' {1..120})
mkdir -p "$parent"
long=$parent/$(printf 'f%.0s' $(seq $((300 - ${#parent} - 1 - 2))))
[ ${#long} -eq 298 ] || fail "the long path is $((${#long} + 2)) characters"
run_clock --self-test "$(windows_path "$long")"
code=$?
[ "$code" -eq 0 ] && [ -f "$long/selftest.txt" ] && pass "a 300-character folder path exits 0 with its report" \
  || fail "a 300-character folder path exited $code"

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
