#!/usr/bin/env bash
# `make fuzz`: runs every fuzz target for a set time. Each has a corpus of its own in the build
# folder (kept between runs), seeded from the files of tests/data and examples/ that it reads and
# from fuzz/seeds. A crash, a leak, a sanitizer report, a hang (over 10 s for one input) or an
# input that needs more than the memory limit fails the run and leaves the input in
# <build>/artifacts. Prints the executions per target at the end.
#
# fuzz/limits holds the inputs at the edge of what the program accepts (the largest INI range,
# one more): each runs once under the same memory limit, so the limit is shown to hold without
# slowing the fuzzing down with seconds-long inputs.
set -euo pipefail
build=${1:-build-fuzz}
seconds=${2:-60}
root=$(pwd)
status=0
summary=()

seed() { # target, file patterns...
  local name=$1
  local dir=$build/seeds/$name
  shift
  rm -rf "$dir"
  mkdir -p "$dir"
  for pattern in "$@"; do
    find "$root/tests/data" "$root/examples" -type f -iname "$pattern" -exec cp {} "$dir/" \; 2>/dev/null || true
  done
  if [ -d "$root/fuzz/seeds/$name" ]; then cp "$root/fuzz/seeds/$name"/* "$dir/"; fi
  if [ "$name" = import ]; then cp "$root/fuzz/seeds/ini"/* "$dir/"; fi
}

for target in tlk ini import number splice recover; do
  case $target in
    tlk) seed $target '*.tlk' ;;
    ini | import) seed $target '*.ini' ;;
    number) seed $target ;;
    splice) seed $target '*.erm' ;;
    recover) seed $target '*.erm' ;;
  esac
  corpus=$build/corpus/$target
  mkdir -p "$corpus" "$build/artifacts"
  log=$build/fuzz-$target.log
  if [ -d "$root/fuzz/limits/$target" ]; then
    echo "== fuzz_$target on the inputs at the limits"
    if ! KORV_FUZZ_ALL_RANGES=1 "$build/fuzz/fuzz_$target" "$root/fuzz/limits/$target"/* \
        -rss_limit_mb=2048 -timeout=30 \
        >"$build/limits-$target.log" 2>&1; then
      status=1
      echo "fuzz_$target FAILED at the limits; the log is $build/limits-$target.log"
    fi
  fi
  echo "== fuzz_$target for ${seconds}s"
  if ! "$build/fuzz/fuzz_$target" "$corpus" "$build/seeds/$target" \
      -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$build/artifacts/$target-" >"$log" 2>&1; then
    status=1
    echo "fuzz_$target FAILED; the log is $log:"
    grep -E 'ERROR|invariant|SUMMARY|Test unit written' "$log" | head -20 || true
  fi
  runs=$(grep -m1 'stat::number_of_executed_units' "$log" | awk '{print $2}' || true)
  summary+=("fuzz_$target: ${runs:-?} executions in ${seconds}s")
done

printf '%s\n' "${summary[@]}"
exit $status
