#!/usr/bin/env bash
# Installs what is missing, builds the show and runs it from the build
# directory, where its data/ is generated.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)" --target vesk vesk_data
cd build && exec ./vesk
