#!/usr/bin/env bash
# The sound library's threads under ThreadSanitizer: the platform test
# suite, among them the test that plays, mutes and unmutes from the main
# thread while the audio device's thread mixes and calls the sync callback,
# and the tests that race the mixer against a stream's decoder thread.
# Zero reports: ThreadSanitizer's reports go to files of their own, and the
# suite must pass.
#
# Builds only the platform suite into VESK_TSAN_BUILD (default build-tsan).
set -uo pipefail
. "$(dirname "$0")/lib.sh"

tsan_build=${VESK_TSAN_BUILD:-$repo/build-tsan}
case $tsan_build in /*) ;; *) tsan_build=$repo/$tsan_build ;; esac

echo "== ThreadSanitizer: the sound library's threads"
mkdir -p "$tsan_build"
if ! { cmake -S "$repo" -B "$tsan_build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVESK_SANITIZE=thread \
        -DVESK_BENCH=OFF >"$tsan_build/configure.log" 2>&1 &&
       cmake --build "$tsan_build" -j"$(nproc)" --target vesk_platform_tests >"$tsan_build/build.log" 2>&1; }; then
    tail -n 30 "$tsan_build/configure.log" "$tsan_build/build.log"
    fail "building vesk_platform_tests with -DVESK_SANITIZE=thread"
    finish
fi
make_work_dir
reports=$work/reports
mkdir -p "$reports"
suite=$(find "$tsan_build" -name vesk_platform_tests -type f -perm -u+x | head -n 1)

# The device test needs SDL's dummy driver: a real thread that pulls the mix.
(cd "$tsan_build" && SDL_AUDIODRIVER=dummy TSAN_OPTIONS="log_path=$reports/tsan:halt_on_error=0:second_deadlock_stack=1" \
    "$suite" >"$work/suite.log" 2>&1)
status=$?
count=$(find "$reports" -type f | wc -l)
summary=$(grep -E '^\[  PASSED  \]|tests ran' "$work/suite.log" | tr '\n' ' ')
threaded=$(grep -cE '^\[       OK \] (SoundDevice|SoundDecoder|SoundLifeCycle)\.' "$work/suite.log")
if [ $status -eq 0 ] && [ "$count" -eq 0 ] && [ "$threaded" -gt 0 ]; then
    pass "vesk_platform_tests: $summary($threaded of them on the device or decoder threads); no report"
else
    grep -E 'FAILED|WARNING: ThreadSanitizer' "$work/suite.log" | head -n 20
    for f in "$reports"/*; do [ -e "$f" ] && head -n 30 "$f"; done
    fail "vesk_platform_tests under ThreadSanitizer: status $status, $count reports"
fi
finish
