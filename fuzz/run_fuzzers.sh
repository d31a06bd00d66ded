#!/bin/sh
# Builds the libFuzzer targets with clang (the `fuzz` preset) and runs every fuzz/fuzz_*.cpp target.
#
# Short mode (the test command): each target for a short, bounded time from its corpus, as many
# targets side by side as there are processors. New inputs go to a scratch folder (the committed
# corpus stays as it is); a crash leaves its input in build/fuzz/ and makes this script fail.
#   fuzz/run_fuzzers.sh [seconds per target (default 20)] [most runs per target]
#
# Long mode: brings each target (or those named) up to the given number of executions in total,
# as counted by fuzz/ledger.tsv, in rounds of at most 2,000,000 executions or 15 minutes taken by
# the targets in turn (so a run stopped early leaves them about equally far, and a slow target
# does not hold up the others). After every round the inputs that reach
# something new are merged into fuzz/corpus/<target>/, minimised: the named seeds stay, and the
# hash-named inputs are chosen afresh, smallest first, among the old ones and the round's finds.
# Every round appends a line to the ledger; the totals are printed at the end. A crash stops the
# run and fails it; its input is in build/fuzz/.
#   fuzz/run_fuzzers.sh --long [executions per target in total (default 10000000)] [target ...]
set -eu
cd "$(dirname "$0")/.."

long=false
if [ "${1:-}" = "--long" ]; then
  long=true
  shift
  executions="${1:-10000000}"
  [ $# -gt 0 ] && shift
else
  seconds="${1:-20}"
  runs="${2:-5000000}"
  set -- # the short run takes every target
fi

# The settings file target writes and syncs a file on every input: on a memory file system that
# costs nothing, on a disk it would set the pace.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  TMPDIR=/dev/shm
  export TMPDIR
fi

targets=""
for source in fuzz/fuzz_*.cpp; do
  target=$(basename "$source" .cpp)
  targets="$targets ${target#fuzz_}"
done
if [ $# -gt 0 ]; then
  for wanted in "$@"; do
    case " $targets " in
      *" $wanted "*) ;;
      *) echo "no fuzz target '$wanted' (have:$targets)" >&2; exit 2 ;;
    esac
  done
  targets="$*"
fi

binaries=""
for target in $targets; do binaries="$binaries fuzz_$target"; done
cmake --preset fuzz >/dev/null
# shellcheck disable=SC2086 # one word per target
cmake --build build/fuzz --target $binaries

# The longest input a target is given in long mode: long enough for every kind of input the
# reader knows (the seeds' sizes and then some), short enough to keep the corpus small and the
# executions quick.
max_len() {
  case "$1" in
    config) echo 512 ;;
    dib | bitmap | wave | http_response) echo 4096 ;;
    *) echo 8192 ;;
  esac
}

stat_of() { # stat name, log file
  sed -n "s/^stat::$1: *//p" "$2" | tail -n 1
}

# libFuzzer names the inputs it writes by their SHA-1; every other file is a hand-made seed.
is_found_input() {
  echo "$1" | grep -Eq '^[0-9a-f]{40}$'
}

