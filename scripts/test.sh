#!/usr/bin/env bash
# Installs what is missing, builds with the `test` preset (tests, benchmarks,
# warnings as errors) and runs every CTest test, all labels: unit, gl, show,
# reliability and the stages other folders register. The `gl` tests draw on
# a virtual X server (Xvfb) started here; tests that need other servers
# start their own. Ends with CTest's summary; a skipped test is a failure.
#
#   test.sh                 everything
#   test.sh -L unit         extra arguments go to ctest (here: only `unit`)
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh --test

echo "== Build"
cmake --preset test
cmake --build --preset test -j"$(nproc)"

echo "== Tests"
# One X server for the whole run; the tests reach it through DISPLAY.
exec ./scripts/with-xvfb.sh ctest --preset test -j"$(nproc)" "$@"
