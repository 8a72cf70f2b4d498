#!/usr/bin/env bash
# Builds the show for the browser (preset web, in build-web/) and writes a
# directory that any static file server can serve (default build-web/site,
# or $1):
#   index.html  vesk.js  vesk.wasm  data.txt (the list of data/)  data/
# The assets are made by our generator on this machine, in a host build:
# VESK_HOST_BUILD when given (configured again if its configure never
# finished), else the preset default's build-show/.
set -euo pipefail
cd "$(dirname "$0")/.."
site=${1:-build-web/site}
# Debian's emscripten runs on the node in PATH, which may not look in
# Debian's own module directory (acorn).
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
if command -v ccache >/dev/null; then
  export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
fi

if [ -n "${VESK_HOST_BUILD:-}" ]; then
  host=$VESK_HOST_BUILD
  # A configure that failed (before the packages were there) leaves a cache
  # and no build files; configuring again from that cache keeps its preset.
  [ -f "$host/Makefile" ] || [ -f "$host/build.ninja" ] || cmake -S . -B "$host" >/dev/null
else
  host=build-show
  cmake --preset default >/dev/null
fi
cmake --build "$host" --target vesk_data -j2

cmake --preset web >/dev/null
cmake --build --preset web -j2

rm -rf "$site"
mkdir -p "$site/data"
cp build-web/vesk.js build-web/vesk.wasm web/index.html "$site/"
cp "$host"/data/* "$site/data/"
(cd "$site/data" && ls) >"$site/data.txt"
echo "site: $site"
