#!/usr/bin/env bash
# Runs every benchmark program (each measures beside its baseline in the same run) and,
# when a display or Xvfb is there, the start-up comparison; then prints one line per goal:
# what, ratio, goal, met or not. A missed goal does not fail the run; a program that
# crashes does.
#   scripts/bench.sh [--short] [BUILD_DIR]
# --short: a quick pass (as CI runs it); otherwise three repetitions, medians reported.
set -euo pipefail
cd "$(dirname "$0")/.."
short=0
if [ "${1:-}" = "--short" ]; then short=1; shift; fi
build=${1:-build}

if [ "$short" = 1 ]; then
  options=(--benchmark_min_time=0.05)
  startup_runs=3
else
  options=(--benchmark_min_time=0.5 --benchmark_repetitions=3 --benchmark_report_aggregates_only=true)
  startup_runs=5
fi

results="$build/bench-results"
rm -rf "$results"
mkdir -p "$results"
echo "load average $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"

ran=0
for bench in "$build"/bench/bench_*; do
  [ -x "$bench" ] || continue
  name=$(basename "$bench")
  echo "-- $name"
  if ! "$bench" "${options[@]}" --benchmark_out="$results/$name.json" --benchmark_out_format=json \
      >/dev/null 2>"$results/$name.log"; then
    cat "$results/$name.log" >&2
    echo "bench.sh: $name failed" >&2
    exit 1
  fi
  ran=$((ran + 1))
done
if [ "$ran" = 0 ]; then
  echo "bench.sh: no benchmark programs in $build/bench (configure with -DQEN_BUILD_BENCH=ON)" >&2
  exit 2
fi

if [ -x "$build/QenRuntime" ] && [ -x "$build/bench/bare_webview" ] && [ -x "$build/tools/qenpack/qenpack" ] && \
   { [ -n "${DISPLAY:-}" ] || command -v xvfb-run >/dev/null; }; then
  echo "-- start-up"
  bash scripts/bench-startup.sh "$build" "$startup_runs" 2>/dev/null | tee "$results/startup.txt" | grep -v '^RESULT'
fi

echo
python3 bench/report/goals.py "$results"
