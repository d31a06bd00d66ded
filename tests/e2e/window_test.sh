#!/bin/sh
# The real game under Xvfb: its window is "Skarvel" with an 800x600 client area; Alt+Enter switches
# to full screen and back; a close request becomes the exit question and the game keeps running.
. "$(dirname "$0")/lib.sh"
e2e_start "$1" "$2"

e2e_running || fail "the game ended at start: $(cat "$E2E_WORK/stderr.log")"
e2e_wait_size 800x600
import -window root "$E2E_WORK/window.png"

e2e_alt_enter
e2e_wait_size 1024x768
e2e_running || fail "the game ended going full screen"
e2e_alt_enter
e2e_wait_size 800x600

wmctrl -c Skarvel
sleep 1
e2e_running || fail "a close request ended the game"
echo "PASS"
