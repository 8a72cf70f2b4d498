#!/usr/bin/env bash
# The reliability checks, after the main build and its tests (scripts/test.sh):
# broken assets, faults of the machine, sanitizers, memcheck and fuzzing. Each
# stage is a script of tests/reliability/ and is timed; the summary lists
# every stage with its result and time, and the exit status is non-zero when
# any stage failed.
#
# Uses the main build in build/ (VESK_BUILD) for the show, vesk-capture and
# the helpers, and builds build-asan, build-tsan and build-fuzz of its own.
# VESK_FUZZ_SECONDS sets each fuzz target's time (60 s).
set -uo pipefail
cd "$(dirname "$0")/.."
export VESK_BUILD=${VESK_BUILD:-build}
checks=tests/reliability

if [ ! -x "$VESK_BUILD/vesk" ]; then
    echo "test-reliability: build the show first (scripts/test.sh builds $VESK_BUILD/)" >&2
    exit 2
fi
# The helpers are part of the main build; build them if an older build
# lacks them.
cmake --build "$VESK_BUILD" -j"$(nproc)" --target vesk vesk-break-asset vesk-x-window >/dev/null || exit 2

names=()
results=()
times=()
stage() {
    local name=$1
    shift
    local started=$SECONDS
    echo
    "$@"
    local status=$?
    names+=("$name")
    times+=($((SECONDS - started)))
    if [ $status -eq 0 ]; then results+=(passed); else results+=("FAILED (status $status)"); fi
    echo "-- $name: ${results[-1]} in $((SECONDS - started)) s"
}

total_started=$SECONDS
if [ -x "$VESK_BUILD/vesk-capture" ]; then
    stage "broken assets (vesk-capture)" $checks/bad-assets.sh
    stage "timer wrap (vesk-capture)" $checks/timer-wrap.sh
else
    echo "test-reliability: $VESK_BUILD/vesk-capture is not built; the capture stages cannot run" >&2
    names+=("vesk-capture stages")
    results+=("FAILED (no vesk-capture)")
    times+=(0)
fi
stage "real Error boxes answered" $checks/error-boxes-live.sh
stage "no audio device" $checks/no-audio-device.sh
stage "no display" $checks/no-display.sh
stage "window resized" $checks/window-resize.sh
stage "ASan + UBSan: unit tests and the whole show" $checks/sanitizers.sh
asan_build=${VESK_ASAN_BUILD:-build-asan}
case $asan_build in /*) ;; *) asan_build=$PWD/$asan_build ;; esac
stage "window closed (ASan build)" env VESK_PROGRAM="$asan_build/vesk" $checks/window-close.sh
stage "ThreadSanitizer: sound threads" $checks/tsan.sh
stage "valgrind memcheck: the whole show" $checks/memcheck.sh
stage "fuzzing" $checks/fuzz.sh

echo
echo "== Reliability summary"
failures=0
for i in "${!names[@]}"; do
    printf '  %-48s %-24s %5d s\n' "${names[$i]}" "${results[$i]}" "${times[$i]}"
    [ "${results[$i]}" == passed ] || failures=$((failures + 1))
done
echo "  total $((SECONDS - total_started)) s"
echo "reliability: $(( ${#names[@]} - failures )) passed, $failures failed"
[ $failures -eq 0 ]
