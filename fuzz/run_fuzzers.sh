#!/bin/sh
# Runs every fuzzer of a build folder for SECONDS each, on a corpus kept in the build folder
# and seeded from the shipped examples and the test data, with the keys' dictionary.
#   sh fuzz/run_fuzzers.sh BUILD_FOLDER SECONDS [NAME...]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$1
seconds=$2
shift 2
names=${*:-$(cd "$build" && ls fuzz_* 2>/dev/null)}
for name in $names; do
  corpus="$build/corpus/$name"
  if [ ! -d "$corpus" ]; then
    mkdir -p "$corpus"
    case $name in
      fuzz_item_file | fuzz_item_format | fuzz_skipped_lines)
        cp "$root"/examples/*.dat "$corpus"/
        for f in "$root"/tests/data/linking-cases/*/from.txt; do
          cp "$f" "$corpus/$(basename "$(dirname "$f")").txt"
        done ;;
      fuzz_layout_recognition) cp "$root"/tests/data/layouts/* "$root"/examples/*.dat "$corpus"/ ;;
      fuzz_parameters_form) cp "$root"/examples/*.ini "$root"/resources/dlginip.tvk "$corpus"/ ;;
      fuzz_row_skip) for s in '{1-2}' '{3S2R1}' '{10S3}' '{1,5,7-9}' '{}'; do
                       printf '%s' "$s" > "$corpus/$(printf '%s' "$s" | cksum | cut -d' ' -f1)"; done ;;
      fuzz_whole_run) head -c 64 /dev/urandom > "$corpus/random" ;;
      *) cp "$root"/examples/*.ini "$corpus"/ ;;
    esac
  fi
  echo "== $name ($seconds s)"
  [ -x "$build/$name" ] || { echo "fuzz: no $build/$name"; exit 1; }
  "$build/$name" "$corpus" -dict="$root/fuzz/torvak.dict" -max_total_time="$seconds" -timeout=20 \
    -rss_limit_mb=2048 -print_final_stats=1 2>&1 | grep -E "^(stat::number_of_executed_units|Done|==.*ERROR|SUMMARY)" || true
  # A crash leaves its input as crash-*/timeout-*/oom-* in the current folder.
  if ls crash-* timeout-* oom-* >/dev/null 2>&1; then echo "fuzz: $name found a problem"; exit 1; fi
done
