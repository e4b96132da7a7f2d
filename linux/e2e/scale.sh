#!/usr/bin/env bash
# A desktop at scale 2 (GDK_SCALE, as a HiDPI session sets it): the clock
# works at 192 DPI, so the default size is 640 screen pixels, centred; the
# wheel resizes it about its centre in screen pixels, and the size dialog's
# slider ends where the monitor holds the clock.
#   scale.sh PROGRAM [SCREEN] [COMPOSITOR]
. "$(dirname "$0")/common.sh"
export GDK_SCALE=2

start_clock_and_wait
check_rect 10 "first start at scale 2" "640 220 640 640"
mouse_to_clock
xdotool click 4
check_rect 5 "one notch up at scale 2" "628 208 664 664"
check_settings 5 "after the wheel" Size=332 X=628 Y=208
# The largest size at 192 DPI (600) is more than the 1080 pixels high screen
# holds (540 at 192 DPI): the slider's end gives the screen's height.
choose Down
wait_for 10 eval '[ -n "$(size_dialog_window)" ]' || fail "no size dialog"
xdotool windowfocus --sync "$(size_dialog_window)" key End
check_rect 10 "the slider at its end at scale 2" "420 0 1080 1080"
xdotool key Escape
check_settings 5 "the dialog closed" Size=540 X=420 Y=0
close_clock "closed"

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
