#!/usr/bin/env bash
# fuzz.sh build: configures the preset fuzz (build-fuzz/) and builds the
# libFuzzer targets. fuzz.sh TARGET: runs vesk_fuzz_TARGET for
# VESK_FUZZ_SECONDS (20) from our seed corpus, tests/fuzz/corpus/TARGET/
# (made by make-corpus.sh). A crash, a leak, a sanitizer report or an input
# taking 20 s fails; the input is kept in build-fuzz/findings/ to become a
# regression test.
set -uo pipefail
. "$(dirname "$0")/../reliability/lib.sh"
if [ "$1" == build ]; then
    (cd "$repo" && cmake --preset fuzz && cmake --build --preset fuzz -j2) >"$work/build.log" 2>&1 || { tail -n 40 "$work/build.log"; exit 1; }
    exit 0
fi
mkdir -p "$repo/build-fuzz/findings" && cp -r "$repo/tests/fuzz/corpus/$1" "$work/corpus"
SDL_AUDIODRIVER=dummy "$repo/build-fuzz/vesk_fuzz_$1" -max_total_time="${VESK_FUZZ_SECONDS:-20}" -timeout=20 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$repo/build-fuzz/findings/$1-" "$work/corpus" >"$work/log" 2>&1
status=$?
check "$1: $(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log") inputs, status $status" [ $status -eq 0 ]
[ $status -eq 0 ] || grep -E 'ERROR|SUMMARY|runtime error|Test unit written' "$work/log" | head -n 20
finish
