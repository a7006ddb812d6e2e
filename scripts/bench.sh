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

# Three repetitions; the table shows the median of each.
args=(--benchmark_repetitions=3 --benchmark_report_aggregates_only=true "$@")
"$build/bench/korv_bench" "${args[@]}" --korv_markdown="$parts/files.md"
"$build/bench/korv_bench_graph" "${args[@]}" --korv_markdown="$parts/graph.md"
if [ -x "$build/bench/korv_bench_window" ]; then
  QT_QPA_PLATFORM=offscreen "$build/bench/korv_bench_window" "${args[@]}" \
    --korv_markdown="$parts/window.md"
fi

cpu=$(grep -m1 'model name' /proc/cpuinfo 2>/dev/null | cut -d: -f2- | sed 's/^ *//' || true)
{
  echo "# Measured speed"
  echo
  echo "Produced by \`make bench\` on $(date -u +%Y-%m-%d): ${cpu:-unknown CPU}, $(nproc) cores,"
  echo "$(uname -sr), Release build. Median of three repetitions. The floor is measured in the"
  echo "same run, interleaved with the operation, on the same file: a plain read of the whole file,"
  echo "or a plain write of as many bytes flushed to the disk (every save and compile flushes its"
  echo "file before putting it in place)."
  echo
  echo "The read floor is a copy out of the page cache. A load or an import must also fill one"
  echo "dialog record of about 13 KB per dialog, whatever the file holds (nine times the file's"
  echo "size for a typical project), and the project file holds one value a line, 336 lines a"
  echo "dialog; the row \"Blank dialog records alone\" measures the records by themselves beside"
  echo "the same read. Where a load or import ratio misses its target, compare it with that row."
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
