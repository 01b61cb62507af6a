#!/usr/bin/env bash
# Builds the program and the packaging tool, packs the bundled sample site into a demo
# package and starts the program on it. Without a desktop session it runs under a virtual
# display and saves a screenshot instead.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target QenRuntime qenpack

package=build/demo/dog-training.qen
bash examples/build-demo.sh build/tools/qenpack/qenpack "$package"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec build/QenRuntime "$package"
fi

echo "No desktop session found: running on a virtual display for 15 seconds."
Xvfb :77 -screen 0 1280x800x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
sleep 1
DISPLAY=:77 WEBKIT_DISABLE_COMPOSITING_MODE=1 build/QenRuntime "$package" &
program=$!
sleep 12
DISPLAY=:77 import -window root build/demo/screenshot.png
kill -TERM $program
wait $program || true
echo "Screenshot: build/demo/screenshot.png"
