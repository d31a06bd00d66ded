#!/bin/sh
# Proven submissions of ten-minute recordings through skarvel-scores (SQLite, the game's own
# picture archive) while wrk reads its table pages, side by side on one server for the same
# seconds, ending in a table with the goals (at least 5 proven submissions and 3,000 pages a
# second).
# - The recordings are real games of 37,500 ticks and more, played by bench/long_game_player.h and
#   checked by the proof as they are made (bench/make_long_games); they are kept in
#   BUILD/bench/long_games/<archive and program digest>/ and made again when either changes.
# - The submissions go as the game sends them (handshake, the recording's upload, the result),
#   from 4 clients, paced at RATE a second ("max": 15 for each second of the run, all at once,
#   the verifier's queue holding them: how many a second it can prove). Each is counted proven
#   from /scores.json.
# - The pages: wrk, 4 threads, 32 connections, on the table page, as bench/server_load.sh reads it.
#   Before the run 100 results are proven (not timed), so that the page holds its 100 rows.
# Usage: bench/proof_load.sh [build folder (default build/release)] [seconds (default 30)]
#        [rate: submissions a second, or max (default 5)] [distinct games (default 16)]
set -eu
cd "$(dirname "$0")/.."
build=${1:-build/release}
seconds=${2:-30}
rate=${3:-5}
games=${4:-16}
program=$build/server/skarvel-scores
archive=$build/game/data/gamegraphic.dxg
maker=$build/bench/make_long_games
sender=$build/bench/proof_submissions
threads=${SKARVEL_BENCH_SERVER_THREADS:-4}

for needed in "$program" "$maker" "$sender"; do
  [ -x "$needed" ] || {
    echo "build first: cmake --build $build --target skarvel-scores make_long_games proof_submissions skarvel_assets" >&2
    exit 1
  }
done
[ -f "$archive" ] || { echo "the game's archive is missing: cmake --build $build --target skarvel_assets" >&2; exit 1; }
command -v wrk >/dev/null || { echo "wrk is missing: apt-get install wrk" >&2; exit 1; }

digest=$(cat "$archive" "$maker" | sha256sum | cut -c1-16)
recordings=$build/bench/long_games/$digest
if [ "$(ls "$recordings"/*.skr 2>/dev/null | wc -l)" -lt "$games" ]; then
  echo "== making $games ten-minute games in $recordings (once for this archive and program)"
  "$maker" --archive "$archive" --out "$recordings" --count "$games"
fi

work=$(mktemp -d)
server_pid=""
cleanup() {
  if [ -n "$server_pid" ]; then kill "$server_pid" 2>/dev/null || true; wait "$server_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

"$program" --listen 127.0.0.1:0 --result-rate 0 --handshake-rate 0 --threads "$threads" \
  --db "$work/bench.sqlite" --secret-file "$work/secret" --game-archive "$archive" \
  --verifier-queue 5000 >"$work/server.log" 2>&1 &
server_pid=$!
port=""
for _ in $(seq 1 100); do
  port=$(sed -n 's|.*listening on http://127\.0\.0\.1:\([0-9]*\)/.*|\1|p' "$work/server.log")
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || { echo "the server did not start:" >&2; cat "$work/server.log" >&2; exit 1; }
base="http://127.0.0.1:$port"

if [ "$rate" = max ]; then
  count=$((seconds * 15))
  pacing="--rate 0"
else
  count=$(awk -v r="$rate" -v s="$seconds" 'BEGIN { printf "%d", r * s }')
  pacing="--rate $rate"
fi

echo "== filling the table: 100 proven results first"
"$sender" --server "127.0.0.1:$port" --recordings "$recordings" --count 100 --clients 4 \
  >"$work/fill.out" 2>&1 || { cat "$work/fill.out" >&2; exit 1; }
grep "proven in this run" "$work/fill.out"

echo "proof load: $(nproc) cores, $threads server threads, ${seconds}s, rate $rate, load average before $(cut -d' ' -f1-3 /proc/loadavg)"
# shellcheck disable=SC2086
"$sender" --server "127.0.0.1:$port" --recordings "$recordings" --first 100 --count "$count" \
  --clients 4 $pacing --seconds "$seconds" >"$work/proof.out" 2>&1 &
sender_pid=$!
wrk -t4 -c32 -d"${seconds}s" --latency "$base/cgi/version.pl?prg=Skarvel&show&type=0" \
  >"$work/wrk.out" 2>&1 || true
load_after=$(cut -d' ' -f1-3 /proc/loadavg)
wait "$sender_pid" || true
cat "$work/proof.out"
grep -E "Requests/sec|50%|99%|Non-2xx|Socket errors" "$work/wrk.out" || true
echo "server: $(grep -c ' proven ' "$work/server.log" || true) proven, $(grep -c ' refused' "$work/server.log" || true) refused in its log"

pages=$(awk '/^Requests\/sec:/ { printf "%.0f", $2 }' "$work/wrk.out")
p99=$(awk '$1 == "99%" { print $2 }' "$work/wrk.out")
window=$(sed -n 's/^proven within the first .*, \([0-9.]*\) a second$/\1/p' "$work/proof.out")
overall=$(sed -n 's/^proven submissions a second: \([0-9.]*\)$/\1/p' "$work/proof.out")
proven=$(sed -n 's/^proven in this run: \([0-9]*\),.*/\1/p' "$work/proof.out")
sent=$(sed -n 's/^submissions: \([0-9]*\) sent.*/\1/p' "$work/proof.out")
lag=$(sed -n 's/.*s after the start (\([0-9.]*\) s after the last was sent)$/\1/p' "$work/proof.out")
echo
echo "ten-minute games (37,500 ticks), rate $rate, ${seconds}s, 2 loads side by side:"
printf '%-56s %10s   %s\n' "submissions proven / sent" "${proven:--}/${sent:--}" ""
printf '%-56s %10s   %s\n' "proven a second, within the ${seconds}s" "${window:--}" "goal >= 5/s sustained"
printf '%-56s %10s   %s\n' "proven a second, to the last verdict" "${overall:--}" ""
printf '%-56s %10s   %s\n' "the last verdict, seconds after the last sent" "${lag:--}" "small: no backlog"
printf '%-56s %10s   %s\n' "table pages/s meanwhile (p99 ${p99:--})" "${pages:--}" "goal >= 3000/s"
printf '%-56s %10s\n' "load average at the end" "$load_after"
