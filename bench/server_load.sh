#!/bin/sh
# Load figures of skarvel-scores on the loopback interface, side by side in one run, ending in a
# table with the goals:
# - complete submissions a second (a handshake and then its result, 32 clients each on its own
#   connection, bench/server_submit.lua) and table pages a second (32 connections), with p50 and
#   p99 latency, for SQLite and for PostgreSQL (a throwaway server, scripts/throwaway-postgres.sh);
# - the style sheet served by nginx straight from a file (the bound) and by the server, as a ratio;
# - a polite client's GET / p50 and p99 while 1,000 idle connections, 100 header drippers and 16
#   clients sending 15 KB of headers are held (bench/http_attack.cpp);
# - the server's peak resident memory (VmHWM) over each run.
# Rate limits are off for the run.
# Usage: bench/server_load.sh [build folder (default build/release)] [seconds a run (default 10)]
#        [stores (default "sqlite postgres")]
set -eu
cd "$(dirname "$0")/.."
build=${1:-build/release}
seconds=${2:-10}
stores=${3:-sqlite postgres}
program=$build/server/skarvel-scores
attack=$build/bench/http_attack
clients=32
# Four workers, twice the cores of the machines we measure on: more only queue behind the one
# SQLite writer and lengthen the tail (32 gave a submission p99 of 37 ms against 14 ms with 4).
threads=${SKARVEL_BENCH_SERVER_THREADS:-4}

[ -x "$program" ] || { echo "build the server first: cmake --build --preset release" >&2; exit 1; }
[ -x "$attack" ] || { echo "build the attack clients first: cmake --build build/release --target http_attack" >&2; exit 1; }
command -v wrk >/dev/null || { echo "wrk is missing: apt-get install wrk" >&2; exit 1; }
command -v curl >/dev/null || { echo "curl is missing: apt-get install curl" >&2; exit 1; }
nginx_program=$(command -v nginx || ls /usr/sbin/nginx 2>/dev/null || true)

