#!/bin/sh
# A window manager that starts after the game has drawn its menu takes the window into its frame:
# the window is mapped again with its content lost, and without the focus, so the game is inactive
# and its menu loop stopped. The menu must still come back at once, not stay black.
. "$(dirname "$0")/lib.sh"
e2e_copy_game "$1" "$2"
e2e_start_xvfb
e2e_launch
e2e_running || fail "the game ended at start: $(cat "$E2E_WORK/stderr.log")"
e2e_wait_drawn "$E2E_WORK/before.png"

root=$(xwininfo -root | awk '/Window id:/ {print $4}')
e2e_start_wm
# Framed and shown again: its parent is openbox's frame, no longer the root window.
framed=""
for _ in $(seq 1 100); do
  parent=$(xwininfo -children -id "$E2E_WINDOW" | awk '/Parent window id:/ {print $4}')
  if [ "$parent" != "$root" ] && xwininfo -id "$E2E_WINDOW" | grep -q IsViewable; then
    framed=yes
    break
  fi
  sleep 0.1
done
[ -n "$framed" ] || fail "openbox did not take the window"

e2e_wait_drawn "$E2E_WORK/framed.png" 4
e2e_running || fail "the game ended when the window manager took its window"
echo "PASS"
