#!/bin/sh
# The real game under Xvfb asked to end by SIGTERM, as a desktop does when the player logs out: it
# ends at once with exit status 0, its settings written and no message, where a close request only
# asks the exit question.
. "$(dirname "$0")/lib.sh"
e2e_start "$1" "$2"
config="$E2E_WORK/config.dat"
e2e_wait_file "$config"
e2e_switch_sounds_off "$config"

# The settings live in the game as well: the file it wrote goes, and the end must write them anew.
rm "$config"
e2e_running || fail "the game ended in the menu"
kill -TERM "$E2E_GAME_PID"
ended=""
for _ in $(seq 1 100); do
  if ! e2e_running; then
    ended=yes
    break
  fi
  sleep 0.1
done
[ -n "$ended" ] || fail "SIGTERM did not end the game"
status=0
wait "$E2E_GAME_PID" || status=$?
E2E_GAME_PID=""
[ "$status" -eq 0 ] || fail "the game ended with status $status: $(cat "$E2E_WORK/stderr.log")"
[ -f "$config" ] || fail "the settings were not saved at the end"
[ "$(stat -c %s "$config")" = "158" ] || fail "config.dat is not 158 bytes"
[ "$(od -An -tx1 -j2 -N1 "$config" | tr -d ' ')" = "01" ] || fail "config.dat lost the sounds switched off"
echo "PASS"
