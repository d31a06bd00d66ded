# shellcheck shell=sh
# Shared by the end-to-end tests: an X server (Xvfb) with a window manager (openbox), the game
# started in a scratch copy of its folder, and helpers to look at its window.
# Usage from a test: . "$(dirname "$0")/lib.sh"; e2e_start "$1" "$2"; ...; (cleanup is automatic)

set -eu

E2E_WORK=""
E2E_XVFB_PID=""
E2E_WM_PID=""
E2E_GAME_PID=""

e2e_cleanup() {
  for pid in $E2E_GAME_PID $E2E_WM_PID $E2E_XVFB_PID; do
    kill "$pid" 2>/dev/null || true
  done
  wait 2>/dev/null || true
  [ -n "$E2E_WORK" ] && rm -rf "$E2E_WORK"
}
trap e2e_cleanup EXIT INT TERM

fail() {
  echo "FAIL: $*" >&2
  if [ -n "${DISPLAY:-}" ] && [ -n "$E2E_WORK" ]; then
    import -window root "$E2E_WORK/failure.png" 2>/dev/null && cp "$E2E_WORK/failure.png" "${TMPDIR:-/tmp}/skarvel-e2e-failure.png" || true
  fi
  exit 1
}

# Starts Xvfb on the first free display with a 1024x768 screen, and openbox on it.
e2e_start_x() {
  e2e_start_xvfb
  e2e_start_wm
}

# Starts Xvfb on the first free display with a 1024x768 screen, with no window manager.
e2e_start_xvfb() {
  display=90
  while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
  xvfb_log=$(mktemp)
  # -noreset: an X server resets when its last client leaves, and a test connecting during the
  # reset (right after the readiness probe below) would find no display.
  Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>"$xvfb_log" &
  E2E_XVFB_PID=$!
  export DISPLAY=":$display"
  # A loaded machine (other builds, a package being installed) can take many seconds.
  ready=""
  for _ in $(seq 1 300); do
    if xdpyinfo >/dev/null 2>&1; then
      ready=yes
      break
    fi
    sleep 0.1
  done
  if [ -z "$ready" ]; then
    kill -0 "$E2E_XVFB_PID" 2>/dev/null && state="running" || state="ended"
    fail "Xvfb did not start on $DISPLAY ($state): $(cat "$xvfb_log")"
  fi
  rm -f "$xvfb_log"
}

# Starts openbox on the display.
e2e_start_wm() {
  openbox >/dev/null 2>&1 &
  E2E_WM_PID=$!
  sleep 0.5
}

# e2e_start BINARY GAME_DIR: starts the game in a scratch copy of its folder.
e2e_start() {
  e2e_copy_game "$1" "$2"
  e2e_start_x
  e2e_launch
}

# e2e_copy_game BINARY GAME_DIR: the scratch copy of the game's folder, E2E_WORK.
e2e_copy_game() {
  E2E_WORK=$(mktemp -d)
  cp -R "$2"/. "$E2E_WORK"/
  cp "$1" "$E2E_WORK"/skarvel
}

# Starts the game of E2E_WORK on the display and waits for its window.
e2e_launch() {
  export SDL_AUDIODRIVER=dummy
  (cd "$E2E_WORK" && exec ./skarvel >"$E2E_WORK/stdout.log" 2>"$E2E_WORK/stderr.log") &
  E2E_GAME_PID=$!
  e2e_wait_window
  sleep 0.5
}

# Waits up to 20 s for the game's window, E2E_WINDOW; the game's errors explain a missing one.
e2e_wait_window() {
  E2E_WINDOW=$(timeout 20 xdotool search --sync --onlyvisible --name '^Skarvel$' 2>/dev/null | head -n 1) ||
    fail "no window titled Skarvel: $(cat "$E2E_WORK/stderr.log")"
  [ -n "$E2E_WINDOW" ] || fail "no window titled Skarvel"
}

# Prints the client area's width and height of the game's window.
e2e_size() {
  xwininfo -id "$E2E_WINDOW" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}'
}

# Waits up to 5 s for the window to reach the size given.
e2e_wait_size() {
  for _ in $(seq 1 50); do
    [ "$(e2e_size)" = "$1" ] && return 0
    sleep 0.1
  done
  fail "window is $(e2e_size), expected $1"
}

e2e_running() { kill -0 "$E2E_GAME_PID" 2>/dev/null; }

e2e_key() {
  xdotool windowactivate --sync "$E2E_WINDOW" 2>/dev/null || true
  xdotool key --window "$E2E_WINDOW" --clearmodifiers "$@"
}

# Presses Alt+Enter and lets go of Enter before Alt, as a player does: the game acts on Enter's
# release while Alt is held. (xdotool's "key alt+Return" lets go of Alt first.)
e2e_alt_enter() {
  xdotool windowactivate --sync "$E2E_WINDOW" 2>/dev/null || true
  xdotool keydown --window "$E2E_WINDOW" --clearmodifiers alt keydown --window "$E2E_WINDOW" Return \
    keyup --window "$E2E_WINDOW" Return keyup --window "$E2E_WINDOW" alt
}

