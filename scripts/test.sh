#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test. Tests
# that need a window run on a virtual X server (Xvfb) started here; sound
# goes to SDL's dummy or disk drivers, so no sound card is needed.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

jobs=$(nproc)
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}

echo "== Build"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"

echo "== Tests"
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir build --output-on-failure -j"$jobs"

# Sanitizer builds, fuzzing, broken assets and faults of the machine.
if [ -x scripts/test-reliability.sh ]; then
  echo "== Reliability"
  ./scripts/test-reliability.sh
fi
