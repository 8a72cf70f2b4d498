#!/usr/bin/env bash
# The millisecond timer wrapping past 2^32 during the show: vesk-capture
# starts the replaced timer just below the wrap, so that it wraps 1 ms into
# the show, and 30 s into it (between the tank's fade-in and the fish's
# first words). Every frame and every sample must be the same as with a
# timer that starts at 0.
set -uo pipefail
. "$(dirname "$0")/lib.sh"

capture=$build/vesk-capture
need_program "$capture"
make_work_dir
echo "== Timer wrap during the show"

run() {
    local dir=$work/$1
    mkdir -p "$dir"
    cp -r "$build/data" "$dir/data"
    (cd "$dir" && "$capture" --fps 10 --size 64x64 --timer-start "$1" --frames frames --audio sound.wav \
        >stdout 2>stderr)
}
digest() { cat "$work/$1"/frames/*.png | md5sum | cut -d' ' -f1; }

run 0
status=$?
frames=$(find "$work/0/frames" -name '*.png' | wc -l)
check "timer from 0: status $status, the whole show ($frames frames)" [ $status -eq 0 -a "$frames" -ge 680 ]
for start in 4294967295 4294937296; do
    run $start
    status=$?
    check "timer from $start: status $status" [ $status -eq 0 ]
    check "timer from $start: every frame the same" [ "$(digest $start)" == "$(digest 0)" ]
    check "timer from $start: the same sound" cmp -s "$work/$start/sound.wav" "$work/0/sound.wav"
done
finish
