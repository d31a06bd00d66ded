#!/bin/sh
# The real game's menu under Xvfb, driven by real key presses: Options, sounds switched off, back
# to the main menu, and "config.dat" holds the new setting; Escape on the main menu asks whether to
# leave, and OK ends the game.
. "$(dirname "$0")/lib.sh"
e2e_start "$1" "$2"

e2e_running || fail "the game ended at start: $(cat "$E2E_WORK/stderr.log")"
# The window opens before the game has read its data and settings.
for _ in $(seq 1 100); do
  [ -f "$E2E_WORK/config.dat" ] && break
  sleep 0.1
done
[ -f "$E2E_WORK/config.dat" ] || fail "no config.dat after start"

# The sound switch is stored inverted: 0 in the file means on.
sound_byte() { od -An -tx1 -j2 -N1 "$E2E_WORK/config.dat" | tr -d ' '; }
[ "$(sound_byte)" = "00" ] || fail "sounds are not on at first start"

press() {
  for key in "$@"; do
    e2e_key "$key"
    sleep 0.15
  done
}

press Down Return          # Options
press Down Down Return     # sounds off
press Escape               # back to the main menu
for _ in $(seq 1 50); do
  [ "$(sound_byte)" = "01" ] && break
  sleep 0.1
done
[ "$(sound_byte)" = "01" ] || fail "config.dat does not hold the sounds switched off"
[ "$(stat -c %s "$E2E_WORK/config.dat")" = "158" ] || fail "config.dat is not 158 bytes"
e2e_running || fail "the game ended in the menu"

press Escape               # the exit question
sleep 0.5
e2e_running || fail "Escape alone ended the game"
press Return               # OK
e2e_wait_end "OK on the exit question did not end the game"
echo "PASS"
