#!/usr/bin/env bash
# Start-up, side by side: the runtime showing the first page of a 10 MB, 100-member package
# against a bare web view window showing the same page, five alternating runs each on one
# display (a private Xvfb unless one is given in DISPLAY), first as the machine is and then
# with one core kept busy. Prints both medians and the ratio of each, with its goal (at most
# 1.05 quiet, 1.15 busy), and the programs' resident memory when the page showed.
#   scripts/bench-startup.sh [BUILD_DIR] [RUNS]
# BUILD_DIR (default build/) must hold the QenRuntime, qenpack and bare_webview targets.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-5}

for program in "$build/QenRuntime" "$build/tools/qenpack/qenpack" "$build/bench/bare_webview"; do
  if [ ! -x "$program" ]; then
    echo "bench-startup.sh: $program not found; build QenRuntime, qenpack and bare_webview" >&2
    exit 2
  fi
done

measure=(python3 bench/startup/measure_startup.py
  --runtime "$build/QenRuntime" --bare "$build/bench/bare_webview" --qenpack "$build/tools/qenpack/qenpack"
  --site examples/dog-training --branding examples/dog-training.branding --runs "$runs")

# A session bus of its own, so neither program waits for one to be found or started.
session=()
if command -v dbus-run-session >/dev/null; then session=(dbus-run-session --); fi

if [ -n "${DISPLAY:-}" ]; then
  "${session[@]}" "${measure[@]}"
elif command -v xvfb-run >/dev/null; then
  xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" "${session[@]}" "${measure[@]}"
else
  echo "bench-startup.sh: no display and no Xvfb" >&2
  exit 2
fi
