#!/usr/bin/env bash
# The Debian package: its file name, control fields and dependencies, exactly
# the files it installs, a valid desktop entry and AppStream metadata, and a
# program that does not point into the build folder.
#   package_test.sh BUILD_DIR VERSION
set -u
build=$1 version=$2
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
work=$(mktemp -d "${TMPDIR:-/tmp}/velmor-package.XXXXXX")
trap 'rm -rf "$work"' EXIT

if ! cpack -G DEB -B "$work/out" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"; echo "FAIL: cpack"; exit 1
fi
deb="$work/out/velmor-clock_${version}_amd64.deb"
[ -f "$deb" ] && pass "the package is $(basename "$deb")" || { fail "no $(basename "$deb"): $(ls "$work/out")"; exit 1; }

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = velmor-clock ] && pass "Package velmor-clock" || fail "Package $(field Package)"
[ "$(field Version)" = "$version" ] && pass "Version $version" || fail "Version $(field Version)"
[ "$(field Architecture)" = amd64 ] && pass "Architecture amd64" || fail "Architecture $(field Architecture)"
depends=$(field Depends)
for library in libc6 libstdc++6 libgtk-3-0 libglib2.0-0 libcairo2 libayatana-appindicator3-1 libspng0 \
               libx11-6 libxext6; do
  [[ ", $depends," == *", $library "* || ", $depends," == *", $library,"* ]] && pass "depends on $library" ||
    fail "no dependency on $library in: $depends"
done

expected=$(printf '%s\n' ./usr/bin/velmor-clock ./usr/share/applications/com.dashwelle.VelmorClock.desktop \
  ./usr/share/metainfo/com.dashwelle.VelmorClock.metainfo.xml \
  ./usr/share/icons/hicolor/{16x16,24x24,32x32,48x48,64x64,128x128,256x256}/apps/velmor-clock.png | sort)
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort)
[ "$files" = "$expected" ] && pass "exactly the program, its entry, metadata and seven icons" ||
  { fail "the files differ"; diff <(echo "$expected") <(echo "$files"); }

dpkg-deb -x "$deb" "$work/root"
root="$work/root/usr/share"
desktop-file-validate "$root/applications/com.dashwelle.VelmorClock.desktop" &&
  pass "the desktop entry is valid" || fail "the desktop entry is not valid"
appstreamcli validate --no-net --pedantic "$root/metainfo/com.dashwelle.VelmorClock.metainfo.xml" >"$work/as.log" 2>&1 &&
  pass "the AppStream metadata is valid" || { fail "the AppStream metadata is not valid"; cat "$work/as.log"; }
for size in 16 24 32 48 64 128 256; do
  read -r w h < <(identify -format '%w %h' "$root/icons/hicolor/${size}x${size}/apps/velmor-clock.png")
  [ "$w $h" = "$size $size" ] || fail "the ${size}x${size} icon is $w x $h"
done
pass "each icon has its size"
grep -qF "$(cd "$build" && pwd)" "$work/root/usr/bin/velmor-clock" && fail "the program names the build folder" ||
  pass "the program does not name the build folder"

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
