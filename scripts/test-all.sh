#!/usr/bin/env bash
# Builds everything with warnings as errors and runs every test: the unit tests, the GUI
# scenarios under Xvfb, the Debian packages with the distribution's own checks, the unit
# tests again under AddressSanitizer + UndefinedBehaviorSanitizer, the fuzz targets for a
# bounded time, and a short run of each benchmark.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=$(nproc)

bash scripts/install-deps.sh

echo "== build (warnings as errors)"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQEN_WERROR=ON >/dev/null
cmake --build build -j"$jobs"

echo "== unit tests"
(cd build && ctest --output-on-failure --timeout 600 -L unit) | tee build/ctest-unit.log

echo "== GUI scenarios (the real program under Xvfb)"
# A desktop under a loaded machine can miss an accessibility event; a scenario that fails
# is run once more, and a second failure fails the run.
(cd build && ctest --output-on-failure --timeout 600 -L gui --repeat until-pass:2) | tee build/ctest-gui.log

echo "== Debian packages and install rules (from the build above, nothing rebuilt)"
bash scripts/check-packages.sh build

echo "== unit tests under AddressSanitizer + UndefinedBehaviorSanitizer"
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQEN_WERROR=ON -DQEN_SANITIZE=ON \
  -DQEN_BUILD_GUI=OFF -DQEN_BUILD_BENCH=OFF >/dev/null
cmake --build build-sanitize -j"$jobs"
(cd build-sanitize && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --output-on-failure -L unit --timeout 600) | tee build-sanitize/ctest.log

echo "== fuzz targets (bounded time)"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQEN_FUZZ=ON \
  -DQEN_BUILD_GUI=OFF -DQEN_BUILD_BENCH=OFF -DQEN_BUILD_TESTS=OFF >/dev/null
cmake --build build-fuzz -j"$jobs"
# The demo package seeds the package fuzzer (a leading 1 byte feeds it as a whole file).
mkdir -p build-fuzz/corpus-fuzz_package
sh examples/build-demo.sh build/tools/qenpack/qenpack build-fuzz/demo.qen >/dev/null
{ printf '\001'; cat build-fuzz/demo.qen; } > build-fuzz/corpus-fuzz_package/demo-package
fuzz_seconds=${QEN_FUZZ_SECONDS:-60}
fuzzers=0
for fuzzer in build-fuzz/fuzz/fuzz_*; do
  [ -x "$fuzzer" ] || continue
  name=$(basename "$fuzzer")
  corpus="build-fuzz/corpus-$name"
  mkdir -p "$corpus"
  seeds="$root/fuzz/seeds/$name"
  echo "-- $name for ${fuzz_seconds}s"
  (cd build-fuzz && "$root/$fuzzer" -max_total_time="$fuzz_seconds" -rss_limit_mb=2048 \
    "$root/$corpus" $( [ -d "$seeds" ] && echo "$seeds" ) >"fuzz-$name.log" 2>&1) \
    || { tail -40 "build-fuzz/fuzz-$name.log"; echo "fuzz target $name found a fault"; exit 1; }
  fuzzers=$((fuzzers + 1))
done

echo "== benchmarks (short run)"
# Each measurement beside its baseline, one line per goal; a missed goal is reported, not failed.
bash scripts/bench.sh --short build
benchmarks=$(ls build/bench-results/bench_*.json | wc -l)

echo "== all green: ${fuzzers} fuzz targets ran ${fuzz_seconds}s each, ${benchmarks} benchmark programs ran"
ran() { sed -n 's/.*tests passed, 0 tests failed out of \([0-9]*\).*/\1/p' "$1" | tail -n 1; }
echo "$(( $(ran build/ctest-unit.log) + $(ran build/ctest-gui.log) + $(ran build-sanitize/ctest.log) )) passed, 0 failed"