# e2e_start_as_player PROGRAM WORKING_FOLDER DATA_HOME: starts PROGRAM from WORKING_FOLDER as an
# ordinary user, with XDG_DATA_HOME=DATA_HOME and a clean environment, and waits for its window.
# When the test runs as root the player is "nobody" (root may write anywhere, which would hide
# where the game keeps its settings); otherwise it is the user running the test. Call e2e_start_x
# first; logs go to E2E_WORK.
e2e_start_as_player() {
  if [ "$(id -u)" -eq 0 ]; then
    as_player="setpriv --reuid=nobody --regid=nogroup --clear-groups --"
    chown nobody:nogroup "$2" "$3"
  else
    as_player=""
  fi
  # shellcheck disable=SC2086
  (cd "$2" && exec $as_player env -i DISPLAY="$DISPLAY" HOME="$3/home" XDG_DATA_HOME="$3" \
    PATH=/usr/bin:/bin SDL_AUDIODRIVER=dummy "$1" >"$E2E_WORK/stdout.log" 2>"$E2E_WORK/stderr.log") &
  E2E_GAME_PID=$!
  e2e_wait_window
  sleep 0.5
}

# Waits up to 10 s for a file to exist.
e2e_wait_file() {
  for _ in $(seq 1 100); do
    [ -f "$1" ] && return 0
    sleep 0.1
  done
  fail "no $1"
}

# The menu is drawn: the window's picture is not one flat colour (black before the first frame).
e2e_assert_drawn() {
  e2e_drawn "$1" || fail "the window is blank (spread $spread): $1"
}

# e2e_wait_drawn FILE [SECONDS]: waits up to SECONDS (10) for the window's picture to be drawn
# (see e2e_assert_drawn).
e2e_wait_drawn() {
  deadline=$(($(date +%s) + ${2:-10}))
  until e2e_drawn "$1"; do
    [ "$(date +%s)" -lt "$deadline" ] || fail "the window stays blank (spread $spread): $1"
    sleep 0.2
  done
}

# True when the window's picture, saved in the file given, is not one flat colour.
e2e_drawn() {
  import -window "$E2E_WINDOW" "$1" 2>/dev/null || import -window root "$1"
  spread=$(convert "$1" -colorspace Gray -format '%[fx:standard_deviation]' info:)
  awk -v s="$spread" 'BEGIN { exit !(s > 0.05) }'
}

# Options, sounds off, back to the main menu; then waits for the settings file to say so.
e2e_switch_sounds_off() {
  for key in Down Return Down Down Return Escape; do
    e2e_key "$key"
    sleep 0.15
  done
  for _ in $(seq 1 50); do
    [ "$(od -An -tx1 -j2 -N1 "$1" | tr -d ' ')" = "01" ] && return 0
    sleep 0.1
  done
  fail "$1 does not hold the sounds switched off"
}

# Escape, then OK on the exit question; waits for the game to end without an error.
e2e_quit() {
  for key in Escape Return; do
    e2e_key "$key"
    sleep 0.3
  done
  e2e_wait_end "OK on the exit question did not end the game"
}

# e2e_wait_end MESSAGE [ERROR_LOG]: waits up to 5 s for the game to end, and fails with MESSAGE
# (and a picture, stuck.png) where it does not, or with ERROR_LOG (the game's stderr.log) where it
# ends with an error.
e2e_wait_end() {
  for _ in $(seq 1 50); do
    e2e_running || break
    sleep 0.1
  done
  if e2e_running; then
    e2e_shot stuck 2>/dev/null || true
    fail "$1"
  fi
  wait "$E2E_GAME_PID" || fail "the game ended with an error: $(cat "${2:-$E2E_WORK/stderr.log}")"
  E2E_GAME_PID=""
}

# The tests that send a result to a score server of their own share what follows.

# e2e_score_server SERVER: HOST and PORT of the game's configured score server, "host:port" or
# "host" (port 80). An IPv6 address is not covered: the test is skipped.
# shellcheck disable=SC2034 # HOST and PORT are for the caller
e2e_score_server() {
  case "$1" in
    \[*) echo "SKIP: an IPv6 score server address is not covered"; exit 77 ;;
    *:*) HOST=${1%:*}; PORT=${1##*:} ;;
    *) HOST=$1; PORT=80 ;;
  esac
}

# Sets PRIVATE_NETWORK, the command that runs another in a network and mounts of its own, where
# loopback is all there is; skips the test where none can be made. Root makes the namespaces
# itself; anyone else as the root of a user namespace of their own.
e2e_private_network() {
  if [ "$(id -u)" = 0 ]; then
    PRIVATE_NETWORK="unshare --mount --net"
  else
    PRIVATE_NETWORK="unshare --map-root-user --mount --net"
  fi
  if ! $PRIVATE_NETWORK true 2>/dev/null; then
    echo "SKIP: needs a network of its own ($PRIVATE_NETWORK)"
    exit 77
  fi
}

