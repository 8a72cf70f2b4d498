#!/usr/bin/env bash
# The whole unit test suite and a capture of the whole show, built with
# AddressSanitizer and UndefinedBehaviorSanitizer: zero reports.
#
# Every report of every process (the test programs, and the show and the
# capture they start) is written to a file of its own, so a report counts
# even where a test only looks at a child's output. Leaks inside Mesa's
# driver at exit are suppressed (lsan.supp here), nothing else of ours.
#
# Builds into VESK_ASAN_BUILD (default build-asan). While building, leak
# checks are off: the build runs our asset generator, whose font library
# keeps its caches to the end; the generator is a tool, not the show.
set -uo pipefail
. "$(dirname "$0")/lib.sh"

asan_build=${VESK_ASAN_BUILD:-$repo/build-asan}
case $asan_build in /*) ;; *) asan_build=$repo/$asan_build ;; esac
suppressions=$reliability_dir/lsan.supp

echo "== AddressSanitizer and UndefinedBehaviorSanitizer"
mkdir -p "$asan_build"
if ! { cmake -S "$repo" -B "$asan_build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVESK_SANITIZE=address,undefined \
        -DVESK_BENCH=OFF >"$asan_build/configure.log" 2>&1 &&
       ASAN_OPTIONS=detect_leaks=0 cmake --build "$asan_build" -j"$(nproc)" >"$asan_build/build.log" 2>&1; }; then
    tail -n 30 "$asan_build/configure.log" "$asan_build/build.log"
    fail "building with -DVESK_SANITIZE=address,undefined"
    finish
fi
make_work_dir
start_xvfb || { fail "no X server for the tests"; finish; }

reports=$work/reports
mkdir -p "$reports"
export ASAN_OPTIONS="log_path=$reports/asan:detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="log_path=$reports/ubsan:print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$suppressions:print_suppressions=0"
export SDL_AUDIODRIVER=dummy
hold_gl_driver

# Lists the reports written so far and says how many.
report_count() {
    local files=("$reports"/*)
    [ -e "${files[0]}" ] || { echo 0; return; }
    echo "${#files[@]}"
}
show_reports() {
    local f
    for f in "$reports"/*; do
        [ -e "$f" ] || continue
        echo "  --- $f"
        grep -E 'ERROR|SUMMARY|runtime error|#[0-4] ' "$f" | head -n 12
    done
}

ctest --test-dir "$asan_build" -j"$(nproc)" --output-on-failure --timeout 300 >"$work/ctest.log" 2>&1
status=$?
summary=$(grep -E 'tests passed|tests failed' "$work/ctest.log" | tail -n 1)
if [ $status -eq 0 ] && [ "$(report_count)" -eq 0 ]; then
    pass "unit tests: ${summary:-?}; no sanitizer report"
else
    grep -E '^\s+[0-9]+ - |Failed|\*\*\*' "$work/ctest.log" | head -n 30
    show_reports
    fail "unit tests: ${summary:-status $status}; $(report_count) sanitizer reports"
fi

rm -f "$reports"/*
mkdir -p "$work/show"
cp -r "$asan_build/data" "$work/show/data"
(cd "$work/show" && "$asan_build/vesk-capture" --fps 10 --size 64x64 --audio sound.wav --frames frames \
    >capture.log 2>&1)
status=$?
frames=$(sed -n 's/.*vesk-capture: \([0-9]*\) of \([0-9]*\) frames.*/\1 of \2/p' "$work/show/capture.log")
if [ $status -eq 0 ] && [ "$(report_count)" -eq 0 ] && ! grep -q '^Error' "$work/show/capture.log"; then
    pass "whole show through vesk-capture: $frames frames; no sanitizer report"
else
    cat "$work/show/capture.log" | head -n 20
    show_reports
    fail "whole show through vesk-capture: status $status, $(report_count) sanitizer reports"
fi
finish
