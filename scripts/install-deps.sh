#!/usr/bin/env bash
# Installs what building, running and testing Qen Runtime needs on Debian.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libwxgtk-webview3.2-dev libcurl4-openssl-dev libssl-dev nlohmann-json3-dev libgumbo-dev
  libcpp-httplib-dev zlib1g-dev
  nginx-light
  xvfb xauth xdotool x11-utils imagemagick xclip
  dbus at-spi2-core python3 python3-pyatspi
  clang libclang-rt-14-dev
  locales
  dpkg-dev fakeroot lintian appstream desktop-file-utils man-db file
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
