#!/usr/bin/env bash
# The whole show under valgrind's memcheck, twice: through vesk-capture at
# every frame of a 10 fps capture (deterministic, every effect drawn), and
# the real show in its window on a virtual X server, in real time to its own
# exit. Zero errors — no invalid read or write, no use of an undefined value
# — and zero bytes definitely lost.
#
# Mesa's software driver is kept loaded to the end (see hold_gl_driver in
# lib.sh): unloaded, the blocks it keeps are reported as lost with no name
# to tell them by. valgrind.supp names the leaks of system libraries at exit
# (Mesa's, libdbus's), nothing of ours.
set -uo pipefail
. "$(dirname "$0")/lib.sh"

need_program "$build/vesk-capture"
need_program "$show_program"
command -v valgrind >/dev/null || { fail "valgrind is not installed"; finish; }
make_work_dir
echo "== valgrind memcheck: the whole show"

driver=$(ls /usr/lib/*/dri/swrast_dri.so /usr/lib/dri/swrast_dri.so 2>/dev/null | head -n 1)
memcheck() {
    local log=$1
    shift
    LD_PRELOAD=$driver valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite \
        --errors-for-leak-kinds=definite --error-exitcode=99 --num-callers=30 \
        --suppressions="$reliability_dir/valgrind.supp" --log-file="$log" "$@"
}
# "E errors, L bytes definitely lost" from a memcheck log.
verdict() {
    local errors lost
    errors=$(sed -n 's/.*ERROR SUMMARY: \([0-9,]*\) errors.*/\1/p' "$1" | tail -n 1)
    lost=$(sed -n 's/.*definitely lost: \([0-9,]*\) bytes.*/\1/p' "$1" | tail -n 1)
    echo "${errors:-?} errors, ${lost:-0} bytes definitely lost"
}
explain() {
    grep -E '^==[0-9]+== (Invalid|Conditional|Use of|Syscall|Mismatched|[0-9,]+ .*definitely lost)' -A 8 "$1" | head -n 40
}

dir=$work/capture
mkdir -p "$dir"
cp -r "$build/data" "$dir/data"
(cd "$dir" && memcheck "$dir/memcheck.log" "$build/vesk-capture" --fps 10 --size 64x64 --audio sound.wav \
    >stdout 2>stderr)
status=$?
frames=$(sed -n 's/.*vesk-capture: \([0-9]* of [0-9]*\) frames.*/\1/p' "$dir/stderr")
result=$(verdict "$dir/memcheck.log")
check "vesk-capture, ${frames:-no} frames: status $status, $result" [ $status -eq 0 -a "$result" == "0 errors, 0 bytes definitely lost" ]
[ $status -eq 0 ] || explain "$dir/memcheck.log"

start_xvfb || { fail "no X server for the real show"; finish; }
dir=$work/show
make_show_dir "$dir"
started=$(now)
(cd "$dir" && SDL_AUDIODRIVER=dummy memcheck "$dir/memcheck.log" "$show_program" >stdout 2>stderr)
status=$?
seconds=$(elapsed_since "$started")
result=$(verdict "$dir/memcheck.log")
check "vesk in real time, $seconds s: status $status, $result" [ $status -eq 0 -a "$result" == "0 errors, 0 bytes definitely lost" ]
[ $status -eq 0 ] || explain "$dir/memcheck.log"
check "vesk under memcheck plays to its end ($seconds s)" between "$seconds" 68.5 200
finish