# One long round: fuzzes a copy of the corpus, then merges the finds back, minimised.
long_round() { # target, executions
  target="$1"
  corpus="fuzz/corpus/$target"
  binary="./build/fuzz/fuzz/fuzz_$target"
  log="build/fuzz/$target.log"
  len=$(max_len "$target")
  mkdir -p "$corpus"
  scratch=$(mktemp -d)
  fresh=$(mktemp -d)
  find "$corpus" -maxdepth 1 -type f -exec cp {} "$scratch"/ \;

  round_status=0
  nice -n 15 "$binary" -runs="$2" -max_total_time="$round_seconds" -max_len="$len" -timeout=10 \
    -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix=build/fuzz/"$target"- "$scratch" 2>"$log" ||
    round_status=1
  done_executions=$(stat_of number_of_executed_units "$log")
  coverage=$(grep -E '^#[0-9]+ +DONE' "$log" | tail -n 1 | sed -n 's/.* cov: \([0-9]*\).* ft: \([0-9]*\).*/\1\t\2/p')
  [ -n "$coverage" ] || coverage=$(grep -E 'cov: [0-9]+' "$log" | tail -n 1 |
    sed -n 's/.* cov: \([0-9]*\).* ft: \([0-9]*\).*/\1\t\2/p')

  for file in "$corpus"/*; do
    [ -f "$file" ] || continue
    is_found_input "$(basename "$file")" || cp "$file" "$fresh"/
  done
  # The merge keeps an input for the code it reaches, not for how often it runs a branch
  # (-use_counters=0): that keeps the corpus a few hundred files at most, and the counts are
  # found again within seconds of the next round.
  if nice -n 15 "$binary" -merge=1 -use_counters=0 -max_len="$len" -timeout=10 -rss_limit_mb=2048 \
      "$fresh" "$scratch" 2>"build/fuzz/$target.merge.log"; then
    find "$corpus" -maxdepth 1 -type f -delete
    find "$fresh" -maxdepth 1 -type f -exec cp {} "$corpus"/ \;
  else
    echo "fuzz_$target: the merge failed, the corpus is left as it was (build/fuzz/$target.merge.log)"
    round_status=1
  fi
  rm -rf "$scratch" "$fresh"

  files=$(find "$corpus" -maxdepth 1 -type f | wc -l)
  bytes=$(find "$corpus" -maxdepth 1 -type f -exec cat {} + | wc -c)
  [ -f fuzz/ledger.tsv ] ||
    printf 'date\ttarget\texecutions\tcorpus_files\tcorpus_bytes\tedges\tfeatures\n' >fuzz/ledger.tsv
  printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$(date -u +%Y-%m-%dT%H:%M:%SZ)" "$target" \
    "${done_executions:-0}" "$files" "$bytes" "${coverage:-0	0}" >>fuzz/ledger.tsv
  echo "fuzz_$target: ${done_executions:-0} executions; corpus $files files, $bytes bytes"
  if [ "$round_status" -ne 0 ]; then
    tail -n 40 "$log"
    ls build/fuzz/"$target"-* 2>/dev/null || true
  fi
  return "$round_status"
}

status=0
if $long; then
  round_most=2000000
  round_seconds=900
  while :; do
    progressed=false
    for target in $targets; do
      so_far=0
      if [ -f fuzz/ledger.tsv ]; then
        so_far=$(awk -F '\t' -v t="$target" 'NR > 1 && $2 == t { n += $3 } END { print n + 0 }' \
          fuzz/ledger.tsv)
      fi
      left=$((executions - so_far))
      [ "$left" -gt 0 ] || continue
      round=$((left < round_most ? left : round_most))
      echo "== fuzz_$target: round of $round executions ($so_far of $executions done)"
      if ! long_round "$target" "$round"; then
        status=1
        break 2
      fi
      progressed=true
    done
    $progressed || break
  done
  echo "== executions in total (fuzz/ledger.tsv)"
  awk -F '\t' 'NR > 1 { total[$2] += $3; files[$2] = $4; bytes[$2] = $5 }
    END { for (t in total) printf "%-16s %12d executions, corpus %d files, %d bytes\n",
          t, total[t], files[t], bytes[t] }' fuzz/ledger.tsv | sort
  exit "$status"
fi

# One target's short run. Its report (and the end of its log if it fails) goes to a file, printed
# when every target is done, so that the reports of targets running side by side stay whole.
short_run() { # target
  target="$1"
  log="build/fuzz/$target.log"
  report="build/fuzz/$target.report"
  scratch=$(mktemp -d)
  # A target without a corpus yet starts from nothing.
  if [ -d fuzz/corpus/"$target" ]; then
    find fuzz/corpus/"$target" -maxdepth 1 -type f -exec cp {} "$scratch"/ \;
  fi
  echo "== fuzz_$target: up to ${seconds}s or $runs runs" | tee "$report"
  if ! ./build/fuzz/fuzz/fuzz_"$target" -max_total_time="$seconds" -runs="$runs" \
      -timeout=10 -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1 \
      -artifact_prefix=build/fuzz/"$target"- "$scratch" 2>"$log"; then
    echo "fuzz_$target FAILED" >>"$report"
    tail -n 40 "$log" >>"$report"
  fi
  grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "$log" >>"$report" || true
  rm -rf "$scratch"
}

# The targets run side by side, one per processor: each still has its full time to itself on a
# processor of its own. Every lane takes the next target nobody has claimed yet (mkdir is atomic),
# so a target that ends early by its number of runs frees its lane for the next one.
lanes=$(getconf _NPROCESSORS_ONLN 2>/dev/null || echo 1)
[ "$lanes" -ge 1 ] 2>/dev/null || lanes=1
claims=$(mktemp -d)
for target in $targets; do rm -f "build/fuzz/$target.report"; done
lane() {
  for target in $targets; do
    mkdir "$claims/$target" 2>/dev/null || continue
    short_run "$target"
  done
}
lane_pids=""
lane_number=0
while [ "$lane_number" -lt "$lanes" ]; do
  lane &
  lane_pids="$lane_pids $!"
  lane_number=$((lane_number + 1))
done
for pid in $lane_pids; do wait "$pid" || status=1; done
rm -rf "$claims"

echo "== results"
for target in $targets; do
  report="build/fuzz/$target.report"
  if [ ! -f "$report" ]; then
    echo "fuzz_$target: did not run"
    status=1
    continue
  fi
  cat "$report"
  grep -q "^fuzz_$target FAILED$" "$report" && status=1
done
exit "$status"
