#!/bin/sh
# Builds the libFuzzer targets with clang (the `fuzz` preset) and runs each for a short, bounded
# time from its seed corpus. New inputs go to a scratch folder (the committed seeds stay as they
# are); a crash leaves its input in build/fuzz/ and makes this script fail.
# Usage: fuzz/run_fuzzers.sh [seconds per target (default 20)] [most runs per target]
set -eu
cd "$(dirname "$0")/.."
seconds="${1:-20}"
runs="${2:-5000000}"

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

status=0
for source in fuzz/fuzz_*.cpp; do
  target=$(basename "$source" .cpp)
  target=${target#fuzz_}
  scratch=$(mktemp -d)
  cp fuzz/corpus/"$target"/* "$scratch"/
  echo "== fuzz_$target: up to ${seconds}s or $runs runs"
  if ! ./build/fuzz/fuzz/fuzz_"$target" -max_total_time="$seconds" -runs="$runs" \
      -timeout=10 -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1 \
      -artifact_prefix=build/fuzz/"$target"- "$scratch" 2>build/fuzz/"$target".log; then
    status=1
    tail -n 40 build/fuzz/"$target".log
  fi
  grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' build/fuzz/"$target".log || true
  rm -rf "$scratch"
done
exit "$status"
