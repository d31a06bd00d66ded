#!/bin/sh
# Writes the README's screenshots (docs/screenshots/*.png) from staged scenes of the real game.
# Usage: sh tools/screens/take_screenshots.sh [build folder, default build/release]
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-build/release}
frames=$(mktemp -d)
trap 'rm -rf "$frames"' EXIT
(cd "$build/game" && "$root/$build/tools/game_screens" "$frames")
mkdir -p "$root/docs/screenshots"
for ppm in "$frames"/*.ppm; do
  name=$(basename "$ppm" .ppm)
  convert "$ppm" -strip -define png:compression-level=9 "$root/docs/screenshots/$name.png"
done
ls -l "$root/docs/screenshots"
