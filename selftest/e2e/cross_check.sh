#!/usr/bin/env bash
# The program's self-test frames against velmor-preview's frames for the same
# sizes, times and options, from the native build: within 1 per channel after
# premultiplication.
#   cross_check.sh PROGRAM.exe WINEPREFIX NATIVE_BUILD_DIR
set -u
exe=$1 prefix=$2 native=$3
source=$(cd "$(dirname "$0")/../.." && pwd)
. "$source/selftest/e2e/common.sh"
preview=$native/tools/preview/velmor-preview
compare=$native/selftest/velmor-png-compare
for tool in "$preview" "$compare"; do
  if [ ! -x "$tool" ]; then
    echo "SKIPPED: $tool is not built; build the native preset first" \
         "(cmake --preset native && cmake --build --preset native --target velmor-preview velmor-png-compare)"
    exit 77
  fi
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

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
