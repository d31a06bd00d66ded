#!/bin/sh
# What the menu loop costs: runs the real game under Xvfb on its menu and prints its CPU use over a
# number of seconds (default 10), then runs bench/menu_loop.cpp the same way for the tick
# intervals. Usage, from the repository: sh bench/menu_cpu.sh [build folder] [seconds]
set -eu
BUILD=$(cd "${1:-build/release}" && pwd)
RUN_SECONDS=${2:-10}

work=$(mktemp -d)
xvfb_pid=""
game_pid=""
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

cp -R "$BUILD/game/." "$work/"
display=95
while [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"
for _ in $(seq 1 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
# The dummy audio driver still runs the mixer thread, so music costs what it costs.
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

cd "$work"
./skarvel >/dev/null 2>&1 &
game_pid=$!
sleep 2  # start-up is not the menu loop
before=$(cpu_ticks "$game_pid")
sleep "$RUN_SECONDS"
after=$(cpu_ticks "$game_pid")
kill "$game_pid"
wait "$game_pid" 2>/dev/null || true
game_pid=""
hz=$(getconf CLK_TCK)
echo "skarvel on its menu for $RUN_SECONDS s under Xvfb:"
awk -v a="$after" -v b="$before" -v hz="$hz" -v s="$RUN_SECONDS" \
  'BEGIN {printf "  cpu: %.2f s = %.1f%% of one core\n", (a - b) / hz, 100 * (a - b) / hz / s}'

echo "menu_loop (the same loop, timed from inside):"
"$BUILD/bench/menu_loop" "$RUN_SECONDS" | sed 's/^/  /'
