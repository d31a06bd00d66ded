# shellcheck shell=sh
# shellcheck disable=SC2154 # server_program and work are the test's own
# Shared by the score server's script tests: skarvel-scores ($server_program) on a free loopback
# port, and headless chromium to look at its pages. The test sets $work (its scratch folder) and
# fail(), and ends the processes in $pids when it ends.

pids=""

# skip_missing PROGRAM FOUND: ends the test as skipped where FOUND, PROGRAM's path, is empty.
skip_missing() {
  [ -n "$2" ] && return 0
  echo "SKIP: $1 is not installed (sh scripts/install-deps.sh installs it)"
  exit 77
}

# start_scores LOG ARGUMENT...: skarvel-scores on a free port of 127.0.0.1 with the arguments
# given, its output in LOG. Sets scores_pid (also added to $pids) and, once it listens (10 s at
# the most), scores_port.
start_scores() {
  log=$1
  shift
  "$server_program" --listen 127.0.0.1:0 "$@" >"$log" 2>&1 &
  scores_pid=$!
  pids="$pids $scores_pid"
  scores_port=""
  for _ in $(seq 1 100); do
    scores_port=$(sed -n 's|.*listening on http://127\.0\.0\.1:\([0-9]*\)/.*|\1|p' "$log")
    [ -n "$scores_port" ] && break
    sleep 0.1
  done
  [ -n "$scores_port" ] || fail "skarvel-scores did not start: $(cat "$log")"
}

chromium_program=$(command -v chromium || command -v chromium-browser || true)

# browse ARGUMENT...: headless chromium with a profile of its own in $work; its messages are added
# to $work/chromium.log.
browse() {
  timeout 90 "$chromium_program" --headless --no-sandbox --disable-gpu --disable-quic \
    --no-first-run --disable-background-networking --disable-component-update --disable-sync \
    --disable-dev-shm-usage --hide-scrollbars --user-data-dir="$work/profile" "$@" 2>>"$work/chromium.log"
}
