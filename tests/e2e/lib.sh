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
  E2E_WINDOW=$(timeout 20 xdotool search --sync --onlyvisible --name '^Skarvel$' 2>/dev/null | head -n 1) ||
    fail "no window titled Skarvel"
  [ -n "$E2E_WINDOW" ] || fail "no window titled Skarvel"
  sleep 0.5
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
  E2E_WINDOW=$(timeout 20 xdotool search --sync --onlyvisible --name '^Skarvel$' 2>/dev/null | head -n 1) ||
    fail "no window titled Skarvel: $(cat "$E2E_WORK/stderr.log")"
  [ -n "$E2E_WINDOW" ] || fail "no window titled Skarvel"
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
  for _ in $(seq 1 50); do
    e2e_running || break
    sleep 0.1
  done
  e2e_running && fail "OK on the exit question did not end the game"
  wait "$E2E_GAME_PID" || fail "the game ended with an error: $(cat "$E2E_WORK/stderr.log")"
  E2E_GAME_PID=""
}
