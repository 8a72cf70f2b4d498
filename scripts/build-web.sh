#!/usr/bin/env bash
# Builds the show for the browser in build-web/ and writes a directory that
# any static file server can serve (default build-web/site, or $1):
#   index.html  vesk.js  vesk.wasm  data.txt (the list of data/)  data/
# The assets are made by our generator on this machine, in the host build
# (VESK_HOST_BUILD, default build/), which is configured if it is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
site=${1:-build-web/site}
host=${VESK_HOST_BUILD:-build}
# Debian's emscripten runs on the node in PATH, which may not look in
# Debian's own module directory (acorn).
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

if [ ! -f "$host/CMakeCache.txt" ]; then
  cmake -S . -B "$host" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVESK_TESTS=OFF -DVESK_BENCH=OFF "${launcher[@]}"
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
