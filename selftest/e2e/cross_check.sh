#!/usr/bin/env bash
# The program's self-test frames against velmor-preview's frames for the same
# sizes, times and options, from the native build: within 1 per channel after
# premultiplication. The native build is configured when it does not exist yet
# and its two tools brought up to date; when that fails, so does the check.
#   cross_check.sh PROGRAM.exe WINEPREFIX NATIVE_BUILD_DIR [CMAKE]
set -u
exe=$1 prefix=$2 native=$3 cmake=${4:-cmake}
source=$(cd "$(dirname "$0")/../.." && pwd)
. "$source/selftest/e2e/common.sh"
preview=$native/tools/preview/velmor-preview
compare=$native/selftest/velmor-png-compare
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if { [ -f "$native/CMakeCache.txt" ] ||
     "$cmake" -S "$source" -B "$native" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo; } >"$work/native.log" 2>&1 &&
   "$cmake" --build "$native" --parallel 2 --target velmor-preview velmor-png-compare >>"$work/native.log" 2>&1; then
  pass "velmor-preview and velmor-png-compare built in $native"
else
  tail -n 30 "$work/native.log"
  echo "FAIL: could not build velmor-preview and velmor-png-compare in $native"
  exit 1
fi

run_clock --self-test "$(windows_path "$work/program")"
code=$?
[ "$code" -eq 0 ] || fail "self-test exited $code"

# name, size, time, preview switches: the self-test's frames and settings.
frames() {
  for size in 160 320 640 960 1200; do echo "preview-$size.png $size 10:10:30"; done
  for i in 0 1 2 3 4 5 6 7 8 9 10 11; do
    printf 'rotation-%d.png 320 %02d:%02d:%02d\n' "$i" "$i" $((5 * i)) $((7 * i % 60))
  done
  echo "no-glass.png 640 10:10:30 --no-crystal"
  echo "no-shadow.png 640 10:10:30 --no-crystal --no-shadows"
  echo "no-seconds.png 320 10:10:30 --no-crystal --no-shadows --no-seconds"
}
mkdir -p "$work/reference"
while read -r name size time switches; do
  # shellcheck disable=SC2086 # switches are separate words
  if ! "$preview" frame --size "$size" --time "$time" $switches --resources "$source/resources" \
       "$work/reference/$name" >/dev/null; then
    fail "velmor-preview could not draw $name"
    continue
  fi
  result=$("$compare" --tolerance 1 "$work/program/$name" "$work/reference/$name" 2>&1) \
    && pass "$name: $result" || fail "$name: $result"
done < <(frames)

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
