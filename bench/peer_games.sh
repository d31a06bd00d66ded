#!/bin/sh
# Skarvel side by side with two arcade games from Debian (Kobo Deluxe, Chromium B.S.U.), each
# started the same way, several runs each on a private Xvfb (no GPU, no window manager), sound to
# SDL's dummy driver (Chromium B.S.U. plays through OpenAL, so its sound is off). Per game and run:
# the time to its window and to its first drawn picture (bench/window_probe), its CPU use and the X
# server's on the menu and while playing (fire held, steering), and its peak resident memory after
# playing. Prints a table of medians with [lowest..highest].
# Needs the peers: apt-get install kobodeluxe chromium-bsu. A peer that is not installed is left out.
# Usage, from the repository: sh bench/peer_games.sh [build folder] [runs] [seconds per CPU figure]
# (after `cmake --build build/release --target skarvel window_probe`).
set -eu
BUILD=$(cd "${1:-build/release}" && pwd)
RUNS=${2:-3}
SECONDS_MEASURED=${3:-5}
PROBE="$BUILD/bench/window_probe"
[ -x "$PROBE" ] || { echo "no $PROBE: cmake --build $1 --target window_probe" >&2; exit 1; }
KOBO=$(command -v kobodl || echo /usr/games/kobodl)
BSU=$(command -v chromium-bsu || echo /usr/games/chromium-bsu)

results=$(mktemp)
work=""
xvfb_pid=""
game_pid=""
stop() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null && wait "$game_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null || true
  game_pid=""
  xvfb_pid=""
  [ -n "$work" ] && rm -rf "$work"
  work=""
}
trap 'stop; rm -f "$results"' EXIT INT TERM

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)
# CPU of the game and of the X server over the measured seconds, in % of one core: "GAME X".
measure_cpu() {
  g0=$(cpu_ticks "$game_pid")
  x0=$(cpu_ticks "$xvfb_pid")
  "$@"
  g1=$(cpu_ticks "$game_pid")
  x1=$(cpu_ticks "$xvfb_pid")
  awk -v g="$((g1 - g0))" -v x="$((x1 - x0))" -v hz="$hz" -v s="$SECONDS_MEASURED" \
    'BEGIN {printf "%.1f %.1f", 100 * g / hz / s, 100 * x / hz / s}'
}
idle() { sleep "$SECONDS_MEASURED"; }
# Fire held, the two steering keys in turn, half a second each.
play() {
  xdotool keydown ctrl
  end=$(($(date +%s) + SECONDS_MEASURED))
  while [ "$(date +%s)" -lt "$end" ]; do
    xdotool keydown "$steer_a" sleep 0.5 keyup "$steer_a" keydown "$steer_b" sleep 0.5 keyup "$steer_b"
  done
  xdotool keyup ctrl
}

start_x() {
  display=120
  while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
  Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp -noreset -br >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$display"
  for _ in $(seq 1 300); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.1; done
  echo "Xvfb did not start" >&2
  exit 1
}

# run_game COMMAND...: one run of the game set up by the caller (label, title, keys to start a
# game, steering keys); appends "LABEL window_ms frame_ms menu_cpu menu_x play_cpu play_x hwm_kb".
run_game() {
  start_x
  work=$(mktemp -d)
  mkdir "$work/home"
  if [ "$label" = skarvel ]; then cp -R "$BUILD/game/." "$work/"; fi
  t0=$(date +%s%N)
  (cd "$work" && HOME="$work/home" SDL_AUDIODRIVER=dummy exec "$@" >/dev/null 2>&1) &
  game_pid=$!
  set -- $("$PROBE" "$title" "$t0" 20 || true)
  window=${1:-0}
  window_ms=${2:--1}
  frame_ms=${3:--1}
  if [ "$window" = 0 ] || ! kill -0 "$game_pid" 2>/dev/null; then
    echo "  $label: no window" >&2
    stop
    return 0
  fi
  sleep 2 # the menu settles (music starts, first fades)
  menu=$(measure_cpu idle)
  # Keyboard focus without a window manager: give it to the window and keep the pointer inside.
  xdotool windowfocus "$window" mousemove --window "$window" 100 100 2>/dev/null || true
  for key in $start_keys; do
    xdotool key "$key"
    sleep 0.6
  done
  sleep 1.5 # the level's first moments ("get ready")
  playing=$(measure_cpu play)
  hwm=$(awk '/^VmHWM/ {print $2}' "/proc/$game_pid/status")
  echo "$label $window_ms $frame_ms $menu $playing $hwm" >>"$results"
  echo "  $label: window $window_ms ms, frame $frame_ms ms, menu $menu, playing $playing, peak ${hwm} kB" >&2
  stop
}

games=""
for run in $(seq 1 "$RUNS"); do
  echo "run $run of $RUNS" >&2
  label=skarvel title=Skarvel start_keys=Return steer_a=Up steer_b=Down
  run_game ./skarvel
  games="skarvel"
  if [ -x "$KOBO" ]; then
    # A fresh home: the name dialog (A, OK), then Start Game, then the skill level.
    label=kobo title="Kobo Deluxe" start_keys="Return Return Return Return Return"
    steer_a=Left steer_b=Right
    run_game "$KOBO"
    games="$games kobo"
  else
    echo "  Kobo Deluxe is not installed (apt-get install kobodeluxe)" >&2
  fi
  if [ -x "$BSU" ]; then
    label=bsu title="Chromium B.S.U." start_keys=Return steer_a=Left steer_b=Right
    run_game "$BSU" -w -v 2 -na
    games="$games bsu"
  else
    echo "  Chromium B.S.U. is not installed (apt-get install chromium-bsu)" >&2
  fi
done

# cell GAME COLUMN SCALE FORMAT: the median of a column over the runs, then [lowest..highest].
cell() {
  awk -v g="$1" -v c="$2" '$1 == g {print $c}' "$results" | sort -n | awk -v f="$3" -v fmt="$4" '
    {v[NR] = $1 * f}
    END {
      if (NR == 0) { printf "-"; exit }
      m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
      printf fmt " [" fmt ".." fmt "]", m, v[1], v[NR]
    }'
}
game_name() { case $1 in skarvel) echo Skarvel ;; kobo) echo Kobo Deluxe ;; bsu) echo Chromium B.S.U. ;; esac; }
# row TITLE COLUMN SCALE FORMAT UNIT [X_COLUMN]: one figure for every game measured.
row() {
  printf '| %s |' "$1"
  for game in $games; do
    printf ' %s%s' "$(cell "$game" "$2" "$3" "$4")" "$5"
    [ -n "${6:-}" ] && printf ' + X %s' "$(cell "$game" "$6" 1 %.1f)"
    printf ' |'
  done
  echo
}
echo
echo "$RUNS runs each; CPU in % of one core over $SECONDS_MEASURED s; $(nproc) cores:"
printf '| figure |'
for game in $games; do printf ' %s |' "$(game_name "$game")"; done
echo
printf '|---|'
for game in $games; do printf -- '---|'; done
echo
row "to the window" 2 1 %.0f " ms"
row "to the first drawn frame" 3 1 %.0f " ms"
row "CPU on the menu" 4 1 %.1f " %" 5
row "CPU playing (fire held, steering)" 6 1 %.1f " %" 7
row "memory playing (peak RSS)" 8 0.0009765625 %.1f " MB"
