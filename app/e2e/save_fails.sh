#!/usr/bin/env bash
# Saves that cannot succeed: the disk is full (a small tmpfs over the settings
# folder, where the machine lets us mount one), the settings file is read-only,
# the settings folder is read-only (the saves wait a moment for what looks like
# a scanner's lock, then give up), the settings folder is a file. Each time the clock keeps running through a
# resize (saved 400 ms later) and its close (saved again), ends with 0, and
# what was there stays byte for byte; no temporary file is left behind.
#   save_fails.sh PROGRAM.exe CLOCK-POKE.exe WINEPREFIX
. "$(dirname "$0")/common.sh"
. "$source/selftest/e2e/common.sh"   # read_only, writable

# Starts the clock, turns the wheel a notch up, waits past the delayed save and
# closes it: the clock must be running all along.
work_the_clock() {
  local what=$1
  local x y width
  start_clock_and_wait
  read -r x y width _ < <(clock_rect)
  mouse_to_clock
  xdotool click 4
  # The notch grows it by 12 about its centre; its save comes 400 ms later.
  wait_for 10 rect_is "$((x - 6)) $((y - 6)) $((width + 12)) $((width + 12))" \
    || fail "$what: the notch gave '$(clock_rect)'"
  sleep 1
  clock_running && pass "$what: the clock runs on after a failed save" || fail "$what: the clock ended"
  close_clock "$what"
}
# The file at PATH still has the bytes saved in $work/before.
unchanged() {
  cmp -s "$work/before" "$1" && pass "$2: the file is as it was" || fail "$2: the file changed"
  [ ! -e "$(settings_file).tmp" ] || fail "$2: a temporary file was left"
}

# A full disk: the settings folder on a tmpfs of 64 KiB, filled up.
write_settings '[Clock]' Size=400
cp "$(settings_file)" "$work/before"
if mount -t tmpfs -o size=64k velmor-full "$(settings_dir)" 2>/dev/null; then
  cleanups+=("umount '$(settings_dir)'")
  cp "$work/before" "$(settings_file)"
  dd if=/dev/zero of="$(settings_dir)/filler" bs=1k 2>/dev/null
  work_the_clock "disk full"
  unchanged "$(settings_file)" "disk full"
  umount "$(settings_dir)" && cleanups=()
else
  echo "note: no tmpfs can be mounted here; the full disk is not tried"
fi

# A read-only settings file.
write_settings '[Clock]' Size=400
cp "$(settings_file)" "$work/before"
read_only "$(settings_file)"
cleanups+=("writable '$(settings_file)'")
work_the_clock "read-only file"
unchanged "$(settings_file)" "read-only file"
writable "$(settings_file)" && cleanups=()

# A read-only settings folder: no temporary file can be made in it.
write_settings '[Clock]' Size=400
cp "$(settings_file)" "$work/before"
read_only "$(settings_dir)"
cleanups+=("writable '$(settings_dir)'")
work_the_clock "read-only folder"
unchanged "$(settings_file)" "read-only folder"
writable "$(settings_dir)" && cleanups=()

# The settings folder is a file.
rm -rf "$(settings_dir)"
echo "not a folder" >"$(settings_dir)"
cp "$(settings_dir)" "$work/before"
work_the_clock "folder is a file"
cmp -s "$work/before" "$(settings_dir)" && pass "folder is a file: the file is as it was" \
  || fail "folder is a file: the file changed"
rm -f "$(settings_dir)"

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
