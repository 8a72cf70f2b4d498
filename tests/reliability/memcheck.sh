#!/usr/bin/env bash
# valgrind's memcheck over the whole show through vesk-capture (16 x 16 at
# 1 fps: every effect drawn, every sound mixed, then the exit): zero errors
# (no invalid read or write, no use of an undefined value) and zero bytes
# definitely lost, but for the system libraries of tests/support/leaks.supp.
set -uo pipefail
. "$(dirname "$0")/lib.sh"
awk -F: '/^leak:/ { print "{\n " $2 "\n Memcheck:Leak\n ...\n obj:*" $2 "*\n ...\n}" }' \
    "$repo/tests/support/leaks.supp" >"$work/valgrind.supp"
copy_data "$work/show"
# Mesa's driver stays loaded to the end, so that its blocks carry its name.
(cd "$work/show" && LD_PRELOAD=$(ls /usr/lib/*/dri/swrast_dri.so | head -n 1) valgrind --leak-check=full \
    --show-leak-kinds=definite --errors-for-leak-kinds=definite --error-exitcode=99 --suppressions="$work/valgrind.supp" \
    --log-file="$work/memcheck.log" "$build/vesk-capture" --fps 1 --size 16x16 --audio sound.wav 2>stderr)
status=$?
check "status $status: $(grep -E 'ERROR SUMMARY|definitely lost:' "$work/memcheck.log" | sed 's/^==[0-9]*== *//' | tr '\n' ' ')" \
    [ $status -eq 0 ]
[ $status -eq 0 ] || grep -E -A 12 '^==[0-9]+== (Invalid|Conditional|Use of|Syscall|Mismatched|[0-9,]+ .*definitely lost)' "$work/memcheck.log" | head -n 60
boxes=$(grep '^Error' "$work/show/stderr")
check "no Error box: $boxes" [ -z "$boxes" ]
finish
