#!/usr/bin/env bash
# Builds the program and the packaging tool, packs the bundled sample site into a demo
# package and starts the program on it, with every outside service answered by the
# loopback simulator (feedsim). Without a desktop session it runs under a virtual
# display and saves a screenshot instead.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target QenRuntime qenpack qen-data qen-release feedsim

package=build/demo/dog-training.qen
bash examples/build-demo.sh build/tools/qenpack/qenpack "$package"

# The update server's files: version 1, so no update is offered.
mkdir -p build/demo/updates/qenruntime
printf '1\r\n' > build/demo/updates/qenruntime/version.txt

build/tools/feedsim/feedsim --port 0 --files build/demo/updates > build/demo/feedsim.out 2>&1 &
feedsim=$!
cleanup() { kill "$feedsim" 2>/dev/null || true; }
trap cleanup EXIT
for _ in $(seq 50); do
  [ -s build/demo/feedsim.out ] && break
  sleep 0.1
done
address=$(head -n 1 build/demo/feedsim.out)
case "$address" in
  http://127.0.0.1:*) ;;
  *) echo "feedsim did not start: $address" >&2; exit 1 ;;
esac
host=${address#http://}
echo "Outside services answered by feedsim at $address"
export QEN_VIDEO_FEED_HOST="$host" QEN_THUMBNAIL_HOST="$host" QEN_ARTICLE_FEED_HOST="$host" \
  QEN_ARTICLE_SITE_HOST="$host" QEN_UPDATE_HOST="$host" QEN_DOWNLOAD_HOST="$host"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  build/QenRuntime "$package"
  exit
fi

echo "No desktop session found: running on a virtual display for 15 seconds."
Xvfb :77 -screen 0 1280x800x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; cleanup' EXIT
sleep 1
DISPLAY=:77 WEBKIT_DISABLE_COMPOSITING_MODE=1 build/QenRuntime "$package" &
program=$!
sleep 12
DISPLAY=:77 import -window root build/demo/screenshot.png
kill -TERM $program
wait $program || true
echo "Screenshot: build/demo/screenshot.png"
