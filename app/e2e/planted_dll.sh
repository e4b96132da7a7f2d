#!/usr/bin/env bash
# A DLL dropped beside the program under a system DLL's name is never loaded:
# the clock asks for system DLLs from the system folder only, and loads GDI+
# only after asking. The name is gdiplus.dll, which an ordinary import would
# have the loader take from the program's folder before start-up runs; Wine is
# told to prefer a native one wherever it finds it, and the test tool, copied
# beside the same DLL, shows that a default search would take it. (Wine's own
# DLLs load what they import in turn by a search of their own, which no program
# setting narrows, so only a DLL the program itself loads tells here.)
#   planted_dll.sh PROGRAM.exe CLOCK-POKE.exe WINEPREFIX PLANTED.dll
planted=$4
set -- "$1" "$2" "$3"
export WINEDLLOVERRIDES=gdiplus=n,b
. "$(dirname "$0")/common.sh"

install=$work/install
mkdir -p "$install"
cp "$exe" "$poke_exe" "$install/"
cp "$planted" "$install/gdiplus.dll"
marker=$install/gdiplus.dll.loaded
exe=$install/$(basename "$exe") poke_exe=$install/$(basename "$poke_exe")

# A clock that took the planted DLL cannot start its graphics; the marker says why.
shown_or_ended() { clock_shown || clock_ended; }
start_clock
wait_for 60 shown_or_ended
if clock_shown; then
  open_menu && xdotool key Escape
  wait_for 10 menu_closed || fail "the menu stayed open"
  close_clock
else
  fail "no clock window appeared"
fi
[ ! -e "$marker" ] && pass "the clock did not load the gdiplus.dll beside it" \
  || fail "the clock loaded the gdiplus.dll beside it"

# The control: a program without the system-folder rule loads the planted DLL.
poke load gdiplus.dll >/dev/null
[ -e "$marker" ] && pass "a default search loads the planted DLL (so the check above can fail)" \
  || fail "the planted DLL is not loaded even by a default search: the check above proves nothing"

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
