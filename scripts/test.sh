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

if grep -q -- '--test' scripts/install-deps.sh; then
  ./scripts/install-deps.sh --test
else
  ./scripts/install-deps.sh
fi

echo "== Build"
cmake --preset test
cmake --build --preset test -j"$(nproc)"

echo "== Tests"
# One X server for the whole run; the tests reach it through DISPLAY.
exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
  ctest --preset test -j"$(nproc)" "$@"
