#!/bin/sh
# Writes the README's screenshots (docs/screenshots/*.png) from staged scenes of the real game.
# Usage: sh tools/screens/take_screenshots.sh [build folder, default build/release]
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-build/release}
frames=$(mktemp -d)
stage=$(mktemp -d)
trap 'rm -rf "$frames" "$stage"' EXIT
# A copy of the game folder, so that the staged games leave no settings behind.
cp -R "$build/game/." "$stage/"
(cd "$stage" && "$root/$build/tools/game_screens" "$frames")
mkdir -p "$root/docs/screenshots"
for ppm in "$frames"/*.ppm; do
  name=$(basename "$ppm" .ppm)
  convert "$ppm" -strip -define png:compression-level=9 "$root/docs/screenshots/$name.png"
done
ls -l "$root/docs/screenshots"
