#!/bin/sh
# Sending a result through the real game under Xvfb to a score server that takes 4 s for each
# answer. The game and the server run in a network of their own, where the game's configured
# score server is 127.0.0.1. While "PLEASE WAIT..." stands (8 s), the player presses Enter twice and
# Down (on the Scores screen that follows they would clear the table and move the focus), the
# window is minimised and restored, and its close box is used. Afterwards config.dat holds the
# table as it was when the result was taken, the server got the result once, and the window
# redrew the wait throughout.
# Usage: send_result_test.sh BINARY GAME_DIR [SCORE_SERVER]  (SCORE_SERVER as the build names it)
. "$(dirname "$0")/lib.sh"

e2e_score_server "${3:-localhost}"
e2e_private_network
DELAY=4

# SKARVEL_E2E_KEEP names a folder that receives the pictures taken, to be looked at.
finish() {
  [ -f "$E2E_WORK/server.pid" ] && kill "$(cat "$E2E_WORK/server.pid")" 2>/dev/null
  e2e_keep_pictures
  e2e_cleanup
}
trap finish EXIT INT TERM
e2e_copy_game "$1" "$2"
cp "$(dirname "$0")/slow_score_server.py" "$E2E_WORK"/
e2e_empty_score_table

# The game's score server is 127.0.0.1 in there: by its address, or by its name in the hosts file.
e2e_hosts_file "$HOST"

e2e_start_x
export SDL_AUDIODRIVER=dummy
$PRIVATE_NETWORK sh -c '
  set -e
  ip link set lo up
  [ "$4" = 127.0.0.1 ] || ip addr add "$4/32" dev lo
  mount --bind "$1/hosts" /etc/hosts
  python3 "$1/slow_score_server.py" "$2" "$3" "$1/server.log" "$4" &
  echo $! >"$1/server.pid"
  cd "$1"
  exec ./skarvel' sh "$E2E_WORK" "$PORT" "$DELAY" "$BIND" >"$E2E_WORK/stdout.log" 2>"$E2E_WORK/stderr.log" &
E2E_GAME_PID=$!
e2e_wait_window
e2e_wait_listening "$E2E_WORK/server.log" 50
sleep 0.5

requests() { grep -c ' /' "$E2E_WORK/server.log" || true; }
answers() { grep -c ' answered$' "$E2E_WORK/server.log" || true; }
# Red pixels where the wait is announced ("PLEASE WAIT..."), in a picture of the client area.
wait_caption_red() {
  convert "$1" -crop 170x48+315+214 +repage -fx '(r>0.7&&g<0.35&&b<0.35)' \
    -format '%[fx:round(mean*w*h)]' info:
}
# Waits up to 10 s until the server has received `$1` requests.
wait_for_requests() {
  for _ in $(seq 1 100); do
    [ "$(requests)" -ge "$1" ] && return 0
    sleep 0.1
  done
  return 1
}

e2e_play_to_a_place
[ "$(requests)" = 0 ] || fail "the result was sent before the question was answered"
sleep 0.5
cp "$E2E_WORK/config.dat" "$E2E_WORK/config.taken"

e2e_key Return              # Yes: the result sets out
wait_for_requests 1 || fail "no handshake after Yes"
e2e_shot wait1
e2e_running || fail "the game ended when the result set out"
# The window has the focus since Yes: the keys go straight to it.
xdotool key --window "$E2E_WINDOW" --delay 100 Return Return Down
xdotool windowminimize --sync "$E2E_WINDOW" 2>/dev/null || xdotool windowminimize "$E2E_WINDOW"
sleep 0.3
xdotool windowactivate --sync "$E2E_WINDOW" 2>/dev/null || xdotool windowmap "$E2E_WINDOW"
sleep 0.5
e2e_shot wait2
wmctrl -c Skarvel           # the close box
sleep 0.5
e2e_shot wait3
# Everything above happened while the result was on its way, or the test proves nothing.
[ "$(answers)" -lt 2 ] || fail "the machine was too slow: the wait was over before the checks"

for _ in $(seq 1 200); do
  [ "$(answers)" = 2 ] && break
  sleep 0.1
done
[ "$(answers)" = 2 ] || fail "the server did not answer the result: $(cat "$E2E_WORK/server.log")"
sleep 1.5
e2e_shot after
e2e_running || fail "the game ended during or after the wait: $(cat "$E2E_WORK/stderr.log")"

for picture in wait1 wait2 wait3; do
  red=$(wait_caption_red "$E2E_WORK/$picture.png")
  [ "$red" -gt 40 ] || fail "$picture: the window does not show PLEASE WAIT... ($red red pixels)"
done
[ "$(wait_caption_red "$E2E_WORK/after.png")" -lt 40 ] || fail "PLEASE WAIT... still stands after the answer"
[ "$(requests)" = 2 ] || fail "the result was sent more than once: $(cat "$E2E_WORK/server.log")"
grep -q '/cgi/version.pl?version&prg=Skarvel$' "$E2E_WORK/server.log" || fail "no handshake"
grep -q '/cgi/version.pl?hs&prg=Skarvel&inf=' "$E2E_WORK/server.log" || fail "no result"
# The Scores screen opened with its first item, "Clear scores", highlighted: Down did not move it.
highlighted() {
  convert "$E2E_WORK/after.png" -crop "$1" +repage -fx '(r>0.7&&g<0.5&&b<0.3)' \
    -format '%[fx:round(mean*w*h)]' info:
}
[ "$(highlighted 170x26+355+472)" -gt 50 ] && [ "$(highlighted 140x26+585+472)" -lt 10 ] ||
  fail "the Scores screen's focus is not on Clear scores"
cmp -s "$E2E_WORK/config.dat" "$E2E_WORK/config.taken" ||
  fail "the keys pressed during the wait changed the score table"
[ "$(stat -c %s "$E2E_WORK/config.dat")" = 158 ] || fail "config.dat is not 158 bytes"

# The game answers as usual: Escape leaves Scores, Escape asks whether to leave, OK ends it.
e2e_key Escape
sleep 0.3
e2e_key Escape
sleep 0.5
e2e_running || fail "Escape alone ended the game"
e2e_key Return
e2e_wait_end "the game did not end through the exit question"
echo "PASS"
