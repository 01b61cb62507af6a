#!/usr/bin/env bash
# Makes the Debian packages from an existing build folder (nothing is rebuilt) and checks
# them and the install rules the way a distribution would: lintian on each package, the
# desktop entry, the AppStream metadata and the man pages with the ecosystem's own tools;
# then installs them into a scratch root, runs every installed program's --version and
# removes them again; and installs twice into a prefix with blanks and non-ASCII letters.
# Usage: scripts/check-packages.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=$(cd "${1:-build}" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "check-packages: $*" >&2; exit 1; }

echo "-- packages"
rm -f "$build"/*.deb
(cd "$build" && cpack -G DEB >"$scratch/cpack.log" 2>&1) || { cat "$scratch/cpack.log"; fail "cpack failed"; }
mapfile -t debs < <(ls "$build"/*.deb)
[ ${#debs[@]} -ge 2 ] || fail "expected at least qen-runtime and qen-tools, got: ${debs[*]}"
for deb in "${debs[@]}"; do echo "   $(basename "$deb")"; done

echo "-- lintian (errors fail; any warning shown here belongs in the README list)"
for deb in "${debs[@]}"; do
  lintian --fail-on error --tag-display-limit 0 "$deb" || fail "lintian found errors in $(basename "$deb")"
done

echo "-- desktop entry, AppStream metadata, man pages"
desktop-file-validate "$root/packaging/qen-runtime.desktop"
appstreamcli validate --no-net "$build/packaging/org.qenruntime.QenRuntime.metainfo.xml"
for page in "$build"/packaging/man/*.1; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
  LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$page" 2>/dev/null | grep -q '^NAME' || fail "$(basename "$page") does not render"
done

# Every program a package holds answers --version with the build's version.
version=$(sed -n 's/^QEN_RUNNING_VERSION:STRING=//p' "$build/CMakeCache.txt")
check_versions() {
  local prefix=$1 programs=0
  for program in "$prefix"/bin/* "$prefix"/libexec/qen-runtime/*; do
    [ -x "$program" ] || continue
    local name
    name=$(basename "$program")
    [ "$("$program" --version)" = "$name $version" ] || fail "$program --version gave: $("$program" --version 2>&1)"
    programs=$((programs + 1))
  done
  [ "$programs" -ge 6 ] || fail "only $programs programs under $prefix"
}

echo "-- scratch root: install, run, remove"
if [ "$(id -u)" -eq 0 ]; then
  instdir="$scratch/root"
  admindir="$instdir/var/lib/dpkg"
  mkdir -p "$admindir/updates" "$admindir/info"
  touch "$admindir/status"
  dpkg_scratch() { dpkg --instdir="$instdir" --admindir="$admindir" --force-depends --force-script-chrootless "$@"; }
  # The scratch root has no libraries registered: the dependency notes are expected.
  dpkg_scratch -i "${debs[@]}" >"$scratch/dpkg.log" 2>&1 || { cat "$scratch/dpkg.log"; fail "dpkg -i failed"; }
  # A second install over the first.
  dpkg_scratch -i "${debs[@]}" >"$scratch/dpkg.log" 2>&1 || { cat "$scratch/dpkg.log"; fail "dpkg -i again failed"; }
  names=()
  for deb in "${debs[@]}"; do names+=("$(dpkg-deb -f "$deb" Package)"); done
  for name in "${names[@]}"; do dpkg_scratch -L "$name"; done | sort -u >"$scratch/listed"
  check_versions "$instdir/usr"
  dpkg_scratch --purge "${names[@]}" >"$scratch/dpkg.log" 2>&1 || { cat "$scratch/dpkg.log"; fail "dpkg --purge failed"; }
  while read -r entry; do
    [ -e "$instdir$entry" ] && [ ! -d "$instdir$entry" ] && fail "left behind after removal: $entry"
  done <"$scratch/listed"
  leftover=$(find "$instdir" -path "$admindir" -prune -o -type f -print)
  [ -z "$leftover" ] || fail "left behind after removal: $leftover"
else
  # dpkg cannot own files as another user: the packages are unpacked instead.
  for deb in "${debs[@]}"; do dpkg-deb -x "$deb" "$scratch/root"; done
  check_versions "$scratch/root/usr"
fi

echo "-- cmake --install into a prefix with blanks and non-ASCII letters, twice"
prefix="/opt/Qen Rüntime 1"
DESTDIR="$scratch/destdir" cmake --install "$build" --prefix "$prefix" >"$scratch/install-1.log"
(cd "$scratch/destdir" && find . | sort) >"$scratch/first"
DESTDIR="$scratch/destdir" cmake --install "$build" --prefix "$prefix" >"$scratch/install-2.log"
(cd "$scratch/destdir" && find . | sort) >"$scratch/second"
diff "$scratch/first" "$scratch/second" || fail "the second install changed the installed files"
for expected in bin/QenRuntime libexec/qen-runtime/QenRuntimeAutoReplaceTool bin/qenpack \
    share/applications/qen-runtime.desktop share/mime/packages/qen-runtime.xml \
    share/icons/hicolor/scalable/apps/qen-runtime.svg share/icons/hicolor/48x48/apps/qen-runtime.png \
    share/metainfo/org.qenruntime.QenRuntime.metainfo.xml share/man/man1/qenpack.1.gz; do
  [ -f "$scratch/destdir$prefix/$expected" ] || fail "not installed: $expected"
done
check_versions "$scratch/destdir$prefix"

echo "-- packages and install rules are sound"
