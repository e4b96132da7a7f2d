#!/usr/bin/env bash
# The notification icon: a panel's watcher of its own on the session bus sees
# the clock register its StatusNotifierItem, reads the item's id, title and
# icon and, through the dbusmenu interface, the clock's menu, whose check
# marks and "Hide clock"/"Show clock" follow the clock's state.
#   tray.sh PROGRAM [SCREEN] [COMPOSITOR]
. "$(dirname "$0")/common.sh"

"$python" "$here/sni_watcher.py" "$work/item.txt" 120 >"$work/watcher.log" 2>&1 &
pids+=($!)
sleep 0.5 # the watcher owns its name before the clock looks for it
start_clock_and_wait

item_has() { grep -qxF "$1" "$work/item.txt" 2>/dev/null; }
for line in "Id velmor-clock" "Title Velmor Clock" "Status Active" "IconName velmor-clock"; do
  wait_for 10 item_has "$line" && pass "the item's $line" || fail "the item has no '$line'"
done
mapfile -t expected < <(expected_menu 0 0 1 1 1 0 1 0 1 0 Hide)
menu_is() { diff <(printf '%s\n' "$@") <(sed -n '5,$p' "$work/item.txt") >/dev/null 2>&1; }
wait_for 10 menu_is "${expected[@]}" && pass "the item exports the menu" ||
  { fail "the item's menu differs"; diff <(printf '%s\n' "${expected[@]}") <(sed -n '5,$p' "$work/item.txt"); }

# Hidden from the clock's own menu: the item's menu now offers to show it.
choose Up Up Up
wait_for 5 clock_hidden || fail "the clock stayed shown"
mapfile -t expected < <(expected_menu 0 0 1 1 1 0 1 0 1 0 Show)
wait_for 10 menu_is "${expected[@]}" && pass "the item's menu offers Show clock" || fail "the item's menu did not follow"

close_clock "closed while hidden"
echo "$failures failure(s)"
[ "$failures" -eq 0 ]
