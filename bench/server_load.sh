#!/bin/sh
# Load figures of skarvel-scores on the loopback interface with wrk, for SQLite and for PostgreSQL
# (a throwaway server, see scripts/throwaway-postgres.sh): complete submissions a second (a
# handshake and then its result, 32 clients each on its own connection) and table pages a second
# (32 connections), with p50 and p99 latency. Rate limits are off for the run.
# Usage: bench/server_load.sh [build folder (default build/release)] [seconds a run (default 10)]
#        [stores (default "sqlite postgres")]
set -eu
cd "$(dirname "$0")/.."
build=${1:-build/release}
seconds=${2:-10}
stores=${3:-sqlite postgres}
program=$build/server/skarvel-scores
clients=32
# Four workers, twice the cores of the machines we measure on: more only queue behind the one
# SQLite writer and lengthen the tail (32 gave a submission p99 of 37 ms against 14 ms with 4).
threads=${SKARVEL_BENCH_SERVER_THREADS:-4}

[ -x "$program" ] || { echo "build the server first: cmake --build --preset release" >&2; exit 1; }
command -v wrk >/dev/null || { echo "wrk is missing: apt-get install wrk" >&2; exit 1; }

work=$(mktemp -d)
server_pid=""
pg_started=""
cleanup() {
  if [ -n "$server_pid" ]; then kill "$server_pid" 2>/dev/null || true; wait "$server_pid" 2>/dev/null || true; fi
  if [ -n "$pg_started" ]; then sh scripts/throwaway-postgres.sh stop "$work/pg" || true; fi
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

start_server() {
  "$program" --listen 127.0.0.1:0 --result-rate 0 --handshake-rate 0 --threads "$threads" \
    --secret-file "$work/secret" "$@" >"$work/server.log" 2>&1 &
  server_pid=$!
  port=""
  for _ in $(seq 1 100); do
    port=$(sed -n 's|.*listening on http://127\.0\.0\.1:\([0-9]*\)/.*|\1|p' "$work/server.log")
    [ -n "$port" ] && return 0
    sleep 0.1
  done
  echo "the server did not start:" >&2
  cat "$work/server.log" >&2
  exit 1
}

# p50 and p99 of the time the server itself took per request (read to reply written), from its
# access log, for the requests logged since line $1: the client's figures add the wait for a core.
server_times() {
  tail -n +"$1" "$work/server.log" | sed -n 's/.* \([0-9.]*\)ms.*/\1/p' | sort -n |
    awk '{ t[NR] = $1 } END { if (NR) printf "server time per request: p50 %.2f ms, p99 %.2f ms (%d requests)\n", t[int(NR * 0.5) + 1], t[int(NR * 0.99) + 1], NR }'
}

stop_server() {
  kill "$server_pid"
  wait "$server_pid" || true
  server_pid=""
}

echo "skarvel-scores load, $(nproc) cores, $threads server threads, $clients clients, ${seconds}s a run"
for store in $stores; do
  case "$store" in
    sqlite) start_server --db "$work/bench.sqlite" ;;
    postgres)
      conninfo=$(sh scripts/throwaway-postgres.sh start "$work/pg")
      pg_started=1
      start_server --postgres "$conninfo"
      ;;
    *) echo "unknown store $store" >&2; exit 2 ;;
  esac
  base="http://127.0.0.1:$port"
  echo
  echo "== $store: submissions (handshake + result)"
  wrk -t"$clients" -c"$clients" -d"${seconds}s" --latency -s bench/server_submit.lua "$base" \
    | grep -E "complete submissions|request latency|Requests/sec|Non-2xx"
  server_times 2
  logged=$(wc -l <"$work/server.log")
  echo "== $store: table pages (100 rows a page)"
  wrk -t4 -c"$clients" -d"${seconds}s" --latency "$base/cgi/version.pl?prg=Skarvel&show&type=0" \
    | grep -E "Requests/sec|50%|99%|Non-2xx|Socket errors"
  server_times $((logged + 1))
  stop_server
  if [ "$store" = postgres ]; then
    sh scripts/throwaway-postgres.sh stop "$work/pg"
    pg_started=""
  fi
done
