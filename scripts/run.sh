#!/usr/bin/env bash
# Installs what is missing, builds the show into build-show/ and runs it
# from there, where its data/ is generated. Only the show and its data are
# built: no tests, benchmarks or tools, and warnings do not stop the build
# (the `default` preset).
#
#   run.sh               install, build, play
#   run.sh --build-only  install and build, then stop (no display needed)
set -euo pipefail
cd "$(dirname "$0")/.."
play=1
case "${1:-}" in
  "") ;;
  --build-only) play=0 ;;
  *) echo "usage: $0 [--build-only]" >&2; exit 2 ;;
esac
./scripts/install-deps.sh
cmake --preset default
cmake --build --preset default -j"$(nproc)"
[ "$play" -eq 1 ] || exit 0
cd build-show && exec ./vesk
