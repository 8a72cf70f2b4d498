#!/usr/bin/env bash
# Fuzzes the decoding layers with libFuzzer under AddressSanitizer and
# UndefinedBehaviorSanitizer: PNG decoding from memory, and sound streams
# opened and mixed from memory. Each target starts from our seed corpus in
# tests/fuzz/corpus/ and runs for VESK_FUZZ_SECONDS (default 60). Any crash,
# leak, sanitizer report or time-out fails the check; the input that caused
# it is kept in the build directory's fuzz-findings/ for a regression test.
#
# Builds with clang into VESK_FUZZ_BUILD (default build-fuzz).
set -uo pipefail
. "$(dirname "$0")/lib.sh"

seconds=${VESK_FUZZ_SECONDS:-60}
fuzz_build=${VESK_FUZZ_BUILD:-$repo/build-fuzz}
case $fuzz_build in /*) ;; *) fuzz_build=$repo/$fuzz_build ;; esac

echo "== Fuzzing, ${seconds} s per target"
if ! command -v clang++ >/dev/null; then
    fail "clang++ is not installed"
    finish
fi
mkdir -p "$fuzz_build"
if ! { CC=clang CXX=clang++ cmake -S "$repo" -B "$fuzz_build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVESK_FUZZ=ON \
        -DVESK_SANITIZE=address,undefined -DVESK_BENCH=OFF >"$fuzz_build/configure.log" 2>&1 &&
       cmake --build "$fuzz_build" -j"$(nproc)" --target vesk_fuzz_png_decode vesk_fuzz_sound_stream \
        >"$fuzz_build/build.log" 2>&1; }; then
    tail -n 30 "$fuzz_build/configure.log" "$fuzz_build/build.log"
    fail "building the fuzz targets"
    finish
fi
make_work_dir
findings=$fuzz_build/fuzz-findings
mkdir -p "$findings"

fuzz() {
    local target=$1 seeds=$2
    local corpus=$work/$target
    mkdir -p "$corpus"
    cp "$repo/tests/fuzz/corpus/$seeds"/* "$corpus/"
    # -timeout: one input taking this long counts as a hang.
    SDL_AUDIODRIVER=dummy "$fuzz_build/vesk_fuzz_$target" -max_total_time="$seconds" -timeout=20 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/$target-" "$corpus" \
        >"$work/$target.log" 2>&1
    local status=$?
    local runs
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/$target.log")
    if [ $status -eq 0 ]; then
        pass "$target: ${runs:-?} inputs in ${seconds} s, no finding ($(ls "$corpus" | wc -l) in the corpus)"
    else
        grep -E 'ERROR|SUMMARY|runtime error|Test unit written' "$work/$target.log" | head -n 10
        fail "$target: status $status after ${runs:-?} inputs; the input is in $findings"
    fi
}

fuzz png_decode png
fuzz sound_stream sound
finish
