#!/usr/bin/env bash
# The real show on a virtual X server with one broken picture and one
# broken sample: its two real "Error" boxes come up during start-up, one
# after the other, and are answered as a person would, by pressing Return
# on each. Then the show must play to its end in real time and exit 0,
# with its sound going on to the end (SDL's disk driver records it).
set -uo pipefail
. "$(dirname "$0")/lib.sh"

need_program "$show_program"
need_program "$build/vesk-break-asset"
need_program "$build/vesk-x-window"
make_work_dir
start_xvfb || { fail "no X server"; finish; }
echo "== Real Error boxes answered with Return, then the whole show"

dir=$work/show
make_show_dir "$dir"
"$build/vesk-break-asset" half "$build/data/fishtank.png" "$dir/data/fishtank.png"
: >"$dir/data/juice.wav"

export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$dir/sound.raw
start_show "$dir"

# The sample is loaded first, then the picture: two boxes in turn.
answered=0
for box in 1 2; do
    id=$(wait_for_window Error 30) || break
    # Left open a moment, as a reader would; the show must wait for it.
    sleep 2
    kill -0 "$show_pid" 2>/dev/null || break
    xdotool key --window "$id" Return 2>/dev/null
    for i in $(seq 50); do
        "$build/vesk-x-window" find Error | grep -qx "$id" || break
        sleep 0.1
    done
    answered=$((answered + 1))
    last_answer=$(now)
done
check "two Error boxes came up and closed on Return ($answered answered)" [ $answered -eq 2 ]

wait_for_show 120
after_boxes=$(elapsed_since "${last_answer:-$show_started}")
check "the show exits with status 0 (status $show_status)" [ "$show_status" -eq 0 ]
check "it plays its 68.5 s after the last box ($after_boxes s)" between "$after_boxes" 68.5 80
# 44100 frames of two 16-bit samples a second; the recording starts with
# the device, before the boxes, and goes on to the exit.
recorded=$(awk -v b="$(stat -c %s "$dir/sound.raw" 2>/dev/null || echo 0)" 'BEGIN { printf "%.1f", b / 176400 }')
check "its sound runs to the end ($recorded s recorded)" between "$recorded" 68 100
# SDL's disk driver announces itself; nothing else may be said.
unexpected=$(grep -v -e '^CRITICAL: ' -e '^$' "$dir/stderr")
check "nothing on stderr (the boxes were shown, not printed)${unexpected:+: $unexpected}" [ -z "$unexpected" ]
finish