# Copies the pictures taken to the folder $SKARVEL_E2E_KEEP names, if set, to be looked at.
e2e_keep_pictures() {
  [ -n "${SKARVEL_E2E_KEEP:-}" ] || return 0
  if mkdir -p "$SKARVEL_E2E_KEEP"; then
    cp "$E2E_WORK"/*.png "$SKARVEL_E2E_KEEP"/ 2>/dev/null || true
  fi
}

# config.dat in E2E_WORK: a table of ten empty entries with no points, so that any score places;
# music and sounds off. config.start keeps it, to tell when the game has written a place.
e2e_empty_score_table() {
  python3 - "$E2E_WORK/config.dat" <<'PY'
import sys
record = bytearray(158)
record[0:3] = bytes([1 ^ 1, 0 ^ 1, 0 ^ 1])    # window, music off, sounds off (stored XOR 1)
record[4:6] = (0x7B).to_bytes(2, "little")    # F12, the boss key
record[7:17] = b"\xff" * 10                   # no country
for k in range(10):
    at = 18 + 14 * k
    record[at + 1:at + 11] = b"\xff" * 10     # no name
    record[at + 12:at + 14] = b"\xff\xff"     # score 0, stored inverted
open(sys.argv[1], "wb").write(record)
PY
  cp "$E2E_WORK/config.dat" "$E2E_WORK/config.start"
}

# e2e_hosts_file HOST: E2E_WORK/hosts, for /etc/hosts in the private network, where the game's
# score server HOST is 127.0.0.1: by its address, or by its name in the hosts file. Sets BIND, the
# address the score server listens on there.
# shellcheck disable=SC2034 # BIND is for the caller
e2e_hosts_file() {
  case "$1" in
    *[!0-9.]*) BIND=127.0.0.1; printf '127.0.0.1 localhost %s\n' "$1" >"$E2E_WORK/hosts" ;;
    *) BIND=$1; printf '127.0.0.1 localhost\n' >"$E2E_WORK/hosts" ;;
  esac
}

# e2e_wait_listening LOG TENTHS: waits up to TENTHS tenths of a second for the score server whose
# log is LOG to say it is listening.
e2e_wait_listening() {
  for _ in $(seq 1 "$2"); do
    grep -q listening "$1" 2>/dev/null && break
    sleep 0.1
  done
  grep -q listening "$1" || fail "the score server did not start: $(cat "$1")"
}

# e2e_shot NAME: a picture of the game's window, E2E_WORK/NAME.png.
e2e_shot() { import -window "$E2E_WINDOW" "$E2E_WORK/$1.png"; }

# Waits up to 15 s for the parchment of a dialog in the middle of the window (result dialog).
e2e_wait_for_dialog() {
  for _ in $(seq 1 60); do
    e2e_shot probe
    convert "$E2E_WORK/probe.png" -crop 40x30+280+330 +repage -resize 1x1 \
      -format '%[fx:(r>0.7&&g>0.6&&b>0.45&&r>b+0.1)?1:0]' info: | grep -q 1 && return 0
    sleep 0.25
  done
  return 1
}

# A short game from the main menu: fire and sweep up and down until a few enemies have fallen,
# then end it.
e2e_play_short_game() {
  e2e_key Return            # New game
  sleep 2.5
  xdotool windowactivate --sync "$E2E_WINDOW" 2>/dev/null || true
  xdotool keydown ctrl keydown Right
  sleep 1
  xdotool keyup Right
  for _ in 1 2 3 4 5; do
    xdotool keydown Up; sleep 0.5; xdotool keyup Up
    xdotool keydown Down; sleep 1; xdotool keyup Down
    xdotool keydown Up; sleep 0.5; xdotool keyup Up
  done
  xdotool keyup ctrl
  e2e_key Escape
  sleep 0.3
  e2e_key Return            # OK: the game ends
}

# Plays short games until one places in the table of e2e_empty_score_table, enters the name Eve
# and waits for config.dat to hold the entry; the game then asks whether to send the result. Now
# and then on a loaded machine every shot misses: a game without points goes back to the main
# menu with New game focused, and another is played (three at the most).
e2e_play_to_a_place() {
  for game in 1 2 3; do
    e2e_play_short_game
    e2e_wait_for_dialog && break
    [ "$game" = 3 ] && { e2e_shot noplace; fail "no result dialog after GAME OVER in three games (no points?)"; }
  done
  e2e_key E v e
  e2e_key Return            # the name: the entry is saved, the send question asked
  for _ in $(seq 1 30); do
    cmp -s "$E2E_WORK/config.dat" "$E2E_WORK/config.start" || break
    sleep 0.1
  done
  if cmp -s "$E2E_WORK/config.dat" "$E2E_WORK/config.start"; then
    e2e_shot noplace
    fail "the game gave no place in the table (no points?)"
  fi
}
