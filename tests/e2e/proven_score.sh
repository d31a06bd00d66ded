#!/bin/sh
# A proven score, end to end: the real game, played with scripted keys through its event loop under
# Xvfb, sends its result and its recording to the real skarvel-scores (SQLite, with the game's
# picture archive, so it takes recordings) in a network of its own where the game's configured
# score server is 127.0.0.1. The table page in headless chromium then shows the result as proven
# with a link to its recording, /scores.json says "proven", the recording downloads through that
# link as the bytes the game kept, and `skarvel --replay` plays the download to the same score.
# Pictures (the table page, the end of the replay) are left in $SKARVEL_E2E_KEEP if set.
# Usage: proven_score.sh GAME_BINARY GAME_DIR SCORE_SERVER SKARVEL_SCORES
. "$(dirname "$0")/lib.sh"

e2e_score_server "$3"
SERVER_PROGRAM=$4
CHROMIUM=$(command -v chromium || command -v chromium-browser || true)
if [ -z "$CHROMIUM" ]; then
  echo "SKIP: chromium is not installed (sh scripts/install-deps.sh installs it)"
  exit 77
fi

# Everything runs in a network of its own, where loopback is all there is: the script starts itself
# again in there.
if [ -z "${SKARVEL_PROVEN_INSIDE:-}" ]; then
  e2e_private_network
  trap - EXIT INT TERM
  exec $PRIVATE_NETWORK env SKARVEL_PROVEN_INSIDE=1 sh "$0" "$@"
fi

SERVER_PID=""
finish() {
  [ -n "$SERVER_PID" ] && kill "$SERVER_PID" 2>/dev/null
  e2e_keep_pictures
  e2e_cleanup
}
trap finish EXIT INT TERM
e2e_copy_game "$1" "$2"
e2e_empty_score_table

# The game's score server is 127.0.0.1 here: by its address, or by its name in the hosts file.
ip link set lo up
e2e_hosts_file "$HOST"
[ "$BIND" = 127.0.0.1 ] || ip addr add "$BIND/32" dev lo
mount --bind "$E2E_WORK/hosts" /etc/hosts

"$SERVER_PROGRAM" --listen "$BIND:$PORT" --db "$E2E_WORK/scores.sqlite" \
  --game-archive "$E2E_WORK/data/gamegraphic.dxg" >"$E2E_WORK/server.log" 2>&1 &
SERVER_PID=$!
e2e_wait_listening "$E2E_WORK/server.log" 100
BASE="http://$BIND:$PORT"

e2e_start_x
e2e_launch
e2e_play_to_a_place
sleep 0.5
e2e_key Return              # Yes: the recording and the result set out

# The result arrives, is replayed off the request path, and ends proven.
json_field() {
  python3 -c 'import json, sys
rows = json.load(open(sys.argv[1]))["scores"]
print(" ".join(str(r.get(sys.argv[2], "-")) for r in rows))' "$E2E_WORK/scores.json" "$1"
}
status=""
for _ in $(seq 1 600); do
  curl -sS --max-time 5 "$BASE/scores.json?all" -o "$E2E_WORK/scores.json" 2>/dev/null &&
    status=$(json_field status) && [ "$status" = proven ] && break
  sleep 0.1
done
[ "$status" = proven ] || fail "/scores.json: the result is \"$status\", not proven: $(cat "$E2E_WORK/scores.json" "$E2E_WORK/server.log")"
[ "$(json_field name)" = Eve ] || fail "/scores.json names \"$(json_field name)\", not Eve"
SCORE=$(json_field score)
[ "$SCORE" -gt 0 ] || fail "the proven result has no points ($SCORE)"

# The table page, as a browser shows it: Eve ranked, proven, with the link to the recording.
browse() {
  timeout 90 "$CHROMIUM" --headless --no-sandbox --disable-gpu --disable-quic \
    --no-first-run --disable-background-networking --disable-component-update --disable-sync \
    --disable-dev-shm-usage --hide-scrollbars --user-data-dir="$E2E_WORK/profile" "$@" \
    2>>"$E2E_WORK/chromium.log"
}
PAGE="$BASE/cgi/version.pl?prg=Skarvel&show&type=0"
browse --dump-dom "$PAGE" >"$E2E_WORK/table.dom" || fail "chromium could not load $PAGE"
grep -q "World scores" "$E2E_WORK/table.dom" || fail "the table page did not load"
tr -d '\n' <"$E2E_WORK/table.dom" | grep -o '<tr[^>]*>.*</tr>' | sed 's|</tr>|</tr>\n|g' |
  grep '<td class="name">Eve</td>' >"$E2E_WORK/row.html" ||
  fail "the proven table does not show Eve: $(cat "$E2E_WORK/table.dom")"
grep -q ">$SCORE<" "$E2E_WORK/row.html" || fail "Eve's row does not show $SCORE points: $(cat "$E2E_WORK/row.html")"
LINK=$(sed -n 's|.*<td class="proof proven"><a href="\(/replays/[0-9]*\)">recording</a>.*|\1|p' "$E2E_WORK/row.html")
[ -n "$LINK" ] || fail "Eve's row has no link to a recording: $(cat "$E2E_WORK/row.html")"
browse --screenshot="$E2E_WORK/table-page.png" --window-size=1000,900 "$PAGE" >/dev/null ||
  fail "chromium could not take a picture of the table page"

# The recording, downloaded as anyone would, is what the game kept of this game.
curl -sS --fail --max-time 10 "$BASE$LINK" -o "$E2E_WORK/download.skr" || fail "$LINK did not download"
[ -s "$E2E_WORK/download.skr" ] || fail "$LINK is empty"
kept=""
for file in "$E2E_WORK"/replays/*; do
  cmp -s "$file" "$E2E_WORK/download.skr" && kept=$file
done
[ -n "$kept" ] || fail "the download is none of the game's own recordings: $(ls -l "$E2E_WORK/replays" 2>&1)"

# The game goes on as usual: Escape leaves Scores, Escape asks whether to leave, OK ends it.
sleep 1
e2e_key Escape
sleep 0.3
e2e_quit

# The download played back in the window, at normal speed, to its end.
(cd "$E2E_WORK" && exec ./skarvel --replay download.skr >"$E2E_WORK/replay.log" 2>"$E2E_WORK/replay.err") &
E2E_GAME_PID=$!
E2E_WINDOW=$(timeout 20 xdotool search --sync --onlyvisible --name '^Skarvel' 2>/dev/null | head -n 1) ||
  fail "the replay opened no window: $(cat "$E2E_WORK/replay.err")"
ended=""
for _ in $(seq 1 1200); do
  grep -q 'the recording ends' "$E2E_WORK/replay.log" && { ended=yes; break; }
  e2e_running || break
  sleep 0.1
done
[ -n "$ended" ] || fail "the replay did not reach its end: $(cat "$E2E_WORK/replay.log" "$E2E_WORK/replay.err")"
sleep 0.5
import -window root "$E2E_WORK/replay-end.png"
grep -q "with the score $SCORE (it claims $SCORE)\$" "$E2E_WORK/replay.log" ||
  fail "the replay does not end with the proven score $SCORE: $(cat "$E2E_WORK/replay.log")"
e2e_running || fail "the replay window closed by itself at the end"
e2e_key Escape              # leaves the replay
e2e_wait_end "Escape did not leave the replay" "$E2E_WORK/replay.err"
cat "$E2E_WORK/replay.log"
echo "PASS: Eve's $SCORE points proven, downloaded from $LINK and replayed to the same score"
