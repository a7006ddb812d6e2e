#!/usr/bin/env bash
# `make bench`: runs the benchmarks of a Release build and writes the measured table, with the
# machine it was measured on, to bench/RESULTS.md. Extra arguments go to every benchmark program
# (for instance --benchmark_filter=Load).
set -euo pipefail
build=${1:-build-bench}
shift || true
out=bench/RESULTS.md
parts=$(mktemp -d)
trap 'rm -rf "$parts"' EXIT

# The machine may be shared: its load when the run began goes into the page beside the figures.
load=$(cut -d' ' -f1-3 /proc/loadavg 2>/dev/null || echo unknown)

# Three repetitions; the table shows the median of each.
args=(--benchmark_repetitions=3 --benchmark_report_aggregates_only=true "$@")
"$build/bench/korv_bench" "${args[@]}" --korv_markdown="$parts/files.md"
"$build/bench/korv_bench_graph" "${args[@]}" --korv_markdown="$parts/graph.md"
if [ -x "$build/bench/korv_bench_window" ]; then
  QT_QPA_PLATFORM=offscreen "$build/bench/korv_bench_window" "${args[@]}" \
    --korv_markdown="$parts/window.md"
fi

kind=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt" 2>/dev/null || true)
kind=${kind:-Release}
cpu=$(grep -m1 'model name' /proc/cpuinfo 2>/dev/null | cut -d: -f2- | sed 's/^ *//' || true)
{
  echo "# Measured speed"
  echo
  echo "Produced by \`make bench\` on $(date -u +%Y-%m-%d): ${cpu:-unknown CPU}, $(nproc) cores,"
  echo "$(uname -sr), $kind build. Median of three repetitions. The floor is measured in the"
  echo "same run, interleaved with the operation, on the same file: a plain read of the whole file,"
  echo "or a plain write of as many bytes flushed to the disk (every save and compile flushes its"
  echo "file before putting it in place). Load average when the run began: $load."
  echo
  echo "The read floor is a copy out of the page cache; the project file holds one value a line,"
  echo "336 lines a dialog, and the row \"Blank dialog records alone\" measures making the records"
  echo "by themselves beside the same read, as the row \"INI key lines alone\" does the finding and"
  echo "splitting of the INI file's key lines (on one processor). A load or an import of a large"
  echo "file reads it in parts on every processor; the floor is one plain read on one. The rows"
  echo "marked \"fresh process\" start a new process for each run (\`korvanthiel-cli convert\`, or"
  echo "this benchmark program doing the import or the first open of the window) and give its time"
  echo "from start to end and its peak resident set,"
  echo "read from the kernel when the process ends; every other row is timed in warm memory."
  echo
  cat "$parts/files.md"
  echo
  cat "$parts/graph.md"
  if [ -f "$parts/window.md" ]; then
    echo
    cat "$parts/window.md"
  fi
} >"$out"
echo "Wrote $out"
