#!/usr/bin/env bash
# The real window resized during the show: to 1 x 1, hidden and shown again
# (a minimised window has no area), to 4096 x 256, back to 512 x 512. The
# show must go on and end as usual, and in a 1024 x 256 window the picture
# must keep the shorter-side rule: the view's -1..1 spans the height, so the
# tank (x from -1 to 1) fills the middle 256 columns and the sides stay
# black. Hidden from 60 s to the end, it must still end on time. (The projection for each size, and for a window of no height, is
# checked directly in tests/reliability/window_size_test.cpp.)
set -uo pipefail
. "$(dirname "$0")/lib.sh"

need_program "$show_program"
need_program "$build/vesk-x-window"
make_work_dir
start_xvfb || { fail "no X server"; finish; }
echo "== Window resized mid-show"

dir=$work/show
make_show_dir "$dir"
export SDL_AUDIODRIVER=dummy
start_show "$dir"
window=$(wait_for_window VESK 30)
[ -n "$window" ] || { fail "no window"; finish; }

alive() { kill -0 "$show_pid" 2>/dev/null; }
resize() {
    xdotool windowsize "$window" "$1" "$2" 2>/dev/null
    sleep 2
    read -r _ _ w h <<<"$(window_geometry "$window")"
    check "${1}x$2: the show goes on in a ${w}x$h window" alive
}

sleep 2
resize 1 1
resize 4096 256
xdotool windowunmap "$window" 2>/dev/null
sleep 2
xdotool windowmap "$window" 2>/dev/null
sleep 1
check "hidden and shown again: the show goes on" alive
resize 512 512

# The tank is in full view from 20 s, the fish at the centre from 30 s.
sleep $((31 - $(printf '%.0f' "$(elapsed_since "$show_started")")))
resize 1024 256
read -r x y w h <<<"$(window_geometry "$window")"
grab_grey "$work/wide.raw" "$x" "$y" "$w" "$h"
read -r _ left_max <<<"$(column_brightness "$work/wide.raw" 1024 0 300)"
read -r middle_mean _ <<<"$(column_brightness "$work/wide.raw" 1024 400 624)"
read -r _ right_max <<<"$(column_brightness "$work/wide.raw" 1024 724 1024)"
check "1024x256: the middle shows the tank (mean grey $middle_mean)" between "$middle_mean" 10 255
check "1024x256: the sides beyond x = +-1.7 are black (largest grey $left_max, $right_max)" \
    [ "$left_max" -le 8 -a "$right_max" -le 8 ]
resize 4096 256
# Hidden for good before the end: the toolkit draws no frame for it, and the
# show must end on time all the same.
sleep $((60 - $(printf '%.0f' "$(elapsed_since "$show_started")")))
xdotool windowunmap "$window" 2>/dev/null

wait_for_show 100
check "the show exits with status 0 (status $show_status)" [ "$show_status" -eq 0 ]
check "after its 68.5 s ($show_seconds s)" between "$show_seconds" 68.5 80
said=$(grep -v '^$' "$dir/stderr")
check "nothing on stderr${said:+: $said}" [ -z "$said" ]
finish