work=$(mktemp -d)
server_pid=""
nginx_pid=""
pg_started=""
cleanup() {
  if [ -n "$server_pid" ]; then kill "$server_pid" 2>/dev/null || true; wait "$server_pid" 2>/dev/null || true; fi
  if [ -n "$nginx_pid" ]; then kill "$nginx_pid" 2>/dev/null || true; wait "$nginx_pid" 2>/dev/null || true; fi
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

# The server's peak resident memory so far, in MB.
peak_rss() {
  awk '/^VmHWM:/ { printf "%.0f", $2 / 1024 }' "/proc/$server_pid/status"
}

stop_server() {
  kill "$server_pid"
  wait "$server_pid" || true
  server_pid=""
}

# A wrk latency figure ("850.00us", "1.20ms", "2.01s") in milliseconds.
# "-" when there is none (no request was answered).
to_ms() {
  echo "$1" | awk 'NF == 0 { print "-"; next } { v = $1 + 0; if ($1 ~ /us$/) v /= 1000; else if ($1 ~ /[0-9]s$/) v *= 1000; printf "%.2f", v }'
}

# Runs wrk with its arguments; sets rate, p50 and p99 from its --latency report.
run_wrk() {
  wrk --latency "$@" >"$work/wrk.out" 2>&1 || true
  rate=$(awk '/^Requests\/sec:/ { printf "%.0f", $2 }' "$work/wrk.out")
  [ -n "$rate" ] || rate=0
  p50=$(to_ms "$(awk '$1 == "50%" { print $2 }' "$work/wrk.out")")
  p99=$(to_ms "$(awk '$1 == "99%" { print $2 }' "$work/wrk.out")")
  # wrk prints a distribution of zeros when no request was answered at all.
  if [ "$rate" = 0 ]; then p50="none"; p99="none"; fi
  errors=$(awk '/Non-2xx|Socket errors/' "$work/wrk.out" | tr -s ' ' | tr '\n' ';')
}

table=""
row() {
  table="$table$(printf '%-38s %10s %9s %9s   %s' "$1" "$2" "$3" "$4" "$5")
"
}

echo "skarvel-scores load, $(nproc) cores, $threads server threads, ${seconds}s a run, load average $(cut -d' ' -f1-3 /proc/loadavg)"
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

  echo "== $store: submissions (handshake + result), $clients clients"
  wrk -t"$clients" -c"$clients" -d"${seconds}s" --latency -s bench/server_submit.lua "$base" \
    >"$work/wrk.out" 2>&1 || true
  grep -E "complete submissions|request latency|Non-2xx|Socket errors" "$work/wrk.out" || true
  submissions=$(sed -n 's/.*refused, \([0-9]*\) a second.*/\1/p' "$work/wrk.out")
  sub_p50=$(sed -n 's/.*p50 \([0-9.]*\) ms.*/\1/p' "$work/wrk.out")
  sub_p99=$(sed -n 's/.*p99 \([0-9.]*\) ms.*/\1/p' "$work/wrk.out")
  row "$store: complete submissions/s" "$submissions" "$sub_p50" "$sub_p99" \
    "$([ "$store" = sqlite ] && echo "goal >= 1000/s, p99 < 20 ms")"

  echo "== $store: table pages (100 rows a page), $clients connections"
  run_wrk -t4 -c"$clients" -d"${seconds}s" "$base/cgi/version.pl?prg=Skarvel&show&type=0"
  echo "$rate pages/s, p50 $p50 ms, p99 $p99 ms $errors"
  row "$store: table pages/s" "$rate" "$p50" "$p99" \
    "$([ "$store" = sqlite ] && echo "goal >= 3000/s, p99 < 20 ms")"

  if [ "$store" = sqlite ]; then
    echo "== the style sheet: the server, then nginx from a file"
    run_wrk -t2 -c"$clients" -d"${seconds}s" "$base/style.css"
    ours=$rate
    row "style.css from the server, req/s" "$rate" "$p50" "$p99" ""
    if [ -n "$nginx_program" ]; then
      mkdir -p "$work/nginx/web" "$work/nginx/logs"
      chmod 755 "$work" "$work/nginx" "$work/nginx/web"
      curl -s -o "$work/nginx/web/style.css" "$base/style.css"
      chmod 644 "$work/nginx/web/style.css"
      nginx_port=$((port + 1))
      [ "$(id -u)" -eq 0 ] && user_line="user root;" || user_line=""
      cat >"$work/nginx/nginx.conf" <<EOF
$user_line
worker_processes 1;
pid $work/nginx/nginx.pid;
daemon off;
events { worker_connections 1024; }
http {
    access_log off;
    client_body_temp_path $work/nginx/body;
    proxy_temp_path $work/nginx/proxy;
    fastcgi_temp_path $work/nginx/fastcgi;
    uwsgi_temp_path $work/nginx/uwsgi;
    scgi_temp_path $work/nginx/scgi;
    server { listen 127.0.0.1:$nginx_port; root $work/nginx/web; }
}
EOF
      "$nginx_program" -p "$work/nginx" -c "$work/nginx/nginx.conf" -e stderr 2>"$work/nginx.err" &
      nginx_pid=$!
      sleep 1
      run_wrk -t2 -c"$clients" -d"${seconds}s" "http://127.0.0.1:$nginx_port/style.css"
      kill "$nginx_pid"
      wait "$nginx_pid" 2>/dev/null || true
      nginx_pid=""
      row "style.css from nginx (one worker), req/s" "$rate" "$p50" "$p99" ""
      ratio=$(awk -v a="$ours" -v b="$rate" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }')
      row "style.css, server / nginx" "$ratio" "" "" "goal >= 0.50"
    else
      row "style.css from nginx" "-" "" "" "nginx is not installed"
    fi

    echo "== polite GET / under attack: 1000 idle, 100 header drippers, 16 clients with 15 KB headers"
    "$attack" "$port" 1000 100 16 $((seconds + 5)) >"$work/attack.out" 2>&1 &
    attack_pid=$!
    sleep 3
    run_wrk -t1 -c1 -d"${seconds}s" "$base/"
    wait "$attack_pid" || true
    cat "$work/attack.out"
    echo "polite: $(awk '/requests in/ { print $1, "answered" }' "$work/wrk.out"), $rate req/s, p50 $p50 ms, p99 $p99 ms $errors"
    row "polite GET / under attack" "$rate" "$p50" "$p99" "goal p99 < 50 ms"
  fi
  row "$store: server peak RSS, MB" "$(peak_rss)" "" "" "goal < 200 MB"
  stop_server
  if [ "$store" = postgres ]; then
    sh scripts/throwaway-postgres.sh stop "$work/pg"
    pg_started=""
  fi
done

echo
printf '%-38s %10s %9s %9s\n' "" "rate" "p50 ms" "p99 ms"
printf '%s' "$table"
