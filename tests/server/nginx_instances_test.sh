#!/bin/sh
# Two skarvel-scores instances behind nginx, configured from packaging/nginx/skarvel-scores.conf
# (ports, web folder and rates put in for the test), sharing a throwaway PostgreSQL database and
# one secret, all in a temporary folder as an ordinary process: a token from one instance is taken
# by the other; a result sent through nginx shows on the table page of both; one instance killed
# in the middle of a burst of submissions loses no acknowledged result and nginx sends the rest to
# the other; nginx serves the screenshots itself and enforces the result limit; the table page
# through nginx in headless chromium.
#   nginx_instances_test.sh SKARVEL_SCORES SKARVEL_SEND_RESULT WEB_DIR SOURCE_DIR
set -eu

server_program=$1
send_result=$2
web_dir=$3
source_dir=$4
. "$(dirname "$0")/scores_lib.sh"

nginx_program=$(command -v nginx || ls /usr/sbin/nginx 2>/dev/null || true)
skip_missing nginx "$nginx_program"
skip_missing curl "$(command -v curl || true)"

work=$(mktemp -d)
nginx_pid=""
pg_started=""
# nginx's master ends its workers on SIGTERM; killed outright it would leave them behind.
stop_nginx() {
  if [ -n "$nginx_pid" ]; then
    kill "$nginx_pid" 2>/dev/null || true
    wait "$nginx_pid" 2>/dev/null || true
    nginx_pid=""
  fi
}
cleanup() {
  stop_nginx
  for pid in $pids; do kill -9 "$pid" 2>/dev/null || true; done
  for pid in $pids; do wait "$pid" 2>/dev/null || true; done
  if [ -n "$pg_started" ]; then sh "$source_dir/scripts/throwaway-postgres.sh" stop "$work/pg" || true; fi
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

fail() {
  echo "FAIL: $*"
  for log in "$work"/*.log; do
    [ -f "$log" ] && { echo "--- $log"; tail -n 20 "$log"; }
  done
  exit 1
}

status=0
conninfo=$(sh "$source_dir/scripts/throwaway-postgres.sh" start "$work/pg") || status=$?
if [ "$status" -eq 77 ]; then
  echo "SKIP: no PostgreSQL server is installed"
  exit 77
fi
[ "$status" -eq 0 ] || fail "the throwaway PostgreSQL did not start"
pg_started=1

# One instance NAME on a free port; its port in $NAME_port, its pid in $NAME_pid (and in $pids).
start_instance() {
  name=$1
  start_scores "$work/$name.log" --postgres "$conninfo" --secret-file "$work/secret" \
    --trusted-proxy 127.0.0.1 --result-rate 0 --handshake-rate 0
  eval "${name}_pid=$scores_pid"
  eval "${name}_port=$scores_port"
}
# The first makes the secret; the second must read the same one.
start_instance a
start_instance b
a_url="http://127.0.0.1:$a_port"
b_url="http://127.0.0.1:$b_port"

# nginx from the shipped file: the instances' ports, a loopback port of its own, the test's web
# folder; the result limit raised (the burst below is one client) but kept, and checked at the end.
# $1: the rate of results a minute.
start_nginx() {
  result_rate=$1
  mkdir -p "$work/nginx/logs"
  chmod 755 "$work" "$work/nginx"
  for attempt in 1 2 3 4 5; do
    nginx_port=$((20000 + ($$ * 7 + attempt * 7919) % 40000))
    sed -e "s|127\.0\.0\.1:8081|127.0.0.1:$a_port|" \
        -e "s|127\.0\.0\.1:8082|127.0.0.1:$b_port|" \
        -e "s|listen 80;|listen 127.0.0.1:$nginx_port;|" \
        -e "/listen \[::\]:80;/d" \
        -e "s|/usr/local/share/skarvel-scores/web|$web_dir|" \
        -e "s|rate=10r/m|rate=${result_rate}r/m|" \
        -e "s|rate=60r/m|rate=6000r/m|" \
        -e "s|rate=10r/s|rate=1000r/s|" \
        "$source_dir/packaging/nginx/skarvel-scores.conf" >"$work/nginx/skarvel-scores.conf"
    user_line=""
    [ "$(id -u)" -eq 0 ] && user_line="user root;"
    cat >"$work/nginx/nginx.conf" <<EOF
$user_line
worker_processes 1;
pid $work/nginx/nginx.pid;
daemon off;
events { worker_connections 512; }
http {
    access_log $work/nginx.log;
    client_body_temp_path $work/nginx/body;
    proxy_temp_path $work/nginx/proxy;
    fastcgi_temp_path $work/nginx/fastcgi;
    uwsgi_temp_path $work/nginx/uwsgi;
    scgi_temp_path $work/nginx/scgi;
    include $work/nginx/skarvel-scores.conf;
}
EOF
    "$nginx_program" -p "$work/nginx" -c "$work/nginx/nginx.conf" -e stderr 2>"$work/nginx-errors.log" &
    nginx_pid=$!
    for _ in $(seq 1 50); do
      if curl -s -o /dev/null "http://127.0.0.1:$nginx_port/style.css"; then return 0; fi
      kill -0 "$nginx_pid" 2>/dev/null || break
      sleep 0.1
    done
    stop_nginx
  done
  fail "nginx did not start: $(cat "$work/nginx-errors.log")"
}
start_nginx 100000
proxy="127.0.0.1:$nginx_port"

# A token from A is taken by B: the instances share the secret.
"$send_result" "127.0.0.1:$a_port" S "AtoB" 7 "" "127.0.0.1:$b_port" >/dev/null ||
  fail "instance B refused a result with a token from instance A"
echo "ok: a token from A is taken by B"

# A result through nginx shows on the table page of either instance.
"$send_result" "$proxy" S "ViaNginx" 4321 "Norway" >/dev/null || fail "the result through nginx was not accepted"
for url in "$a_url" "$b_url"; do
  found=""
  # An instance that did not store it may show its page from a cache for up to 2 s.
  for _ in $(seq 1 40); do
    if curl -s "$url/cgi/version.pl?prg=Skarvel&show&type=0&all" | grep -q "ViaNginx"; then found=1; break; fi
    sleep 0.1
  done
  [ -n "$found" ] || fail "the result sent through nginx is not on the page of $url"
done
echo "ok: a result through nginx is on both instances' pages"

# The static files are nginx's own: the instances never see them.
curl -sf -o "$work/menu.png" "http://$proxy/screenshots/menu.png" || fail "nginx did not serve a screenshot"
cmp -s "$work/menu.png" "$web_dir/screenshots/menu.png" || fail "the screenshot through nginx differs"
if grep -q "/screenshots/" "$work/a.log" "$work/b.log"; then fail "an instance was asked for a screenshot"; fi
echo "ok: nginx serves the screenshots itself"

# A burst of submissions through nginx from four clients at once; instance A is killed midway.
burst() {
  client=$1
  for i in $(seq 1 30); do
    if "$send_result" "$proxy" S "Burst$client-$i" $((client * 100 + i)) "" >/dev/null 2>&1; then
      echo "Burst$client-$i $(date +%s%N)" >>"$work/acknowledged-$client"
    else
      echo "Burst$client-$i $(date +%s%N)" >>"$work/refused-$client"
    fi
  done
}
burst_pids=""
for client in 1 2 3 4; do
  : >"$work/acknowledged-$client"
  : >"$work/refused-$client"
  burst "$client" &
  burst_pids="$burst_pids $!"
done
# Midway: once a fair share of the burst was acknowledged.
for _ in $(seq 1 300); do
  [ "$(cat "$work"/acknowledged-* | wc -l)" -ge 30 ] && break
  sleep 0.02
done
kill -9 "$a_pid"
killed_at=$(date +%s%N)
for pid in $burst_pids; do wait "$pid"; done

cat "$work"/acknowledged-* | sort >"$work/acknowledged"
cat "$work"/refused-* | sort >"$work/refused"
acknowledged=$(wc -l <"$work/acknowledged")
refused=$(wc -l <"$work/refused")
after_kill=$(awk -v t="$killed_at" '$2 > t' "$work/acknowledged" | wc -l)
echo "burst: $acknowledged acknowledged ($after_kill after the kill), $refused refused"
[ "$acknowledged" -ge 30 ] || fail "the burst got only $acknowledged results through before the kill"
# A submission in flight when A died may be refused (its handshake's token gone with the
# connection); every later one goes to B.
[ "$refused" -le 4 ] || fail "$refused submissions were refused: nginx did not send them to B"
[ "$after_kill" -ge 20 ] || fail "only $after_kill submissions were acknowledged after the kill"

# Every acknowledged result is in the table, read from B and through nginx.
curl -s "$b_url/scores.json?size=500&all" >"$work/table.json"
missing=0
while read -r name _; do
  grep -q "\"$name\"" "$work/table.json" || { echo "lost: $name"; missing=$((missing + 1)); }
done <"$work/acknowledged"
[ "$missing" -eq 0 ] || fail "$missing acknowledged results are not in the table"
echo "ok: instance A killed in a burst, no acknowledged result lost, the rest went to B"

# The table page through nginx in headless chromium.
passed=4
if [ -n "$chromium_program" ]; then
  browse --dump-dom "http://$proxy/cgi/version.pl?prg=Skarvel&show&type=0&all" >"$work/table.dom" ||
    fail "chromium could not load the page through nginx"
  grep -q "World scores" "$work/table.dom" || fail "the page through nginx did not load"
  grep -q "ViaNginx" "$work/table.dom" || fail "the page through nginx lacks the result"
  echo "ok: the table page through nginx in chromium"
  passed=5
else
  echo "skipped: the page in chromium (chromium is not installed)"
fi

# The shipped result limit (10 a minute, a burst of 10) holds at nginx for one client, while its
# handshakes still pass.
stop_nginx
start_nginx 10
limited=0
for i in $(seq 1 12); do
  code=$(curl -s -o /dev/null -w '%{http_code}' "http://$proxy/cgi/version.pl?hs&prg=Skarvel&inf=AAAA$i")
  [ "$code" = 429 ] && limited=$((limited + 1))
done
[ "$limited" -ge 1 ] || fail "nginx let 12 results from one client through in a moment"
code=$(curl -s -o /dev/null -w '%{http_code}' "http://$proxy/cgi/version.pl?version&prg=Skarvel")
[ "$code" = 200 ] || fail "a handshake was limited with the results (HTTP $code)"
echo "ok: nginx limits results per client, not handshakes"

echo "$passed passed, 0 failed"
