#!/bin/sh
# Source coverage of the readers by their fuzz corpus: builds the replay drivers with clang's
# source-based coverage (the `coverage` preset), replays fuzz/corpus/<target>/ through each and
# prints llvm-cov's report of the reader sources that target exercises (lines, regions, functions).
# A target not listed below is reported over all the game's sources.
#   fuzz/coverage.sh [target ...]    (default: every fuzz/fuzz_*.cpp target)
# Needs llvm-profdata and llvm-cov (plain or with a version suffix, e.g. llvm-cov-14).
set -eu
cd "$(dirname "$0")/.."

tool() {
  for candidate in "$1" "$1"-14 "$1"-15 "$1"-16 "$1"-13; do
    if command -v "$candidate" >/dev/null 2>&1; then
      echo "$candidate"
      return
    fi
  done
  echo "fuzz/coverage.sh: $1 not found (apt-get install llvm)" >&2
  exit 2
}
profdata=$(tool llvm-profdata)
cov=$(tool llvm-cov)

# The reader sources each target is there to exercise.
sources_of() {
  case "$1" in
    container)
      echo engine/archive/archive_reader.cpp engine/archive/archive_value.cpp \
        engine/archive/archive_writer.cpp engine/archive/color_identifiers.cpp \
        engine/pictures/image_archive.cpp engine/pictures/picture_collection.cpp \
        engine/pictures/picture_data.cpp
      ;;
    dib) echo engine/pictures/dib_reader.cpp ;;
    bitmap) echo engine/pictures/dib_reader.cpp engine/pictures/picture_data.cpp ;;
    wave) echo engine/sound/wave.cpp engine/platform/sdl/sdl_sound_convert.cpp ;;
    wave_archive)
      echo engine/sound/wave_archive.cpp engine/sound/wave_list.cpp \
        engine/sound/wave_collection.cpp engine/sound/wave.cpp \
        engine/archive/archive_reader.cpp engine/archive/stream_bytes.cpp
      ;;
    http_response)
      echo online/http_response.cpp online/http_reader.cpp online/cookie_store.cpp \
        online/cookie_date.cpp
      ;;
    config) echo settings/config_file.cpp settings/config_record.cpp ;;
    result)
      echo server/result_decoding.cpp server/result_check.cpp protocol/result_encoding.cpp \
        protocol/result_payload.cpp protocol/latin1_text.cpp
      ;;
    *) echo "" ;;
  esac
}

targets=""
if [ $# -gt 0 ]; then
  targets="$*"
else
  for source in fuzz/fuzz_*.cpp; do
    target=$(basename "$source" .cpp)
    targets="$targets ${target#fuzz_}"
  done
fi

replays=""
for target in $targets; do replays="$replays fuzz_${target}_replay"; done
# Programs the build runs are instrumented too: their profiles stay in the build folder.
LLVM_PROFILE_FILE="$PWD/build/coverage/build-%p.profraw"
export LLVM_PROFILE_FILE
cmake --preset coverage >/dev/null
# shellcheck disable=SC2086 # one word per target
cmake --build build/coverage --target $replays

# The settings file target syncs a file per input: keep that off the disk.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  TMPDIR=/dev/shm
  export TMPDIR
fi

profiles=build/coverage/profiles
rm -rf "$profiles"
mkdir -p "$profiles"
for target in $targets; do
  corpus="fuzz/corpus/$target"
  if [ ! -d "$corpus" ]; then
    echo "== fuzz_$target: no corpus ($corpus), nothing to replay"
    continue
  fi
  binary="build/coverage/fuzz/fuzz_${target}_replay"
  LLVM_PROFILE_FILE="$profiles/$target.profraw" "$binary" "$corpus" >/dev/null
  "$profdata" merge -sparse "$profiles/$target.profraw" -o "$profiles/$target.profdata"
  echo "== fuzz_$target: $(find "$corpus" -maxdepth 1 -type f | wc -l) inputs"
  # llvm-cov names the files relative to their common folder: keep the header and the rows of the
  # reader sources, and add up the readers' own total.
  "$cov" report "$binary" -instr-profile="$profiles/$target.profdata" \
    -ignore-filename-regex='^/usr/' >"$profiles/$target.txt"
  awk -v wanted="$(sources_of "$target")" '
    function listed(name,   i, n, parts) {
      if (wanted == "") return name != "TOTAL" && name !~ /^(tests|fuzz)\//
      n = split(wanted, parts, " ")
      for (i = 1; i <= n; ++i) {
        if (parts[i] == name || substr(parts[i], length(parts[i]) - length(name)) == "/" name) return 1
      }
      return 0
    }
    function percent(missed, all) { return all ? sprintf("%.2f%%", 100 * (all - missed) / all) : "-" }
    NR == 1 { print; next }
    /^-+$/ { next }
    listed($1) { print; r += $2; rm += $3; f += $5; fm += $6; l += $8; lm += $9 }
    END {
      printf "readers together: regions %s (%d of %d), functions %s (%d of %d), lines %s (%d of %d)\n",
             percent(rm, r), r - rm, r, percent(fm, f), f - fm, f, percent(lm, l), l - lm, l
    }' "$profiles/$target.txt"
done
